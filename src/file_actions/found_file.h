#pragma once

#include "platform/file_id.h"

#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

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

} // namespace parvex
