#include "platform/desktop/desktop_notice.h"

#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QStringList>
#include <QVariantMap>

namespace parvex {

void SendDesktopNotice(const QDBusConnection& bus, const QString& summary, const QString& body) {
    if (!bus.isConnected())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    // Application name, no notice to replace, the program's icon, no actions, the desktop's
    // own display time.
    call << QStringLiteral("Parvex") << uint{0} << QStringLiteral("org.parvex.Parvex") << summary
         << body << QStringList() << QVariantMap() << -1;
    // The answer (the notice's id) is not needed; the pending call may go unanswered.
    bus.asyncCall(call, kNoticeAnswerMs);
}

TWorkEndNotice::TWorkEndNotice(std::function<void(const QString&, const QString&)> send,
                               TClock clock)
    : send_(std::move(send)), clock_(std::move(clock)) {}

void TWorkEndNotice::Started() {
    start_ = clock_();
}

bool TWorkEndNotice::Ended(bool windowActive, const QString& summary, const QString& body) {
    if (!start_)
        return false;
    const bool longWork = clock_() - *start_ >= kLongWork;
    start_.reset();
    if (!longWork || windowActive)
        return false;
    send_(summary, body);
    return true;
}

} // namespace parvex
