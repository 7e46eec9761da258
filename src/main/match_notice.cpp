#include "main/match_notice.h"

#include <QStringList>

namespace parvex {

QString MatchNoticeText(const TCompareKeys& keys) {
    if (keys.Content)
        return {};
    QStringList used;
    for (const std::string_view name : CompareKeyNames) {
        if (const bool* on = CompareKeyNamed(keys, name); on != nullptr && *on)
            used << QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    }
    // Not even a name: the files matched on nothing at all.
    if (used.isEmpty())
        used << QStringLiteral("nothing");
    const QString last = used.takeLast();
    const QString listed =
        used.isEmpty() ? last : used.join(QStringLiteral(", ")) + QStringLiteral(" and ") + last;
    return QStringLiteral("Matched by %1 only: not checked to be copies").arg(listed);
}

} // namespace parvex
