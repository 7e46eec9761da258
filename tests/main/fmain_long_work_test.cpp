// Long work in the main window on the desktop, against a system and a session bus of the
// test's own: sleep waits while a search or a bulk command runs and no longer after it, and a
// long search that ends while the window is inactive sends a notice (an injected clock).
#include "_compearer/panel/ocompearer.h"
#include "main/fmain.h"
#include "main/result_model.h"
#include "main/status_field.h"
#include "main_test_support.h"
#include "support/qt/desktop_services.h"
#include "support/qt/modal_driver.h"
#include "support/qt/private_bus.h"

#include <QProgressDialog>
#include <QTest>

namespace parvex::test {
namespace {

using namespace std::chrono_literals;
using testing::TLoginManager;
using testing::TNotifications;
using testing::TPrivateBus;

// The buses exist before the window: the program's bus connections are made once, on first
// use, from these addresses.
class TDesktopBuses {
public:
    TDesktopBuses() {
        qputenv("DBUS_SYSTEM_BUS_ADDRESS", system.Address().toUtf8());
        qputenv("DBUS_SESSION_BUS_ADDRESS", session.Address().toUtf8());
    }
    TPrivateBus system{"system"};
    TPrivateBus session{"session"};
};

class FmainLongWorkTest : public TDesktopBuses, public TMainWindowTest {
protected:
    FmainLongWorkTest() {
        window.WorkClock = [this] { return now; };
        served = loginManager.Serve(system.Connect(QStringLiteral("login manager"))) &&
                 notifications.Serve(session.Connect(QStringLiteral("notifications")));
    }
    // Waits until the login manager's last lock is in `state`; the limit only guards against
    // a hang.
    void WaitLock(const std::string& state) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return loginManager.LastLock() == state; }, 60000))
            << "the lock is " << loginManager.LastLock() << ", not " << state;
    }

    std::chrono::steady_clock::time_point now{};
    TLoginManager loginManager;
    TNotifications notifications;
    bool served = false;
    TTempTree tree;
};

TEST_F(FmainLongWorkTest, SleepWaitsWhileWorkRunsAndALongSearchEndingUnseenIsNoticed) {
    ASSERT_TRUE(served) << "the private buses or their services did not start";
    QWidget elsewhere;
    const struct {
        std::chrono::seconds ran;
        bool windowActive;
        bool stopped;
    } searches[] = {
        {5s, false, false}, {31s, true, false}, {31s, false, true}, // the only one noticed
    };
    for (const auto& search : searches) {
        if (search.windowActive) {
            ASSERT_TRUE(testing::ActivateAgain(window));
        } else {
            elsewhere.show();
            elsewhere.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
        }
        window.SearchStarted();
        WaitLock("held");
        now += search.ran;
        if (search.stopped)
            window.SearchInterrupted();
        else
            window.SearchCompleted();
        // The lock ends with the search, also when it arrives after the end.
        WaitLock("released");
    }
    ASSERT_EQ(loginManager.Calls.size(), 3u);
    EXPECT_EQ(loginManager.Calls[0], (QStringList{QStringLiteral("sleep"), QStringLiteral("Parvex"),
                                                  QStringLiteral("Searching for duplicate files"),
                                                  QStringLiteral("block")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !notifications.Notices.empty(); }, 60000))
        << "no notice";
    ASSERT_EQ(notifications.Notices.size(), 1u) << "only the stopped search was long and unseen";
    EXPECT_EQ(notifications.Notices[0][2], QStringLiteral("Search stopped"));

    // A bulk command holds the lock while it runs.
    const std::string one = tree.File("a/x.txt", "same");
    const std::string two = tree.File("b/x.txt", "same");
    window.Ocompearer1->Core().SetKeys({false, true, false, true}); // size and content
    ReportResult({{"x.txt", {one, two}}});
    // The search's lock arrives after its end and is let go.
    EXPECT_TRUE(QTest::qWaitFor([&] { return loginManager.Calls.size() == 4; }, 60000));
    WaitLock("released");
    ASSERT_TRUE(window.ResultModel->setData(Node(0, 1), Qt::Checked, Qt::CheckStateRole));
    std::string lockDuringRun;
    window.OnBulkSlice = [&](QProgressDialog&) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return loginManager.Calls.size() == 5; }, 60000));
        lockDuringRun = loginManager.LastLock();
    };
    TTrashHome home(tree.Path("home"));
    window.ActOnMarked(TActionKind::Trash);
    EXPECT_EQ(lockDuringRun, "held");
    ASSERT_EQ(loginManager.Calls.size(), 5u);
    EXPECT_EQ(loginManager.Calls[4][2], QStringLiteral("Moving the marked files to the trash"));
    WaitLock("released");
}

} // namespace
} // namespace parvex::test
