#pragma once

#include <cstdint>
#include <string>

namespace parvex {

/// A moment given in nanoseconds since the epoch as an RFC 3339 UTC time with all nine digits
/// of the second's fraction: "2023-11-14T22:13:20.123456789Z".
std::string Rfc3339UtcOf(std::int64_t nanoseconds);

/// The current time in nanoseconds since the epoch (the system's real-time clock).
std::int64_t NowNanoseconds();

} // namespace parvex
