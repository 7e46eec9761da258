#pragma once

#include "platform/file_id.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

class TCompearerCore;

/// A file as the search found it: which file it is, its size and its time code. A file whose
/// facts on disk still equal these is unchanged since the search.
struct TFoundFile {
    TFileId Id;
    std::int64_t Size = 0;
    std::int64_t TimeCode = 0; ///< FileTimeCode() of the modification time

    friend bool operator==(const TFoundFile&, const TFoundFile&) = default;
};

/// The facts of the regular file at the exact path bytes now; nothing when none is there.
std::optional<TFoundFile> FoundFileOnDisk(const std::string& path);

/// True when a file was found and the regular file at `path` still has the facts it was found
/// with.
bool UnchangedSinceFound(const std::string& path, const std::optional<TFoundFile>& found);

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
