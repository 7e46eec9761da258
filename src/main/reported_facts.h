#pragma once

#include "file_actions/found_file.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

class TCompearerCore;

/// The facts of the file the engine reports now: its file table row while it reports one,
/// else what is on disk at `path`.
std::optional<TFoundFile> ReportedFile(const TCompearerCore& core, const std::string& path);

/// What the search found about one file of a result, beside its path.
struct TResultFacts {
    std::optional<TFoundFile> Found;
    /// True when the search found every name of the file's inode: deleting the names found
    /// frees the file's space.
    bool AllNamesFound = false;
    /// The other names of the file's inode, in the order the search met them.
    std::vector<std::string> OtherNames;
    /// The modification time to the nanosecond, since the epoch, when Found is known.
    std::int64_t ModifiedNs = 0;
};

/// The facts of the file the engine reports now, with its inode's other names: from its file
/// table row while it reports one, else from the disk at `path` (then every name is found only
/// when the file has one link).
TResultFacts ReportedFacts(const TCompearerCore& core, const std::string& path);

} // namespace parvex
