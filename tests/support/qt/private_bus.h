#pragma once

#include "support/temp_tree.h"

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QStringList>

namespace parvex::testing {

/// A private message bus: a dbus-daemon with a configuration of the test's own, listening on a
/// socket in a temporary folder, that lets every connection own any name and call anything.
/// The daemon is ended and waited for when the object goes.
class TPrivateBus {
public:
    /// Starts the daemon; `type` is the bus type the configuration names ("session", "system").
    explicit TPrivateBus(const char* type = "session");
    ~TPrivateBus();
    TPrivateBus(const TPrivateBus&) = delete;
    TPrivateBus& operator=(const TPrivateBus&) = delete;

    /// A new connection to the bus under a connection name of this process.
    QDBusConnection Connect(const QString& name);
    /// The bus's address; empty when the daemon did not start.
    const QString& Address() const { return address_; }

private:
    TTempTree folder_;
    QProcess daemon_;
    QString address_;
    QStringList connections_;
};

} // namespace parvex::testing
