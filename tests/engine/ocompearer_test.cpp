#include "_compearer/panel/ocompearer.h"
#include "support/temp_tree.h"

#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <stdexcept>

namespace parvex {
namespace {

using TLines = std::vector<std::string>;

// What the panel shows at one moment, as one line.
std::string Look(const TOcompearer& panel) {
    return panel.Label_status->text().toStdString() +
           (panel.ProgressBar1->isHidden() ? " | bar hidden" : " | bar shown") +
           (panel.btn_start->isEnabled() ? " | start on" : " | start off") +
           (panel.Btn_stop->isEnabled() ? " | stop on" : " | stop off");
}

class Panel : public ::testing::Test {
protected:
    // Looks at the panel from inside the search, at each event.
    void Watch() {
        TCompearerCore& core = panel.Core();
        core.OnSearchStart = [this] {
            looks.push_back("start: " + Look(panel));
            panel.Core().SearchSpec = tree.Root() + "*.*";
        };
        core.OnCheckFolder = [this](const std::string&, bool&) {
            looks.push_back("check: " + Look(panel));
        };
        core.OnFileFound = [this](const std::string&, bool newGroup) {
            if (newGroup)
                looks.push_back("found: " + Look(panel));
        };
        core.OnSearchComplete = [this] { looks.push_back("complete: " + Look(panel)); };
        core.OnSearchInterrupted = [this] { looks.push_back("interrupted: " + Look(panel)); };
    }

