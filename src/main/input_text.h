#pragma once

#include <QString>

namespace parvex {

/// The text without the blanks and control characters at either end.
QString TrimmedOfBlanks(const QString& text);

} // namespace parvex
