#include "_compearer/panel/ocompearer.h"
#include "main/application.h"
#include "main_test_support.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTreeWidget>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>

namespace parvex::test {
namespace {

class SearchTest : public TMainWindowTest {
protected:
    SearchTest() {
        for (const char* path : {"one/Same.txt", "two/Same.txt"})
            Touch(tree.File(path, "hello"));
        for (const char* path : {"b/zeta.bin", "a/zeta.bin"})
            Touch(tree.File(path, "zz"));
        Touch(tree.File("a/single.txt", "alone"));
        window.Edit_root->setText(QString::fromStdString("  " + tree.Path("") + "  "));
    }
    static void Touch(const std::string& path) {
        const struct timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
        ::utimensat(AT_FDCWD, path.c_str(), times, 0);
    }
    /// Runs `act` inside the search, the first time the engine asks about a folder.
    void DuringSearch(std::function<void()> act) {
        TCompearerCore& core = window.Ocompearer1->Core();
        auto original = core.OnCheckFolder;
        core.OnCheckFolder = [original, act, done = false](const std::string& path,
                                                           bool& allowed) mutable {
            original(path, allowed);
            if (!std::exchange(done, true))
                act();
        };
    }
    QString Root() const { return QString::fromStdString(tree.Path("")); }

    TTempTree tree;
};

TEST_F(SearchTest, StartNormalizesTheFolderShowsProgressAndEndsWithASortedTree) {
    QString statusDuring;
    std::map<std::string, bool> statesDuring;
    DuringSearch([&] {
        statusDuring = window.StatusPanel2->text();
        statesDuring = CommandStates();
    });
    window.N_Startsearch->trigger();

    EXPECT_EQ(window.Edit_root->text(), Root());
    EXPECT_EQ(statusDuring, QStringLiteral("Searh in process..."));
    EXPECT_FALSE(statesDuring["N_Startsearch"]);
    EXPECT_TRUE(statesDuring["N_Breaksearch"]);
    EXPECT_FALSE(statesDuring["Edit_root"]);
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process is complete"));
    EXPECT_EQ(TreeTexts(),
              (QStringList{QStringLiteral("Same.txt"), "  " + Root() + "one/Same.txt",
                           "  " + Root() + "two/Same.txt", QStringLiteral("zeta.bin"),
                           "  " + Root() + "a/zeta.bin", "  " + Root() + "b/zeta.bin"}));
    EXPECT_FALSE(window.TV1->topLevelItem(0)->isExpanded());
    EXPECT_EQ(window.TV1->topLevelItem(0)->child(0)->data(0, Qt::UserRole).toByteArray(),
              QByteArray::fromStdString(tree.Path("one/Same.txt")));
    EXPECT_TRUE(window.TV1->updatesEnabled());
    EXPECT_TRUE(modals.Shown.empty());
    EXPECT_TRUE(CommandStates()["N_Startsearch"]);
}

TEST_F(SearchTest, SearchFindingNothingSaysSo) {
    window.Edit_root->setText(Root() + QStringLiteral("a"));
    window.Ocompearer1->btn_start->click();
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Empty search result"));
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("msg: No identical files fond")});
}

TEST_F(SearchTest, StopConfirmedInterruptsAndAnEmptyResultIsStillReported) {
    DuringSearch([&] { window.Ocompearer1->Btn_stop->click(); });
    window.Ocompearer1->btn_start->click();
    EXPECT_EQ(sure->Questions, std::vector<QString>{QStringLiteral("Break search porcess?")});
    EXPECT_EQ(window.TV1->topLevelItemCount(), 0);
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Empty search result"));
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("msg: No identical files fond")});
}

TEST_F(SearchTest, StopDeclinedLetsTheSearchRunOn) {
    sure->Answer = false;
    DuringSearch([&] { window.N_Breaksearch->trigger(); });
    window.Ocompearer1btn_startClick();
    EXPECT_EQ(sure->Questions, std::vector<QString>{QStringLiteral("Break search porcess?")});
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process is complete"));
    EXPECT_EQ(window.TV1->topLevelItemCount(), 2);
}

TEST_F(SearchTest, StatusChangeDuringASearchNeverEnablesStartOrTheInputs) {
    std::map<std::string, bool> states;
    DuringSearch([&] {
        window.Edit_root->setText(QStringLiteral("/elsewhere/"));
        states = CommandStates();
        window.Ocompearer1btn_startClick(); // a second search must not begin
    });
    window.Ocompearer1btn_startClick();
    EXPECT_FALSE(states["N_Startsearch"]);
    EXPECT_FALSE(states["Edit_root"]);
    EXPECT_FALSE(states["TB_search_keys"]);
    EXPECT_EQ(window.TV1->topLevelItemCount(), 2);
    EXPECT_TRUE(CommandStates()["N_Startsearch"]);
}

