#pragma once

#include <string>

namespace parvex {

/// What became of a file move.
enum class TMoveOutcome {
    Moved,    ///< the file is at the destination and gone from the source
    SameFile, ///< source and destination name the same file; nothing was touched
    Failed    ///< the source is where it was and the destination is unchanged; errno says why
};

/// Moves the file at the exact path bytes `source` to `destination`, replacing a file there.
/// The destination is only ever replaced by a complete copy: a rename on one file system, else
/// a copy into a temporary file beside the destination that is synced and renamed over it
/// while the old destination is kept under a second name; when the source then cannot be
/// removed, the old destination is put back and the move fails.
[[nodiscard]] TMoveOutcome SafeMoveFile(const std::string& source, const std::string& destination);

} // namespace parvex
