#pragma once

#include "platform/file_id.h"

#include <cstdint>
#include <vector>

namespace parvex {

/// One file of a group, as far as the space it takes counts.
struct TSpaceOfFile {
    TFileId Id;
    std::int64_t Size = 0;
    /// True when the search found every name of the file's inode, so that deleting the names
    /// found frees its space.
    bool AllNamesFound = false;
};

/// The space a group of identical files wastes: the sizes of its inodes whose every name was
/// found, each inode once, less the largest of them, since one copy stays; when some inode
/// of the group has a name outside it, that inode is the copy that stays and nothing is less.
std::int64_t WastedSpace(std::vector<TSpaceOfFile> files);

} // namespace parvex
