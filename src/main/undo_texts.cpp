#include "main/undo_texts.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QStringList>

namespace parvex {
namespace {

QString Decoded(const std::string& bytes) {
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

QString Counted(std::size_t count, const char* one, const char* many) {
    return QString::fromLatin1(count == 1 ? one : many)
        .arg(QLocale().toString(static_cast<qulonglong>(count)));
}

QString ActedText(const std::string& action, std::size_t count) {
    if (action == "trash")
        return Counted(count, "%1 file moved to the trash", "%1 files moved to the trash");
    if (action == "move")
        return Counted(count, "%1 file moved", "%1 files moved");
    if (action == "hardlink")
        return Counted(count, "%1 file replaced by a hard link", "%1 files replaced by hard links");
    return Counted(count, "%1 file", "%1 files") + QStringLiteral(" (%1)").arg(Decoded(action));
}

} // namespace

QString UndoQuestion(const TRunSummary& run) {
    QStringList acted;
    for (const auto& [action, count] : run.Acted)
        acted << ActedText(action, count);
    const QDateTime started = QDateTime::fromMSecsSinceEpoch(run.StartedNs / 1000000);
    return QStringLiteral("Undo the last action?\n%1, by %2 at %3 (run %4).\nWhat is in a "
                          "file's place now is never replaced.")
        .arg(acted.join(QStringLiteral(", ")), Decoded(run.Source),
             QLocale().toString(started, QLocale::ShortFormat), Decoded(run.Id));
}

QString UndoSummary(const TUndoReport& report) {
    return QStringLiteral("Undo: %1 put back, %2 skipped.")
        .arg(QLocale().toString(static_cast<qulonglong>(report.PutBackCount())),
             QLocale().toString(static_cast<qulonglong>(report.SkippedCount())));
}

QString UndoDetails(const TUndoReport& report) {
    QStringList lines;
    for (const TUndoLine& line : report.Lines) {
        lines << (line.PutBack ? QStringLiteral("Put back: %1").arg(Decoded(line.Name))
                               : QStringLiteral("Skipped: %1: %2")
                                     .arg(Decoded(line.Name), Decoded(line.Reason)));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace parvex
