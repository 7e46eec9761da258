#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace parvex {

/// Whether the content of a file outlives the file going, as the disk shows it now.
struct TLastCopyVerdict {
    /// True when nothing was found to keep the content: the file is the last copy of it. That is
    /// also the verdict of a check that was stopped or could not read a candidate, as no copy is
    /// then known.
    bool LastCopy = true;
    /// The number of other names (hard links) of the file itself, each of which keeps its
    /// content.
    std::uint64_t OtherNames = 0;
    /// A file that holds the same bytes; empty when none was found.
    std::string SameBytesAt;
    /// The check was stopped before it could tell.
    bool Stopped = false;
    /// A file of the same size could not be read, so whether it holds the same bytes is unknown.
    bool Unreadable = false;
};

/// Called between chunks of a content check with the bytes compared so far and the bytes there
/// are to compare at most; returning false stops the check.
using TCheckProgress = std::function<bool(std::int64_t done, std::int64_t total)>;

/// Decides whether the file at the exact path `path` is the last copy of its content, whatever
/// the keys that grouped it: it is not when it has other names, nor when one of `others` (the
/// other files of its group, exact paths) holds the same bytes now, compared by size first and
/// then byte by byte. A stopped check, and candidates that cannot be read, leave it the last copy.
TLastCopyVerdict DecideLastCopy(const std::string& path, const std::vector<std::string>& others,
                                const TCheckProgress& progress = {});

} // namespace parvex
