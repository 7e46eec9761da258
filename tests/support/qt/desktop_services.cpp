#include "support/qt/desktop_services.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace parvex::testing {

TLoginManager::~TLoginManager() {
    for (int fd : readEnds_)
        ::close(fd);
}

bool TLoginManager::Serve(QDBusConnection bus) {
    return bus.registerObject(QStringLiteral("/org/freedesktop/login1"), this,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerService(QStringLiteral("org.freedesktop.login1"));
}

std::string TLoginManager::LastLock() const {
    if (readEnds_.empty())
        return "none";
    char byte;
    const ssize_t got = ::read(readEnds_.back(), &byte, 1);
    return got == 0 ? "released" : got < 0 && errno == EAGAIN ? "held" : "unexpected";
}

QDBusUnixFileDescriptor TLoginManager::Inhibit(const QString& what, const QString& who,
                                               const QString& why, const QString& mode) {
    Calls.push_back({what, who, why, mode});
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0)
        return {};
    readEnds_.push_back(ends[0]);
    QDBusUnixFileDescriptor lock(ends[1]); // holds a copy of the write end
    ::close(ends[1]);
    return lock;
}

bool TNotifications::Serve(QDBusConnection bus) {
    return bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), this,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerService(QStringLiteral("org.freedesktop.Notifications"));
}

uint TNotifications::Notify(const QString& app, uint replaces, const QString& icon,
                            const QString& summary, const QString& body, const QStringList& actions,
                            const QVariantMap& hints, int timeout) {
    Q_UNUSED(replaces);
    Q_UNUSED(actions);
    Q_UNUSED(hints);
    Q_UNUSED(timeout);
    Notices.push_back({app, icon, summary, body});
    return static_cast<uint>(Notices.size());
}

} // namespace parvex::testing
