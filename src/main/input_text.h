#pragma once

#include <QString>

namespace parvex {

/// The text without the blanks and control characters at either end.
QString TrimmedOfBlanks(const QString& text);

/// A start folder as the search wants it: trimmed, ending in "/", its letters left as typed.
QString NormalizedStartPath(const QString& text);

} // namespace parvex
