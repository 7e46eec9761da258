#pragma once

#include "platform/file_id.h"

#include <cstdint>
#include <string_view>

namespace parvex {

/// Everything the file table keeps of one file, handed to TCompearerCore::AddFile.
struct TFileRow {
    std::string_view Folder;     ///< the folder path, ending in "/"
    std::string_view Name;       ///< the file name
    std::int64_t Size = 0;       ///< bytes
    std::int64_t Time = 0;       ///< FileTimeCode of the modification time
    TFileId Id{};                ///< device and inode; the zero id when not known
    std::uint32_t LinkCount = 1; ///< st_nlink
    std::int64_t ModifiedNs = 0; ///< the modification time to the nanosecond
    std::int64_t ChangedNs = 0;  ///< the inode's change time to the nanosecond
};

} // namespace parvex
