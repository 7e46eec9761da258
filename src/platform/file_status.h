#pragma once

#include <cstdint>
#include <string>

namespace parvex {

/// True when a directory entry of any kind (a dangling link too) is at the exact path bytes.
bool EntryExists(const std::string& path);

/// Length in bytes of the regular file at the exact path bytes, or 0 when there is none (missing,
/// a link, a folder, a FIFO). The file is looked at, never opened.
std::int64_t RegularFileSize(const std::string& path);

} // namespace parvex
