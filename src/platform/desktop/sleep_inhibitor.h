#pragma once

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QString>

namespace parvex {

/// How long a D-Bus service has to answer a call about sleep before it counts as absent.
inline constexpr int kSleepAnswerMs = 2000;

/// Keeps the machine from sleeping while long work runs: the login manager's Inhibit on the
/// system bus (its answer is a descriptor that holds the lock until it is closed), or, where
/// there is no login manager to ask, the desktop portal's Inhibit on the session bus (a request
/// object that holds the lock until it is closed). Every call is asynchronous; a bus or service
/// that is missing or does not answer just leaves sleep as it was.
class TSleepInhibitor : public QObject {
    Q_OBJECT
public:
    /// An inhibitor that asks on these buses; nothing is asked before Hold.
    TSleepInhibitor(QDBusConnection systemBus, QDBusConnection sessionBus,
                    QObject* parent = nullptr);
    /// Releases what is held.
    ~TSleepInhibitor() override;

    /// Asks for sleep to wait, for `reason` (shown by the desktop); while already held, nothing
    /// more is asked.
    void Hold(const QString& reason);
    /// Lets the machine sleep again; a lock that arrives after this is released at once.
    void Release();
    /// Whether a lock is held now (granted and not released).
    bool Held() const { return lock_.isValid() || !portalRequest_.isEmpty(); }

Q_SIGNALS:
    /// A lock was granted and is now held.
    void Granted();

private:
    void AskLoginManager(quint64 round, const QString& reason);
    void AskPortal(quint64 round, const QString& reason);
    void ClosePortalRequest();

    QDBusConnection systemBus_;
    QDBusConnection sessionBus_;
    // Each Hold opens a round and Release ends it; an answer of an ended round is let go.
    quint64 round_ = 0;
    bool wanted_ = false;
    QDBusUnixFileDescriptor lock_;
    QString portalRequest_;
};

} // namespace parvex
