#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <string>
#include <vector>

namespace parvex::testing {

/// The login manager's Inhibit: records its arguments and hands out the write end of a pipe
/// whose read end it keeps, so that a test sees the lock end as the pipe's end.
class TLoginManager : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")
public:
    ~TLoginManager() override;
    /// Serves on `bus` as org.freedesktop.login1; false when the bus refused.
    bool Serve(QDBusConnection bus);
    /// "held" while the last lock's pipe is open, "released" at its end, "none" before any.
    std::string LastLock() const;

    std::vector<QStringList> Calls;
public Q_SLOTS:
    QDBusUnixFileDescriptor Inhibit(const QString& what, const QString& who, const QString& why,
                                    const QString& mode);

private:
    std::vector<int> readEnds_;
};

/// The notification service's Notify: records application, icon, summary and body.
class TNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    /// Serves on `bus` as org.freedesktop.Notifications; false when the bus refused.
    bool Serve(QDBusConnection bus);

    std::vector<QStringList> Notices;
public Q_SLOTS:
    uint Notify(const QString& app, uint replaces, const QString& icon, const QString& summary,
                const QString& body, const QStringList& actions, const QVariantMap& hints,
                int timeout);
};

} // namespace parvex::testing