    testing::TTempTree tree;
    TOcompearer panel;
    TLines looks;
};

TEST_F(Panel, ShowsIdleWithStartEnabledAtFirst) {
    EXPECT_EQ(panel.GroupBox1->title(), QStringLiteral("Search status"));
    EXPECT_EQ(panel.btn_start->text(), QStringLiteral("Start"));
    EXPECT_EQ(panel.Btn_stop->text(), QStringLiteral("Stop"));
    EXPECT_TRUE(panel.Label_status->wordWrap());
    EXPECT_EQ(Look(panel), "IDLE | bar hidden | start on | stop off");
}

TEST_F(Panel, FollowsTheSearchThroughItsStates) {
    tree.File("a", "x");
    tree.File("b", "x");
    tree.SetTime("a", 1600000000);
    tree.SetTime("b", 1600000000);
    Watch();
    QTest::mouseClick(panel.btn_start, Qt::LeftButton);
    EXPECT_EQ(looks,
              (TLines{"start: IDLE | bar hidden | start off | stop on",
                      "check: FOLDER TREE SCANNING... | bar hidden | start off | stop on",
                      "found: LOOKING FOR IDENTICAL FILES... | bar shown | start off | stop on",
                      "complete: IDLE | bar hidden | start on | stop off"}));
}

TEST_F(Panel, TheStopButtonInterruptsTheSearch) {
    for (const char* name : {"a", "b", "c", "d"})
        tree.File(name, "x"), tree.SetTime(name, 1600000000);
    Watch();
    panel.Core().CompareContent = false;
    panel.Core().OnFileFound = [this](const std::string&, bool) {
        QTest::mouseClick(panel.Btn_stop, Qt::LeftButton);
    };
    QTest::mouseClick(panel.btn_start, Qt::LeftButton);
    EXPECT_EQ(looks.back(), "interrupted: IDLE | bar hidden | start on | stop off");
}

TEST_F(Panel, ButtonsRaiseTheirRequestsAndAnswerThemUntilAnOwnerTakesThemOver) {
    std::vector<std::string> requests;
    QObject::connect(&panel, &TOcompearer::StartRequested, &panel,
                     [&] { requests.push_back("start"); });
    QObject::connect(&panel, &TOcompearer::StopRequested, &panel,
                     [&] { requests.push_back("stop"); });
    Watch();
    QTest::mouseClick(panel.btn_start, Qt::LeftButton);
    EXPECT_EQ(requests, TLines{"start"});
    EXPECT_EQ(looks.back(), "complete: IDLE | bar hidden | start on | stop off");

    panel.LeaveRequestsToOwner();
    looks.clear();
    QTest::mouseClick(panel.btn_start, Qt::LeftButton);
    EXPECT_EQ(requests, (TLines{"start", "start"}));
    EXPECT_TRUE(looks.empty()) << "the panel ran a search its owner had not started";
    panel.Btn_stop->setEnabled(true);
    QTest::mouseClick(panel.Btn_stop, Qt::LeftButton);
    EXPECT_EQ(requests, (TLines{"start", "start", "stop"}));
    EXPECT_FALSE(panel.Core().StopRequested);
}

TEST_F(Panel, AnErrorLeavesThePanelIdleWithStartEnabled) {
    tree.File("a", "x");
    tree.File("b", "x");
    Watch();
    panel.Core().CompareTime = false;
    panel.Core().OnFileFound = [](const std::string&, bool) { throw std::bad_alloc(); };
    EXPECT_THROW(panel.btn_startClick(), std::bad_alloc);
    EXPECT_EQ(Look(panel), "IDLE | bar hidden | start on | stop off");
}

TEST_F(Panel, ShowsTheSearchsNumbersBesideItsStatusWithoutGrowingTaller) {
    tree.File("a", "x");
    tree.File("b", "x");
    tree.File("sub/c", "other");
    for (const char* name : {"a", "b", "sub/c"})
        tree.SetTime(name, 1600000000);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    // Every reading of the clock takes a whole poll interval: the panel is refreshed at every
    // chance, however fast this machine is.
    panel.Core().Now = [now = TCompearerCore::TClock::time_point{}]() mutable {
        return now += TCompearerCore::PollInterval;
    };
    Watch();
    const int idleHeight = panel.sizeHint().height();
    int comparingHeight = 0;
    panel.Core().OnCheckFolder = [this](const std::string& path, bool&) {
        if (path == tree.Path("sub/"))
            looks.push_back(panel.CountsLabel()->text().toStdString());
    };
    panel.Core().OnFileFound = [&](const std::string&, bool newGroup) {
        if (newGroup)
            looks.push_back(panel.CountsLabel()->text().toStdString());
        comparingHeight = panel.sizeHint().height();
    };
    EXPECT_TRUE(panel.CountsLabel()->text().isEmpty());
    QTest::mouseClick(panel.btn_start, Qt::LeftButton);
    QLocale::setDefault(before);

    ASSERT_EQ(looks.size(), 4U);
    EXPECT_EQ(looks[0], "start: IDLE | bar hidden | start off | stop on");
    EXPECT_EQ(looks[1], "1 folder, 2 files") << "the root read, its subfolder not yet";
    EXPECT_EQ(looks[2].rfind("3 of 3 files, 2 bytes read, ", 0), 0U) << looks[2];
    EXPECT_EQ(looks[2].substr(looks[2].size() - 2), "/s") << looks[2];
    EXPECT_EQ(looks[3], "complete: IDLE | bar hidden | start on | stop off");
    EXPECT_TRUE(panel.CountsLabel()->text().isEmpty()) << "numbers left when idle";
    EXPECT_EQ(comparingHeight, idleHeight) << "the panel grew while comparing";
}

TEST_F(Panel, MapsWorkDoneOntoTheBar) {
    const std::pair<std::pair<std::int64_t, std::int64_t>, int> cases[] = {
        {{0, 100}, 0},
        {{50, 100}, 500},
        {{100, 100}, 1000},
        {{7, 0}, 1000},
        {{1LL << 62, 1LL << 62}, 1000},
        {{1LL << 61, 1LL << 62}, 500},
    };
    for (const auto& [work, position] : cases)
        EXPECT_EQ(TOcompearer::ProgressPosition(work.first, work.second), position)
            << work.first << " of " << work.second;
    EXPECT_EQ(panel.ProgressBar1->maximum(), TOcompearer::ProgressSteps);
}

} // namespace
} // namespace parvex
