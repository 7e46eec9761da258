// Keeping the machine awake, against a system bus and a session bus of the test's own with a
// login manager and a desktop portal of its own that record what they are asked. The login
// manager answers with one end of a pipe, so the test sees the lock end as the pipe's end.
#include "platform/desktop/sleep_inhibitor.h"
#include "support/qt/desktop_services.h"
#include "support/qt/private_bus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QTest>
#include <QVariantMap>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TLoginManager;
using testing::TPrivateBus;

/// The portal's request object: records that it was closed.
class TPortalRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")
public:
    int Closed = 0;
public Q_SLOTS:
    void Close() { ++Closed; }
};

/// The portal's Inhibit: records its arguments and answers with the request's path.
class TPortalInhibit : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")
public:
    static constexpr const char* kRequest = "/org/freedesktop/portal/desktop/request/1/t";
    std::vector<QStringList> Calls;
public Q_SLOTS:
    QDBusObjectPath Inhibit(const QString& window, uint flags, const QVariantMap& options) {
        Calls.push_back(
            {window, QString::number(flags), options.value(QStringLiteral("reason")).toString()});
        return QDBusObjectPath(QString::fromLatin1(kRequest));
    }
};

class SleepInhibitorTest : public ::testing::Test {
protected:
    SleepInhibitorTest() {
        system = systemBus.Connect(QStringLiteral("system client"));
        session = sessionBus.Connect(QStringLiteral("session client"));
        systemService = systemBus.Connect(QStringLiteral("login manager"));
        sessionService = sessionBus.Connect(QStringLiteral("portal"));
    }
    void StartLoginManager() { ASSERT_TRUE(loginManager.Serve(systemService)); }
    void StartPortal() {
        ASSERT_TRUE(sessionService.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"),
                                                  &portal, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(sessionService.registerObject(QString::fromLatin1(TPortalInhibit::kRequest),
                                                  &request, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(
            sessionService.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    }
    // Waits until every call of `inhibitor` is over (their watchers are its children); the
    // limit only guards against a hang.
    static void Settle(TSleepInhibitor& inhibitor) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return inhibitor.children().isEmpty(); }, 60000))
            << "a call about sleep never ended";
    }

    TPrivateBus systemBus{"system"};
    TPrivateBus sessionBus{"session"};
    QDBusConnection system{QString()};
    QDBusConnection session{QString()};
    QDBusConnection systemService{QString()};
    QDBusConnection sessionService{QString()};
    TLoginManager loginManager;
    TPortalInhibit portal;
    TPortalRequest request;
};

TEST_F(SleepInhibitorTest, SleepWaitsWhileHeldAndNotAfterRelease) {
    ASSERT_FALSE(systemBus.Address().isEmpty() || sessionBus.Address().isEmpty())
        << "dbus-daemon did not start";
    StartLoginManager();
    StartPortal();
    const QString reason = QStringLiteral("Searching for duplicate files");
    {
        TSleepInhibitor inhibitor(system, session);
        inhibitor.Hold(reason);
        inhibitor.Hold(reason); // a second Hold while held asks nothing more
        Settle(inhibitor);
        EXPECT_TRUE(inhibitor.Held());
        ASSERT_EQ(loginManager.Calls.size(), 1u);
        EXPECT_EQ(loginManager.Calls[0],
                  (QStringList{QStringLiteral("sleep"), QStringLiteral("Parvex"), reason,
                               QStringLiteral("block")}));
        EXPECT_EQ(loginManager.LastLock(), "held");
        inhibitor.Release();
        EXPECT_FALSE(inhibitor.Held());
        EXPECT_EQ(loginManager.LastLock(), "released");
        EXPECT_TRUE(portal.Calls.empty()) << "the portal was asked although the login manager was";
    }

    // Without a login manager on the system bus, the portal holds the lock.
    TSleepInhibitor inhibitor(QDBusConnection(QString()), session);
    inhibitor.Hold(reason);
    Settle(inhibitor);
    EXPECT_TRUE(inhibitor.Held());
    ASSERT_EQ(portal.Calls.size(), 1u);
    EXPECT_EQ(portal.Calls[0], (QStringList{QString(), QStringLiteral("4"), reason}));
    inhibitor.Release();
    EXPECT_TRUE(QTest::qWaitFor([&] { return request.Closed == 1; }, 60000))
        << "the portal's request was closed " << request.Closed << " times";
}

TEST_F(SleepInhibitorTest, ALockThatArrivesAfterReleaseIsLetGo) {
    ASSERT_FALSE(systemBus.Address().isEmpty()) << "dbus-daemon did not start";
    StartLoginManager();
    TSleepInhibitor inhibitor(system, session);
    inhibitor.Hold(QStringLiteral("Deleting files"));
    inhibitor.Release(); // before the answer
    Settle(inhibitor);
    ASSERT_EQ(loginManager.Calls.size(), 1u);
    EXPECT_FALSE(inhibitor.Held());
    EXPECT_EQ(loginManager.LastLock(), "released");
}

TEST_F(SleepInhibitorTest, MissingServicesOrBusesLeaveSleepAlone) {
    const QDBusConnection nowhere = QDBusConnection::connectToBus(
        QStringLiteral("unix:path=/nonexistent"), QStringLiteral("nowhere"));
    const struct {
        const char* what;
        QDBusConnection system;
        QDBusConnection session;
    } cases[] = {
        {"buses without services", system, session},
        {"no buses", nowhere, nowhere},
    };
    for (const auto& c : cases) {
        TSleepInhibitor inhibitor(c.system, c.session);
        int granted = 0;
        QObject::connect(&inhibitor, &TSleepInhibitor::Granted, [&] { ++granted; });
        inhibitor.Hold(QStringLiteral("Searching"));
        Settle(inhibitor);
        EXPECT_FALSE(inhibitor.Held()) << c.what;
        EXPECT_EQ(granted, 0) << c.what;
        inhibitor.Release();
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("nowhere"));
}

} // namespace
} // namespace parvex

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "sleep_inhibitor_test.moc"
