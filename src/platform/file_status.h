#pragma once

#include <cstdint>
#include <string>

namespace parvex {

/// True when a directory entry of any kind (a dangling link too) is at the exact path bytes.
bool EntryExists(const std::string& path);

/// Length in bytes of the regular file at the exact path bytes, or 0 when it cannot be opened
/// for reading and writing (missing, read-only, no longer a regular file).
std::int64_t WritableFileSize(const std::string& path);

} // namespace parvex
