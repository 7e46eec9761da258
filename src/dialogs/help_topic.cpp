#include "dialogs/help_topic.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>

#ifndef PARVEX_DOCS_FROM_BINDIR
#define PARVEX_DOCS_FROM_BINDIR "../share/doc/parvex"
#endif

namespace parvex {

namespace {

bool HoldsIndex(const QString& dir) {
    return QFileInfo(dir + QStringLiteral("/index.html")).isFile();
}

QString WithoutTrailingSlash(const QString& path) {
    const QString clean = QDir::cleanPath(path);
    return clean.size() > 1 && clean.endsWith(QLatin1Char('/')) ? clean.chopped(1) : clean;
}

} // namespace

TUrlOpener DesktopUrlOpener() {
    return [](const QUrl& url) { QDesktopServices::openUrl(url); };
}

QString HelpTopicPath(const QString& docsDir, const QString& topic) {
    return docsDir.trimmed() + QLatin1Char('/') + topic.trimmed() + QStringLiteral(".html");
}

void ShowHelpTopic(const QString& docsDir, const QString& topic, const TUrlOpener& open) {
    // Help is a convenience: whatever goes wrong on the way to the browser stays unreported.
    try {
        if (open)
            open(QUrl::fromLocalFile(HelpTopicPath(docsDir, topic)));
    } catch (...) {
    }
}

QString InstalledDocsDir(const QString& applicationDir) {
    return WithoutTrailingSlash(applicationDir + QLatin1Char('/') +
                                QStringLiteral(PARVEX_DOCS_FROM_BINDIR));
}

QString LocateDocs(const QString& startDir, const QString& installedDocsDir) {
    const QString beside =
        WithoutTrailingSlash(QDir(startDir).absoluteFilePath(QStringLiteral("../docs")));
    if (HoldsIndex(beside))
        return beside;
    if (!installedDocsDir.isEmpty() && HoldsIndex(installedDocsDir))
        return WithoutTrailingSlash(QDir(installedDocsDir).absolutePath());
    if (QFileInfo(beside).isDir())
        return beside;
    return WithoutTrailingSlash(QDir(startDir).absolutePath());
}

} // namespace parvex
