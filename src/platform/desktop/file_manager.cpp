#include "platform/desktop/file_manager.h"

#include "platform/desktop/desktop_path.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace parvex {

void ShowInFileManager(const QDBusConnection& bus, const QByteArray& path, QObject* context,
                       std::function<void()> fallback, int answerMs) {
    if (!bus.isConnected()) {
        fallback();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    // The address is plain ASCII: every other byte of the path is percent-encoded.
    const QString uri = QString::fromLatin1(FileUrlOfExactPath(path).toEncoded());
    // No startup notification id: the window that asks is already shown.
    call << QStringList{uri} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, answerMs), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, fallback = std::move(fallback)] {
                         if (watcher->isError())
                             fallback();
                         watcher->deleteLater();
                     });
}

} // namespace parvex
