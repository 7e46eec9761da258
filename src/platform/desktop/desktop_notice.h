#pragma once

#include <QDBusConnection>
#include <QString>
#include <chrono>
#include <functional>
#include <optional>

namespace parvex {

/// How long the notification service has to answer before the notice is given up.
inline constexpr int kNoticeAnswerMs = 2000;

/// Shows a notice on the desktop (org.freedesktop.Notifications on `bus`) without waiting for
/// the answer; a bus or service that is missing just shows nothing.
void SendDesktopNotice(const QDBusConnection& bus, const QString& summary, const QString& body);

/// Tells the user on the desktop that long work ended while they looked elsewhere: work that
/// ran at least `kLongWork` and ends while the window is inactive.
class TWorkEndNotice {
public:
    using TClock = std::function<std::chrono::steady_clock::time_point()>;
    /// Work that ran this long is worth a notice.
    static constexpr std::chrono::seconds kLongWork{30};

    /// Notices sent through `send`, timed by `clock`.
    TWorkEndNotice(std::function<void(const QString& summary, const QString& body)> send,
                   TClock clock = &std::chrono::steady_clock::now);

    /// The work begins.
    void Started();
    /// The work ended; sends the notice when it was long and the window is not active. True
    /// when a notice was sent.
    bool Ended(bool windowActive, const QString& summary, const QString& body);

private:
    std::function<void(const QString&, const QString&)> send_;
    TClock clock_;
    std::optional<std::chrono::steady_clock::time_point> start_;
};

} // namespace parvex
