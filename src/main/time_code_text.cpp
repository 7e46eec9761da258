#include "main/time_code_text.h"

#include <QLocale>
#include <QTimeZone>

namespace parvex {

QDateTime TimeCodeDateTime(std::int64_t code) {
    constexpr std::int64_t kShift = std::int64_t(1) << 31;
    if (code >= -kShift && code < kShift) {
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