// Regression: a search ended by an error left the tree suspended and every command disabled.
TEST_F(SearchTest, ErrorEndsTheSearchWithTheTreeDrawnSortedAndCommandsEnabled) {
    TCompearerCore& core = window.Ocompearer1->Core();
    auto original = core.OnFileFound;
    int groups = 0;
    core.OnFileFound = [&](const std::string& text, bool newGroup) {
        if (newGroup && ++groups == 2)
            throw std::runtime_error("disk on fire");
        original(text, newGroup);
    };
    EXPECT_THROW(window.Ocompearer1btn_startClick(), std::runtime_error);
    EXPECT_TRUE(window.TV1->updatesEnabled());
    ASSERT_EQ(window.TV1->topLevelItemCount(), 1);
    const QTreeWidgetItem* group = window.TV1->topLevelItem(0);
    ASSERT_EQ(group->childCount(), 2);
    EXPECT_LT(group->child(0)->text(0), group->child(1)->text(0));
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process has been interrupted"));
    EXPECT_TRUE(CommandStates()["N_Startsearch"]);
    EXPECT_TRUE(window.Edit_root->isEnabled());
    EXPECT_TRUE(window.Ocompearer1->btn_start->isEnabled());
    EXPECT_TRUE(modals.Shown.empty());
}

TEST_F(SearchTest, ErrorEscapingAClickIsShownByTheApplicationAndTheLoopGoesOn) {
    auto* application = static_cast<TParvexApplication*>(QCoreApplication::instance());
    std::vector<QString> shown;
    const auto previous = application->ShowError;
    application->ShowError = [&](const QString& message) { shown.push_back(message); };
    window.Ocompearer1->Core().OnCheckFolder = [](const std::string&, bool&) {
        throw std::runtime_error("cannot read the folder");
    };
    QTest::mouseClick(window.Ocompearer1->btn_start, Qt::LeftButton);
    application->ShowError = previous;
    EXPECT_EQ(shown, std::vector<QString>{QStringLiteral("cannot read the folder")});
    EXPECT_TRUE(CommandStates()["N_Startsearch"]);
}

TEST_F(SearchTest, ExitConfirmedDuringASearchStopsItAndClosesAfterItHasUnwound) {
    bool visibleAfterSearch = false;
    DuringSearch([&] { window.close(); });
    QTimer::singleShot(0, &window, [&] {
        window.Ocompearer1btn_startClick();
        visibleAfterSearch = window.isVisible();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 5000));
    EXPECT_TRUE(visibleAfterSearch) << "the window closed while the search was still running";
    EXPECT_EQ(sure->Questions, std::vector<QString>{QStringLiteral("Exit?")});
    EXPECT_TRUE(window.Ocompearer1->Core().StopRequested);
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process has been interrupted"));
    EXPECT_TRUE(modals.Shown.empty()) << "a closing program reported an empty result";
}

/// Counts the paint events that reach a widget.
class TPaintCounter : public QObject {
public:
    explicit TPaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++Count;
        return false;
    }
    int Count = 0;
};

TEST_F(SearchTest, WindowRepaintsWhileTheSearchRuns) {
    TCompearerCore& core = window.Ocompearer1->Core();
    // Every folder takes a while, so the search lasts long enough for the engine's polls.
    core.OnCheckFolder = [check = core.OnCheckFolder](const std::string& path, bool& allowed) {
        check(path, allowed);
        QThread::msleep(40);
    };
    QCoreApplication::processEvents();
    TPaintCounter paints(window.StatusPanel2);
    int paintsDuringSearch = -1;
    core.OnSearchComplete = [&, complete = core.OnSearchComplete] {
        paintsDuringSearch = paints.Count;
        complete();
    };
    window.Ocompearer1btn_startClick();
    EXPECT_GT(paintsDuringSearch, 0) << "the status bar was not redrawn during the search";
}

TEST_F(SearchTest, ExitDeclinedDuringASearchLetsItRunOn) {
    sure->Answer = false;
    DuringSearch([&] { window.close(); });
    window.Ocompearer1btn_startClick();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process is complete"));
}

TEST_F(SearchTest, HundredThousandGroupsAppearSortedWithinTwoSeconds) {
    QElapsedTimer clock;
    clock.start();
    window.SearchStarted();
    for (int g = 0; g < 100000; ++g) {
        const std::string name = "file_" + std::to_string((g * 7919L) % 100000) + ".dat";
        window.FoundHandler(name, true);
        for (int f = 3; f > 0; --f)
            window.FoundHandler("/data/folder_" + std::to_string(f) + "/" + name, false);
    }
    const qint64 fillMs = clock.restart();
    window.SearchCompleted();
    QCoreApplication::processEvents();
    window.TV1->viewport()->repaint();
    const qint64 finishMs = clock.elapsed();
    std::printf("100000 groups, 300000 files: filled in %lld ms, sorted and shown in %lld ms\n",
                static_cast<long long>(fillMs), static_cast<long long>(finishMs));
    RecordProperty("finish_ms", static_cast<int>(finishMs));
    EXPECT_LT(finishMs, 2000);
    EXPECT_EQ(window.TV1->topLevelItem(0)->text(0), QStringLiteral("file_0.dat"));
    EXPECT_EQ(window.TV1->topLevelItem(0)->child(0)->text(0),
              QStringLiteral("/data/folder_1/file_0.dat"));
    EXPECT_EQ(window.TV1->topLevelItem(1)->text(0), QStringLiteral("file_1.dat"));
}

} // namespace
} // namespace parvex::test
