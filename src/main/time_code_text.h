#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

class QLocale;

namespace parvex {

/// The moment a file-table time code (FileTimeCode) stands for, in local time; a packed code
/// keeps its two-second steps.
QDateTime TimeCodeDateTime(std::int64_t code);

/// A number that orders time codes by the moments they stand for (later is larger): the
/// seconds since the epoch, for a packed code read as if its local time were UTC.
std::int64_t TimeCodeOrder(std::int64_t code);

/// The moment of a time code as the locale writes a short date and time.
QString TimeCodeText(std::int64_t code, const QLocale& locale);

} // namespace parvex
