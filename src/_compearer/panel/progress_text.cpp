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
        return locale.toString(bytes) + QStringLiteral(" bytes");
    if (value <= kMega)
        return fixed(kKilo, "Kb");
    if (value <= kGiga)
        return fixed(kMega, "Mb");
    return fixed(kGiga, "Gb");
}

QString ProgressText(const TSearchProgress& progress, TSearchState state, const QLocale& locale) {
    switch (state) {
    case ssScanning:
        return Translated("%1 folders, %2 files")
            .arg(locale.toString(progress.FoldersScanned), locale.toString(progress.FilesCollected));
    case ssComparing: {
        const auto rate = static_cast<std::int64_t>(std::llround(progress.BytesPerSecond()));
        return Translated("%1 of %2 files, %3 read, %4/s")
            .arg(locale.toString(progress.FilesSettled), locale.toString(progress.FilesToCompare),
                 ProgressSizeText(progress.BytesRead, locale), ProgressSizeText(rate, locale));
    }
    case ssIdle:
        break;
    }
    return {};
}

} // namespace parvex
