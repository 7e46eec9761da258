#include "dialogs/help_topic.h"

#include "platform/executable_path.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>

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

bool ShowHelpTopic(const QString& docsDir, const QString& topic, const TUrlOpener& open) {
    const QString page = HelpTopicPath(docsDir, topic);
    if (!QFileInfo(page).isFile())
        return false;
    // Help is a convenience: whatever goes wrong on the way to the browser stays unreported.
    try {
        if (open)
            open(QUrl::fromLocalFile(page));
    } catch (...) {
    }
    return true;
}

QString HelpNotFoundText(const QString& docsDir, const QString& topic) {
    return QStringLiteral("No help page was found. Parvex looked for:\n\"%1\"")
        .arg(HelpTopicPath(docsDir, topic));
}

QString InstalledDocsDir(const QString& applicationDir) {
    const std::string folder = QFile::encodeName(applicationDir).toStdString();
    if (!IsInstalledProgramFolder(folder))
        return {};
    return QFile::decodeName(QByteArray::fromStdString(InstalledHelpFolder(folder)));
}

QString LocateDocs(const QString& startDir, const QString& installedDocsDir) {
    // An installed program's own pages come first: a "docs" folder that happens to lie beside
    // the working folder belongs to something else.
    if (!installedDocsDir.isEmpty() && HoldsIndex(installedDocsDir))
        return WithoutTrailingSlash(QDir(installedDocsDir).absolutePath());
    const QString beside =
        WithoutTrailingSlash(QDir(startDir).absoluteFilePath(QStringLiteral("../docs")));
    if (QFileInfo(beside).isDir())
        return beside;
    return WithoutTrailingSlash(QDir(startDir).absolutePath());
}

} // namespace parvex
