#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace parvex {

/// Hands an address to the desktop; tests replace it to see what would be opened.
using TUrlOpener = std::function<void(const QUrl& url)>;

/// The desktop's own opener (QDesktopServices::openUrl); its result is ignored.
TUrlOpener DesktopUrlOpener();

/// The page of a help topic: "<docsDir>/<topic>.html", the topic trimmed of blanks.
QString HelpTopicPath(const QString& docsDir, const QString& topic);

/// Opens the page of a topic through the opener; false when there is no such page, so that the
/// caller can say where it looked. Any error on the way to the browser is dropped.
bool ShowHelpTopic(const QString& docsDir, const QString& topic, const TUrlOpener& open);

/// What a help command says when it finds no page: where it looked.
QString HelpNotFoundText(const QString& docsDir, const QString& topic);

/// The installed help folder of a program in applicationDir ("../share/parvex/help") when that
/// program is installed (IsInstalledProgramFolder), else empty.
QString InstalledDocsDir(const QString& applicationDir);

/// Finds the help folder once at start: installedDocsDir when it holds index.html, else
/// "../docs" from startDir when it holds index.html or at least exists, else startDir itself.
/// Absolute, without a trailing "/"; the working directory is never changed.
QString LocateDocs(const QString& startDir, const QString& installedDocsDir);

} // namespace parvex
