#include "platform/desktop/sleep_inhibitor.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace parvex {
namespace {

// The portal's flag for "suspending the session".
constexpr uint kPortalSuspend = 4;

// Calls `call` on `bus` without waiting; `answered` runs with the reply on `context`'s thread,
// also for an error (no bus, no service, no answer in time).
template <typename Reply, typename Handler>
void CallAsync(const QDBusConnection& bus, const QDBusMessage& call, QObject* context,
               Handler answered) {
    // A bus that is not connected gives no pending call at all: it is answered as an error.
    const QDBusPendingCall pending =
        bus.isConnected() ? bus.asyncCall(call, kSleepAnswerMs)
                          : QDBusPendingCall::fromError(QDBusError(
                                QDBusError::Disconnected, QStringLiteral("Not connected")));
    auto* watcher = new QDBusPendingCallWatcher(pending, context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [watcher, answered = std::move(answered)] {
                         answered(QDBusPendingReply<Reply>(*watcher));
                         watcher->deleteLater();
                     });
}

} // namespace

TSleepInhibitor::TSleepInhibitor(QDBusConnection systemBus, QDBusConnection sessionBus,
                                 QObject* parent)
    : QObject(parent), systemBus_(std::move(systemBus)), sessionBus_(std::move(sessionBus)) {}

TSleepInhibitor::~TSleepInhibitor() {
    Release();
}

void TSleepInhibitor::Hold(const QString& reason) {
    if (wanted_)
        return;
    wanted_ = true;
    AskLoginManager(++round_, reason);
}

void TSleepInhibitor::Release() {
    wanted_ = false;
    ++round_;
    lock_ = QDBusUnixFileDescriptor(); // closing the descriptor ends the lock
    ClosePortalRequest();
}

void TSleepInhibitor::AskLoginManager(quint64 round, const QString& reason) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("Inhibit"));
    call << QStringLiteral("sleep") << QStringLiteral("Parvex") << reason
         << QStringLiteral("block");
    CallAsync<QDBusUnixFileDescriptor>(
        systemBus_, call, this,
        [this, round, reason](const QDBusPendingReply<QDBusUnixFileDescriptor>& reply) {
            if (round != round_)
                return; // released meanwhile: the reply's descriptor closes with it
            if (reply.isError() || !reply.value().isValid()) {
                AskPortal(round, reason);
                return;
            }
            lock_ = reply.value();
            Q_EMIT Granted();
        });
}

void TSleepInhibitor::AskPortal(quint64 round, const QString& reason) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    call << QString() << kPortalSuspend << QVariantMap{{QStringLiteral("reason"), reason}};
    CallAsync<QDBusObjectPath>(sessionBus_, call, this,
                               [this, round](const QDBusPendingReply<QDBusObjectPath>& reply) {
                                   if (reply.isError())
                                       return;
                                   portalRequest_ = reply.value().path();
                                   if (round != round_)
                                       ClosePortalRequest();
                                   else
                                       Q_EMIT Granted();
                               });
}

void TSleepInhibitor::ClosePortalRequest() {
    if (portalRequest_.isEmpty())
        return;
    const QDBusMessage close = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"), portalRequest_,
        QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close"));
    sessionBus_.asyncCall(close, kSleepAnswerMs);
    portalRequest_.clear();
}

} // namespace parvex
