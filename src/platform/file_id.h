#pragma once

#include <cstdint>
#include <sys/stat.h>

namespace parvex {

/// Where a file lives: its device and inode. Two paths with one id (hard links, bind mounts)
/// are one file. The zero id stands for "not known" and is never the id of a real file here.
struct TFileId {
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;

    /// True unless this is the zero id of a file whose identity was never learnt.
    bool Known() const { return Device != 0 || Inode != 0; }
    /// A hash for tables of ids.
    std::uint64_t Hash() const { return (Device * 0x9E3779B97F4A7C15ULL) ^ Inode; }
    friend bool operator==(const TFileId&, const TFileId&) = default;
};

/// The id in the facts of a stat call.
inline TFileId FileIdOf(const struct stat& facts) {
    return {static_cast<std::uint64_t>(facts.st_dev), static_cast<std::uint64_t>(facts.st_ino)};
}

} // namespace parvex
