#include "platform/file_times.h"

#include <limits>

namespace parvex {

std::optional<std::int32_t> PackedLocalTime(std::time_t seconds) {
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr)
        return std::nullopt;
    const int year = local.tm_year + 1900;
    if (year < 1980 || year > 2107)
        return std::nullopt;
    const std::uint32_t date = std::uint32_t(year - 1980) << 9 |
                               std::uint32_t(local.tm_mon + 1) << 5 | std::uint32_t(local.tm_mday);
    // A leap second (tm_sec 60) still fits the 5-bit field as 30.
    const std::uint32_t time = std::uint32_t(local.tm_hour) << 11 |
                               std::uint32_t(local.tm_min) << 5 | std::uint32_t(local.tm_sec / 2);
    return static_cast<std::int32_t>(date << 16 | time);
}

std::int64_t FileTimeCode(std::time_t seconds) {
    if (const auto packed = PackedLocalTime(seconds))
        return *packed;
    // Away from zero by 2^31, so the code never equals a packed word; wraps (unsigned, no
    // overflow) only for times hundreds of billions of years away.
    const std::uint64_t shift = std::uint64_t(1) << 31;
    const auto value = static_cast<std::uint64_t>(seconds);
    return static_cast<std::int64_t>(seconds >= 0 ? value + shift : value - shift);
}

std::int64_t NanosecondsOf(const timespec& time) {
    constexpr std::int64_t kPerSecond = 1000000000;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    const std::int64_t seconds = time.tv_sec;
    if (seconds > (kMax - time.tv_nsec) / kPerSecond)
        return kMax;
    if (seconds < kMin / kPerSecond)
        return kMin;
    return seconds * kPerSecond + time.tv_nsec;
}

} // namespace parvex
