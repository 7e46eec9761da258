#pragma once

#include <string>

namespace parvex {

/// Renames `from` to `to` on one file system only while nothing is at `to`; false with errno
/// EEXIST when something is. A file system without a rename that never replaces is asked
/// whether `to` is free right before a plain rename.
[[nodiscard]] bool RenameWithoutReplacing(const std::string& from, const std::string& to);

/// Moves the file at the exact path `source` to `destination` only while nothing is there, on one
/// file system or across two (a complete copy beside the destination takes the place by a new
/// link, which fails when the place is taken). False with errno EEXIST when the place is taken,
/// or with the system's errno; the source is then where it was.
[[nodiscard]] bool MoveWithoutReplacing(const std::string& source, const std::string& destination);

} // namespace parvex
