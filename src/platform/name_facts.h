#pragma once

#include "platform/file_id.h"

#include <cstdint>
#include <optional>
#include <string>

namespace parvex {

/// What one name of a file shows: the file's identity, size, times, permission bits and owner.
struct TNameFacts {
    TFileId Id;
    std::int64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::int64_t AccessedNs = 0;
    std::uint32_t Mode = 0; ///< type and permission bits
    std::uint32_t Owner = 0;
    std::uint32_t Group = 0;
};

/// The facts of the entry at the exact path bytes (not followed when a link); nothing when no
/// entry is there.
std::optional<TNameFacts> NameFactsOf(const std::string& path);

/// True when `now` is the file `before` was, unchanged in bytes as far as size and
/// modification time tell: the same identity, size and modification time to the nanosecond.
bool SameUnchangedFile(const TNameFacts& now, const TNameFacts& before);

} // namespace parvex
