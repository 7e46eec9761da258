#pragma once

#include "main/result_data.h"
#include "main/skipped_log.h"
#include "result_file/result_document.h"

#include <string>
#include <vector>

namespace parvex {

/// The JSON result document of a result the window shows, as parvex-cli writes it: the search,
/// the groups in the order found (a group left with fewer than two files is no longer one),
/// each with its files in the order found and their marks, and what could not be read.
std::string ResultDocumentText(const TResultData& result, const TResultSearch& search,
                               const std::vector<TSkippedEntry>& skipped, bool complete);

} // namespace parvex
