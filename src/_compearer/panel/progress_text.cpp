#include "_compearer/panel/progress_text.h"

#include <QCoreApplication>
#include <cmath>

namespace parvex {

namespace {

constexpr double kKilo = 1000;
constexpr double kMega = 1000 * kKilo;
constexpr double kGiga = 1000 * kMega;

QString Translated(const char* text) {
    return QCoreApplication::translate("TOcompearer", text);
}

// "1 file", "2 files": the count in the locale's digits with the word that fits it.
QString Counted(std::int64_t count, const char* one, const char* more, const QLocale& locale) {
    return Translated(count == 1 ? one : more).arg(locale.toString(count));
}

} // namespace

QString ProgressSizeText(std::int64_t bytes, const QLocale& locale) {
    const auto value = static_cast<double>(bytes);
    // As the group information writes sizes: the locale's decimal point, no group separator.
    QLocale plain(locale);
    plain.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    const auto fixed = [&](double unit, const char* name) {
        return plain.toString(value / unit, 'f', 3) + QLatin1Char(' ') + QLatin1String(name);
    };
    if (value <= kKilo)
        return plain.toString(bytes) + QStringLiteral(" bytes");
    if (value <= kMega)
        return fixed(kKilo, "Kb");
    if (value <= kGiga)
        return fixed(kMega, "Mb");
    return fixed(kGiga, "Gb");
}

QString ProgressText(const TSearchProgress& progress, TSearchState state, const QLocale& locale) {
    switch (state) {
    case ssScanning:
        return Counted(progress.FoldersScanned, "%1 folder", "%1 folders", locale) +
               QStringLiteral(", ") +
               Counted(progress.FilesCollected, "%1 file", "%1 files", locale);
    case ssComparing: {
        const auto rate = static_cast<std::int64_t>(std::llround(progress.BytesPerSecond()));
        return Translated("%1 of %2, %3 read, %4/s")
            .arg(locale.toString(progress.FilesSettled),
                 Counted(progress.FilesToCompare, "%1 file", "%1 files", locale),
                 ProgressSizeText(progress.BytesRead, locale), ProgressSizeText(rate, locale));
    }
    case ssIdle:
        break;
    }
    return {};
}

} // namespace parvex
