#pragma once

#include "_compearer/compare_keys.h"
#include "platform/file_id.h"

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

/// What a result document says about the search that made it.
struct TResultSearch {
    std::string StartFolder;
    std::string WorkingFolder; ///< where relative paths start
    std::string MaskList;      ///< masks separated by ";", as given
    TCompareKeys Keys;
    std::vector<std::string> ExcludedFolders;
    std::int64_t MinSize = 0;
    std::int64_t MaxSize = std::numeric_limits<std::int64_t>::max(); ///< the largest: no limit
    bool Hidden = true;
    bool ReadOnly = true;
    std::string Host;
    std::int64_t StartedNs = 0; ///< when the search started, nanoseconds since the epoch
};

/// One file of a group, as the search found it.
struct TResultFileFacts {
    std::string Path;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0; ///< nanoseconds since the epoch
    TFileId Id;
    bool AllNamesFound = true;
    std::vector<std::string> OtherNames;
    /// Marked in the window for a bulk command.
    bool Marked = false;
};

/// One group of a result document: its name, its wasted space (when known) and its files in
/// the order found.
struct TResultGroupFacts {
    std::string Name;
    std::optional<std::int64_t> Wasted;
    std::vector<TResultFileFacts> Files;
};

/// A file or folder the search could not read, with the system's reason.
struct TResultSkipped {
    std::string Path;
    std::string Reason;
};

/// A whole result document as plain data.
struct TResultDocument {
    TResultSearch Search;
    /// False for a search that was stopped before its end.
    bool Complete = false;
    std::vector<TResultGroupFacts> Groups;
    std::vector<TResultSkipped> Skipped;
};

} // namespace parvex
