#include "cli/utc_time_text.h"

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

std::int64_t NowNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return NanosecondsOf(now);
}

} // namespace parvex
