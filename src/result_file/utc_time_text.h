#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace parvex {

/// A moment given in nanoseconds since the epoch as an RFC 3339 UTC time with all nine digits
/// of the second's fraction: "2023-11-14T22:13:20.123456789Z".
std::string Rfc3339UtcOf(std::int64_t nanoseconds);

/// The moment an RFC 3339 UTC time as Rfc3339UtcOf writes it stands for, in nanoseconds since
/// the epoch; nothing for any other text.
std::optional<std::int64_t> NanosecondsOfRfc3339(std::string_view text);

/// The current time in nanoseconds since the epoch (the system's real-time clock).
std::int64_t NowNanoseconds();

} // namespace parvex
