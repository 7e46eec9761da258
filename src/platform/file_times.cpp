#include "platform/file_times.h"

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

std::string FileTimeText(std::time_t seconds) {
    if (const auto packed = PackedLocalTime(seconds))
        return std::to_string(*packed);
    return "T" + std::to_string(static_cast<long long>(seconds));
}

} // namespace parvex
