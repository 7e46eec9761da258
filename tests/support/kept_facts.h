#pragma once

#include <cstddef>
#include <string>

namespace parvex::testing {

/// The facts of the file at `path` that an action keeping the file must leave alone, as one
/// line: inode, mode, owner, link count, size, modification time to the nanosecond and access
/// time; "missing" when nothing is there.
std::string KeptFactsLine(const std::string& path);

/// `size` bytes that no file system compresses or stores as a hole, the same for the same seed.
std::string RandomContent(std::size_t size, unsigned seed);

} // namespace parvex::testing
