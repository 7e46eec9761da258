#include "result_file/utc_time_text.h"

#include "platform/file_times.h"

#include <cstdio>
#include <ctime>

namespace parvex {

std::string Rfc3339UtcOf(std::int64_t nanoseconds) {
    constexpr std::int64_t kPerSecond = 1000000000;
    // Floor division, so that a moment before 1970 keeps a fraction from 0 to 999999999.
    std::int64_t seconds = nanoseconds / kPerSecond;
    std::int64_t fraction = nanoseconds % kPerSecond;
    if (fraction < 0) {
        fraction += kPerSecond;
        --seconds;
    }
    const auto whole = static_cast<std::time_t>(seconds);
    std::tm utc{};
    gmtime_r(&whole, &utc);
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%09lldZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<long long>(fraction));
    return text;
}

std::optional<std::int64_t> NanosecondsOfRfc3339(std::string_view text) {
    // "YYYY-MM-DDTHH:MM:SS.nnnnnnnnnZ": digits everywhere but at the fixed separators.
    constexpr std::string_view kShape = "0000-00-00T00:00:00.000000000Z";
    if (text.size() != kShape.size())
        return std::nullopt;
    for (std::size_t i = 0; i < kShape.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if (kShape[i] == '0' ? !digit : text[i] != kShape[i])
            return std::nullopt;
    }
    const auto number = [text](std::size_t start, std::size_t length) {
        std::int64_t value = 0;
        for (std::size_t i = start; i < start + length; ++i)
            value = value * 10 + (text[i] - '0');
        return value;
    };
    std::tm utc{};
    utc.tm_year = static_cast<int>(number(0, 4)) - 1900;
    utc.tm_mon = static_cast<int>(number(5, 2)) - 1;
    utc.tm_mday = static_cast<int>(number(8, 2));
    utc.tm_hour = static_cast<int>(number(11, 2));
    utc.tm_min = static_cast<int>(number(14, 2));
    utc.tm_sec = static_cast<int>(number(17, 2));
    const std::tm asked = utc;
    const std::time_t seconds = timegm(&utc);
    // timegm carries a day 31 of a short month over; such a text names no moment.
    if (utc.tm_mday != asked.tm_mday || utc.tm_mon != asked.tm_mon || utc.tm_hour != asked.tm_hour)
        return std::nullopt;
    return static_cast<std::int64_t>(seconds) * 1000000000 + number(20, 9);
}

std::int64_t NowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return NanosecondsOf(now);
}

} // namespace parvex
