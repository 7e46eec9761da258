#include "main/time_code_text.h"

#include <QLocale>
#include <QTimeZone>

namespace parvex {

namespace {

constexpr std::int64_t kShift = std::int64_t(1) << 31;

bool IsPacked(std::int64_t code) {
    return code >= -kShift && code < kShift;
}

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(std::int64_t year, unsigned month, unsigned day) {
    year -= month <= 2 ? 1 : 0;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const auto yearOfEra = static_cast<unsigned>(year - era * 400);
    const unsigned dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + static_cast<std::int64_t>(dayOfEra) - 719468;
}

} // namespace

std::int64_t TimeCodeOrder(std::int64_t code) {
    if (!IsPacked(code))
        return code >= kShift ? code - kShift : code + kShift;
    const auto word = static_cast<std::uint32_t>(code);
    const std::uint32_t date = word >> 16;
    const std::uint32_t time = word & 0xFFFFu;
    return DaysFromCivil(1980 + (date >> 9), date >> 5 & 15, date & 31) * 86400 +
           (time >> 11) * 3600 + (time >> 5 & 63) * 60 + (time & 31) * 2;
}

QDateTime TimeCodeDateTime(std::int64_t code) {
    if (IsPacked(code)) {
        const auto word = static_cast<std::uint32_t>(code);
        const std::uint32_t date = word >> 16;
        const std::uint32_t time = word & 0xFFFFu;
        return QDateTime(QDate(static_cast<int>(1980 + (date >> 9)),
                               static_cast<int>(date >> 5 & 15), static_cast<int>(date & 31)),
                         QTime(static_cast<int>(time >> 11), static_cast<int>(time >> 5 & 63),
                               static_cast<int>((time & 31) * 2)));
    }
    const std::int64_t seconds = code >= kShift ? code - kShift : code + kShift;
    return QDateTime::fromSecsSinceEpoch(seconds);
}

QString TimeCodeText(std::int64_t code, const QLocale& locale) {
    return locale.toString(TimeCodeDateTime(code), QLocale::ShortFormat);
}

} // namespace parvex
