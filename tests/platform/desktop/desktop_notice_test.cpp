// The notice at the end of long work: when it is sent (an injected clock), and what the
// notification service of a session bus of the test's own receives.
#include "platform/desktop/desktop_notice.h"
#include "support/qt/desktop_services.h"
#include "support/qt/private_bus.h"

#include <QDBusConnection>
#include <QStringList>
#include <QTest>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using namespace std::chrono_literals;
using testing::TNotifications;
using testing::TPrivateBus;

TEST(WorkEndNoticeTest, OnlyLongWorkEndingWhileTheWindowIsInactiveIsNoticed) {
    const struct {
        std::chrono::milliseconds ran;
        bool windowActive;
        bool noticed;
    } cases[] = {
        {29'999ms, false, false}, {30s, false, true}, {10min, false, true},
        {10min, true, false},     {1s, true, false},
    };
    for (const auto& c : cases) {
        std::chrono::steady_clock::time_point now{};
        int sent = 0;
        TWorkEndNotice notice([&](const QString&, const QString&) { ++sent; }, [&] { return now; });
        notice.Started();
        now += c.ran;
        EXPECT_EQ(notice.Ended(c.windowActive, QStringLiteral("done"), QString()), c.noticed)
            << c.ran.count() << " ms, window active " << c.windowActive;
        EXPECT_EQ(sent, c.noticed ? 1 : 0) << c.ran.count() << " ms";
        EXPECT_FALSE(notice.Ended(false, QStringLiteral("again"), QString()))
            << "a second end without a start";
    }
}

TEST(DesktopNoticeTest, TheNotificationServiceShowsTheNotice) {
    TPrivateBus bus;
    ASSERT_FALSE(bus.Address().isEmpty()) << "dbus-daemon did not start";
    QDBusConnection client = bus.Connect(QStringLiteral("client"));
    // Without the service, nothing happens and nothing fails.
    SendDesktopNotice(client, QStringLiteral("Search done"), QStringLiteral("nobody listens"));

    QDBusConnection service = bus.Connect(QStringLiteral("notifications"));
    TNotifications notifications;
    ASSERT_TRUE(notifications.Serve(service));
    SendDesktopNotice(client, QStringLiteral("Search done"), QStringLiteral("3 groups"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !notifications.Notices.empty(); }, 60000))
        << "no notice arrived";
    ASSERT_EQ(notifications.Notices.size(), 1u);
    EXPECT_EQ(notifications.Notices[0],
              (QStringList{QStringLiteral("Parvex"), QStringLiteral("org.parvex.Parvex"),
                           QStringLiteral("Search done"), QStringLiteral("3 groups")}));
}

} // namespace
} // namespace parvex
