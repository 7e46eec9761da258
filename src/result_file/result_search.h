#pragma once

#include "result_file/result_document.h"

#include <string>

namespace parvex {

class TCompearerCore;

/// The search a result document describes, as it starts now: the start folder and the mask
/// list as given, the keys, excluded folders, size limits and attribute choices the engine was
/// given, the working folder, this host and the current time.
TResultSearch ResultSearchOf(const TCompearerCore& core, std::string startFolder,
                             std::string maskList);

} // namespace parvex
