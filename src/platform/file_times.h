#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace parvex {

/// The local time of `seconds` packed as a FAT date and time word (date high, time low, 2 s
/// steps), as a signed 32-bit value; nothing when the year is outside 1980 to 2107.
std::optional<std::int32_t> PackedLocalTime(std::time_t seconds);

/// The file-table text of a modification time: the packed local time in decimal, or, for a time
/// the packed word cannot hold, "T" followed by the seconds since the epoch (never a number).
std::string FileTimeText(std::time_t seconds);

} // namespace parvex
