#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

/// What tells a file apart from the same file changed: inode, size, and the modification and
/// change times in nanoseconds (the file system is named beside it).
struct TFileIdentity {
    std::int64_t Inode = 0;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::int64_t ChangedNs = 0;
    friend bool operator==(const TFileIdentity&, const TFileIdentity&) = default;
};

/// XXH3-128 of a file's first and last DigestChunk bytes (of the whole file when it is no
/// longer): two files of different digests differ.
using TEndsDigest = std::array<std::uint64_t, 2>;
constexpr std::size_t DigestChunk = 4096;

/// The digest of the file at `path`, when it is still the file of `identity` after it was read;
/// nothing when it cannot be read or has changed.
std::optional<TEndsDigest> DigestOfEnds(const std::string& path, const TFileIdentity& identity);

} // namespace parvex
