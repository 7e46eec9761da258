#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <time.h>

namespace parvex {

/// The local time of `seconds` packed as a FAT date and time word (date high, time low, 2 s
/// steps), as a signed 32-bit value; nothing when the year is outside 1980 to 2107.
std::optional<std::int32_t> PackedLocalTime(std::time_t seconds);

/// The file-table code of a modification time: the packed local time, or, for a time the packed
/// word cannot hold, the seconds since the epoch moved outside the 32-bit range of packed words
/// (equal codes mean equal times for every time within 68 years of the 64-bit limits).
std::int64_t FileTimeCode(std::time_t seconds);

/// A time as nanoseconds since the epoch; one beyond the 64-bit range (about 292 years from
/// 1970) is held to its nearer limit.
std::int64_t NanosecondsOf(const timespec& time);

} // namespace parvex
