#pragma once

#include "result_file/result_document.h"

#include <string>

namespace parvex {

/// True when the regular file at the exact path `name` is the file the search found: the same
/// identity (when known), size and modification time to the nanosecond.
bool UnchangedSinceSearch(const std::string& name, const TResultFileFacts& found);

/// Why the name `name` of `file` may not be acted on now while the name `keptName` of `kept`
/// stays; empty when it may: both unchanged since the search, not one file, and their bytes
/// equal right now. `compareBytes` false leaves the bytes to an action whose own comparison is
/// part of it (the kernel's, when files share storage).
std::string WhyNotActNow(const std::string& name, const TResultFileFacts& file,
                         const std::string& keptName, const TResultFileFacts& kept,
                         bool compareBytes = true);

} // namespace parvex
