#include "main/counted_text.h"

#include <QLocale>

namespace parvex {

QString CountedText(std::size_t count, const QString& one, const QString& more) {
    return QStringLiteral("%1 %2").arg(QLocale().toString(static_cast<qulonglong>(count)),
                                       count == 1 ? one : more);
}

} // namespace parvex
