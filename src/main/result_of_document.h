#pragma once

#include "main/result_data.h"
#include "result_file/result_document.h"

#include <QCollator>
#include <functional>
#include <string>

namespace parvex {

/// The window's result of a saved document: its groups and files in the order found, put in
/// the default order by `collator`. A file still as found carries its facts on disk and its
/// mark; a missing or changed one (see CheckSavedFile; `thisHost` tells whether the document
/// was saved on this host) carries the document's facts, and no mark. `whileWaiting` as for
/// TResultData::Finish.
TResultData ResultOfDocument(const TResultDocument& document, const QCollator& collator,
                             const std::string& thisHost,
                             const std::function<void()>& whileWaiting = {});

} // namespace parvex
