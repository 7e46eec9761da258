#include "_compearer/panel/ocompearer.h"
#include "dialogs/find_dialog.h"
#include "dialogs/msg.h"
#include "dialogs/settings_user.h"
#include "main/application.h"
#include "main/result_model.h"
#include "main/skipped_list.h"
#include "main/status_field.h"
#include "main_test_support.h"
#include "support/qt/modal_driver.h"

#include <QAction>
#include <QApplication>
#include <QCollator>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTreeWidget>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvex::test {
namespace {

using testing::KeyTarget;
using testing::WhenModalOpens;

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
    EXPECT_FALSE(window.TV1->isExpanded(Node(0)));
    EXPECT_EQ(Node(0, 0).data(TResultModel::PathRole).toByteArray(),
              QByteArray::fromStdString(tree.Path("one/Same.txt")));
    EXPECT_TRUE(window.TV1->updatesEnabled());
    EXPECT_TRUE(modals.Shown.empty());
    EXPECT_TRUE(CommandStates()["N_Startsearch"]);
}

TEST_F(SearchTest, OtherNamesOfAFileShowInItsTooltipAndItsSpaceCountsWhenEveryNameIsFound) {
    ASSERT_EQ(::link(tree.Path("one/Same.txt").c_str(), tree.Path("b/Same.txt").c_str()), 0);
    window.Ocompearer1->Core().SetKeys({false, true, true, true});
    window.N_Startsearch->trigger();
    QModelIndex same;
    for (int g = 0; g < GroupCount(); ++g) {
        if (Node(g).data().toString() == QStringLiteral("Same.txt"))
            same = Node(g);
    }
    ASSERT_TRUE(same.isValid()) << TreeTexts().join(QLatin1Char('|')).toStdString();
    ASSERT_EQ(window.ResultModel->rowCount(same), 2) << "a second name is no row of its own";
    QStringList tips;
    for (int f = 0; f < 2; ++f)
        tips << window.ResultModel->index(f, 0, same).data(Qt::ToolTipRole).toString();
    EXPECT_TRUE(tips.join(QLatin1Char('|')).contains(QStringLiteral("\nAlso linked as: ")))
        << tips.join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(same.siblingAtColumn(TResultModel::ColumnWasted).data().toString(),
              QStringLiteral("5 bytes"));
}

TEST_F(SearchTest, SizeLimitsOfTheSettingsReachTheEngine) {
    window.D_settings_user->WriteSizeLimit(TSettingsStore::MinSizeAttribute, 3);
    window.N_Startsearch->trigger();
    EXPECT_EQ(TreeTexts(), (QStringList{QStringLiteral("Same.txt"), "  " + Root() + "one/Same.txt",
                                        "  " + Root() + "two/Same.txt"}));
    window.D_settings_user->WriteSizeLimit(TSettingsStore::MinSizeAttribute, std::nullopt);
    window.D_settings_user->WriteSizeLimit(TSettingsStore::MaxSizeAttribute, 4);
    window.N_Startsearch->trigger();
    EXPECT_EQ(TreeTexts(), (QStringList{QStringLiteral("zeta.bin"), "  " + Root() + "a/zeta.bin",
                                        "  " + Root() + "b/zeta.bin"}));
}

TEST_F(SearchTest, ReadingThreadsOfTheSettingsReachTheEngine) {
    window.D_settings_user->WriteReaders(3);
    window.N_Startsearch->trigger();
    EXPECT_EQ(window.Ocompearer1->Core().Threads, 3);
    EXPECT_EQ(GroupCount(), 2);
    window.D_settings_user->WriteReaders(0);
    window.N_Startsearch->trigger();
    EXPECT_EQ(window.Ocompearer1->Core().Threads, 0) << "no attribute: the engine chooses";
    EXPECT_EQ(GroupCount(), 2);
}

TEST_F(SearchTest, SearchFindingNothingSaysSo) {
    window.Edit_root->setText(Root() + QStringLiteral("a"));
    window.Ocompearer1->btn_start->click();
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Empty search result"));
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("msg: No identical files fond")});
}

TEST_F(SearchTest, AnEmptiedMaskFieldSearchesEveryFile) {
    window.Edit_ft->setFocus();
    QTest::keyClick(window.Edit_ft, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(window.Edit_ft, Qt::Key_Delete);
    QTest::keyClicks(window.Edit_ft, QStringLiteral("  "));
    window.N_Startsearch->trigger();
    EXPECT_EQ(GroupCount(), 2) << "a blank mask field found " << GroupCount() << " groups";
    EXPECT_EQ(window.Ocompearer1->Core().SearchSpec, tree.Path("") + "*.*");
}

TEST_F(SearchTest, StopConfirmedInterruptsAndAnEmptyResultIsStillReported) {
    DuringSearch([&] { window.Ocompearer1->Btn_stop->click(); });
    window.Ocompearer1->btn_start->click();
    EXPECT_EQ(sure->Questions, std::vector<QString>{QStringLiteral("Break search porcess?")});
    EXPECT_EQ(GroupCount(), 0);
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Empty search result"));
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("msg: No identical files fond")});
}

TEST_F(SearchTest, StopDeclinedLetsTheSearchRunOn) {
    sure->Answer = false;
    DuringSearch([&] { window.N_Breaksearch->trigger(); });
    window.Ocompearer1btn_startClick();
    EXPECT_EQ(sure->Questions, std::vector<QString>{QStringLiteral("Break search porcess?")});
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process is complete"));
    EXPECT_EQ(GroupCount(), 2);
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
    EXPECT_EQ(GroupCount(), 2);
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
    ASSERT_EQ(GroupCount(), 1);
    ASSERT_EQ(FileCount(0), 2);
    EXPECT_LT(Node(0, 0).data().toString(), Node(0, 1).data().toString());
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
    // A clock that moves a whole poll interval on every reading: the engine polls at every
    // step, however fast this machine walks the tree.
    core.Now = [now = TCompearerCore::TClock::time_point{}]() mutable {
        return now += TCompearerCore::PollInterval;
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

TEST_F(SearchTest, ManyGroupsAppearSortedAndComplete) {
    constexpr int kGroups = 10000;
    window.Edit_root->setText(QStringLiteral("/data/"));
    window.SearchStarted();
    for (int g = 0; g < kGroups; ++g) {
        // Scrambled, so the order found is not the order shown.
        const std::string name = "file_" + std::to_string((g * 7919L) % kGroups) + ".dat";
        window.FoundHandler(name, true);
        for (int f = 3; f > 0; --f)
            window.FoundHandler("/data/folder_" + std::to_string(f) + "/" + name, false);
    }
    window.SearchCompleted();
    // The view takes a large result in slices; End in the tree, pressed as a user does,
    // brings in the rest.
    ASSERT_TRUE(testing::ActivateAgain(window));
    window.TV1->setFocus();
    for (int press = 0; press < 20 && GroupCount() < kGroups; ++press)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_End);
    ASSERT_EQ(GroupCount(), kGroups);
    const QCollator collator{QLocale()};
    for (int g = 0; g < kGroups; ++g) {
        const QString group = Node(g).data().toString();
        if (g > 0) {
            ASSERT_LE(collator.compare(Node(g - 1).data().toString(), group), 0)
                << "group " << g << ": " << group.toStdString();
        }
        ASSERT_EQ(FileCount(g), 3) << group.toStdString();
        for (int f = 0; f < 3; ++f)
            ASSERT_EQ(Node(g, f).data().toString(),
                      QStringLiteral("/data/folder_%1/").arg(f + 1) + group);
    }
    EXPECT_EQ(Node(0).data().toString(), QStringLiteral("file_0.dat"));
    EXPECT_EQ(Node(1).data().toString(), QStringLiteral("file_1.dat"));
}

// A start folder that no search could read is refused before anything changes.
class StartFolderTest : public SearchTest {
protected:
    StartFolderTest() {
        window.N_Startsearch->trigger();
        before = TreeTexts();
        modals.Shown.clear();
    }
    // Types a start folder and gives the command "Start search": the message shown must be the
    // only thing that happens; the fields, the tree and the status stay as they were.
    void ExpectRefused(const QString& folder, const QString& message) {
        window.Edit_root->setText(folder);
        window.N_Startsearch->trigger();
        EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("msg: ") + message});
        EXPECT_EQ(window.Edit_root->text(), folder) << "the field keeps what was typed";
        EXPECT_EQ(TreeTexts(), before);
        EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search conditions are changed"));
        EXPECT_TRUE(CommandStates()["N_Startsearch"]);
        EXPECT_TRUE(CommandStates()["Edit_root"]);
    }
    static QString CannotBeRead(const QString& folder, int error) {
        return QStringLiteral("Start folder cannot be read: %1: %2")
            .arg(folder, QString::fromLocal8Bit(std::strerror(error)));
    }

    QStringList before;
};

TEST_F(StartFolderTest, AMissingStartFolderIsNamedAndNoSearchRuns) {
    const QString missing = Root() + QStringLiteral("missing");
    ExpectRefused(missing, QStringLiteral("Start folder not found: ") + missing + "/");
}

TEST_F(StartFolderTest, AFileIsNoStartFolder) {
    const QString file = Root() + QStringLiteral("a/single.txt");
    ExpectRefused(file, QStringLiteral("Start folder not found: ") + file + "/");
}

TEST_F(StartFolderTest, AStartFolderThatCannotBeLookedUpSaysWhy) {
    tree.Link("loop", tree.Path("loop"));
    const QString loop = Root() + QStringLiteral("loop/");
    ExpectRefused(loop, CannotBeRead(loop, ELOOP));
}

TEST_F(StartFolderTest, AStartFolderThatCannotBeListedSaysWhy) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root lists every folder";
    const QString closed = QString::fromStdString(tree.Folder("closed"));
    ASSERT_EQ(::chmod(tree.Path("closed").c_str(), 0), 0);
    ExpectRefused(closed, CannotBeRead(closed, EACCES));
}

// What a search could not read is counted in a field of the status bar of its own. A piece of
// the mask that names a missing folder is skipped by the engine whoever runs the test.
class NotReadTest : public SearchTest {
protected:
    void SearchWithMask(const QString& mask) {
        window.Edit_ft->setText(mask);
        window.N_Startsearch->trigger();
    }
    QString Gone() const { return Root() + QStringLiteral("gone/"); }
};

TEST_F(NotReadTest, NothingSkippedShowsNoField) {
    SearchWithMask(QStringLiteral("*.txt"));
    EXPECT_TRUE(window.StatusNotRead->isHidden());
}

TEST_F(NotReadTest, SkippedEntriesAreCountedAndADoubleClickListsThemWithTheirReasons) {
    SearchWithMask(QStringLiteral("*.txt;gone/*.txt;gone/*.bin"));
    ASSERT_TRUE(window.StatusNotRead->isVisible());
    EXPECT_EQ(window.StatusNotRead->text(), QStringLiteral("2 not read"));
    EXPECT_EQ(window.StatusPanel2->text(), QStringLiteral("Search process is complete"));

    QStringList rows;
    QString summary;
    const QWidget* parent = nullptr;
    bool closedByEscape = false;
    WhenModalOpens([&](QDialog& dialog) {
        auto& list = dynamic_cast<TSkippedList&>(dialog);
        parent = list.parentWidget();
        summary = list.Label_summary->text();
        for (int i = 0; i < list.LV_entries->topLevelItemCount(); ++i)
            rows << list.LV_entries->topLevelItem(i)->text(0) + QStringLiteral(" | ") +
                        list.LV_entries->topLevelItem(i)->text(1);
        QTest::keyClick(&KeyTarget(dialog), Qt::Key_Escape);
        closedByEscape = !dialog.isVisible();
    });
    QTest::mouseDClick(window.StatusNotRead, Qt::LeftButton);

    EXPECT_EQ(parent, &window);
    const QString reason = QString::fromLocal8Bit(std::strerror(ENOENT));
    // A later piece goes on from the folder of the one before it.
    EXPECT_EQ(rows, (QStringList{Gone() + " | " + reason, Gone() + "gone/ | " + reason}));
    EXPECT_EQ(summary, QStringLiteral("Files and folders not read by the last search: 2"));
    EXPECT_TRUE(closedByEscape);
}

TEST_F(NotReadTest, ANewSearchStartsTheCountAgain) {
    SearchWithMask(QStringLiteral("*.txt;gone/*.txt"));
    ASSERT_EQ(window.StatusNotRead->text(), QStringLiteral("1 not read"));
    SearchWithMask(QStringLiteral("*.txt"));
    EXPECT_TRUE(window.StatusNotRead->isHidden());
}

TEST_F(NotReadTest, TheListHoldsTheFirstThousandAndTheFieldCountsThemAll) {
    QString mask = QStringLiteral("*.txt");
    for (int i = 0; i < 1001; ++i)
        mask += QStringLiteral(";gone/*.x");
    SearchWithMask(mask);
    EXPECT_EQ(window.StatusNotRead->text(), QLocale().toString(1001) + QStringLiteral(" not read"));
    int rows = 0;
    QString summary;
    WhenModalOpens([&](QDialog& dialog) {
        auto& list = dynamic_cast<TSkippedList&>(dialog);
        rows = list.LV_entries->topLevelItemCount();
        summary = list.Label_summary->text();
        QTest::mouseClick(list.CloseBtn, Qt::LeftButton);
    });
    QTest::mouseDClick(window.StatusNotRead, Qt::LeftButton);
    EXPECT_EQ(rows, 1000);
    EXPECT_EQ(summary, QStringLiteral("Files and folders not read by the last search: %1 (the "
                                      "first %2 are listed)")
                           .arg(QLocale().toString(1001), QLocale().toString(1000)));
}

class SearchInFoundTest : public TMainWindowTest {
protected:
    SearchInFoundTest() {
        ReportResult({
            {"c.Txt", {"/d5/c.Txt", "/d4/c.Txt"}},
            {"a.txt", {"/d1/a.txt", "/d2/a.txt"}},
            {"b.doc", {"/d1/b.doc", "/d3/b.doc"}},
        });
    }
    /// Presses Find Next with the text and direction, returns what the search selected or said.
    QString Find(const QString& text, bool down) {
        window.FindDialog1->Edit_text->setText(text);
        (down ? window.FindDialog1->RB_down : window.FindDialog1->RB_up)->setChecked(true);
        const std::size_t before = modals.Shown.size();
        window.FindDialog1->Btn_find_next->click();
        if (modals.Shown.size() > before)
            return modals.Shown.back();
        const QModelIndex node = window.SelectedNode();
        return node.isValid() ? node.data().toString() : QStringLiteral("(none)");
    }
    QStringList FindRepeatedly(const QString& text, bool down, int times) {
        QStringList seen;
        for (int i = 0; i < times; ++i)
            seen << Find(text, down);
        return seen;
    }
};

const QString kNoMatch = QStringLiteral("msg: No mathces found");

// Notes the parent a widget has at the moment it is shown.
class TParentWhenShown : public QObject {
public:
    explicit TParentWhenShown(QWidget& watched) { watched.installEventFilter(this); }
    const QWidget* Parent = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            Parent = static_cast<QWidget*>(watched)->parentWidget();
        return false;
    }
};

TEST_F(SearchInFoundTest, TheEndOfTheSearchIsSaidOverTheOpenFindDialog) {
    window.TB_search_in_found->trigger();
    ASSERT_TRUE(window.FindDialog1->isVisible());
    const TParentWhenShown message(*window.Dialogs.Dmsg);
    EXPECT_EQ(Find(QStringLiteral("nowhere"), true), kNoMatch);
    EXPECT_EQ(message.Parent, window.FindDialog1);
    EXPECT_EQ(static_cast<QWidget*>(window.Dialogs.Dmsg)->parentWidget(), &window)
        << "the shared message goes back to the main window";
}

TEST_F(SearchInFoundTest, DownVisitsEveryMatchOnceThenReportsTheEndTwiceThenUpGoesBack) {
    EXPECT_EQ(FindRepeatedly(QStringLiteral("txt"), true, 8),
              (QStringList{QStringLiteral("a.txt"), QStringLiteral("/d1/a.txt"),
                           QStringLiteral("/d2/a.txt"), QStringLiteral("c.Txt"),
                           QStringLiteral("/d4/c.Txt"), QStringLiteral("/d5/c.Txt"), kNoMatch,
                           kNoMatch}));
    EXPECT_EQ(FindRepeatedly(QStringLiteral("txt"), false, 2),
              (QStringList{QStringLiteral("/d4/c.Txt"), QStringLiteral("c.Txt")}));
}

TEST_F(SearchInFoundTest, UpFirstExaminesOnlyTheFirstNodeThenDownStartsAtTheTop) {
    EXPECT_EQ(Find(QStringLiteral("b.doc"), false), kNoMatch);
    EXPECT_FALSE(window.FindPosition.isValid());
    EXPECT_EQ(Find(QStringLiteral("b.doc"), true), QStringLiteral("b.doc"));
    EXPECT_EQ(Find(QStringLiteral("a.txt"), false), QStringLiteral("/d2/a.txt"));
}

TEST_F(SearchInFoundTest, EmptyOrBlankPatternMatchesNothing) {
    EXPECT_EQ(Find(QString(), true), kNoMatch);
    EXPECT_EQ(Find(QStringLiteral("   \t"), true), kNoMatch);
}

TEST_F(SearchInFoundTest, LowerCasePatternWithBlanksFindsUpperCaseTextInACollapsedGroup) {
    EXPECT_EQ(Find(QStringLiteral("  /D4/C.TXT "), true), QStringLiteral("/d4/c.Txt"));
    EXPECT_TRUE(window.TV1->isExpanded(Node(2))) << "the found file's group stays shut";
    EXPECT_EQ(Find(QStringLiteral(" c.txt"), true), QStringLiteral("/d5/c.Txt"));
}

TEST_F(SearchInFoundTest, AfterAMatchTheNextFindGoesOnFromItNotFromTheSelection) {
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), QStringLiteral("/d1/a.txt"));
    Select(2, 1);
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), QStringLiteral("/d1/b.doc"));
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), kNoMatch);
    // A miss with nothing selected sends the next search back to the first node.
    window.TV1->setCurrentIndex(QModelIndex());
    window.TV1->clearSelection();
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), kNoMatch);
    EXPECT_EQ(Find(QStringLiteral("/d1/"), true), QStringLiteral("/d1/a.txt"));
}

TEST_F(SearchInFoundTest, NewSearchResultForgetsThePosition) {
    EXPECT_EQ(Find(QStringLiteral("/d2/"), true), QStringLiteral("/d2/a.txt"));
    ReportResult({{"z", {"/d2/z", "/d9/z"}}});
    EXPECT_FALSE(window.FindPosition.isValid());
    EXPECT_EQ(Find(QStringLiteral("/d2/"), true), QStringLiteral("/d2/z"));
}

TEST_F(SearchInFoundTest, ToolbarAndMenuShowTheDialogOnlyWithResults) {
    window.N_Searchinfound->trigger();
    EXPECT_TRUE(window.FindDialog1->isVisible());
    window.FindDialog1->hide();
    ReportResult({});
    window.TB_search_in_found->trigger();
    EXPECT_FALSE(window.FindDialog1->isVisible());
}

TEST_F(SearchInFoundTest, AfterNoMatchEnterSearchesAgainInsteadOfOpeningTheSelectedFile) {
    std::vector<QByteArray> opened;
    window.OpenFile = [&opened](const QByteArray& path) {
        opened.push_back(path);
        return true;
    };
    window.TV1->expandAll();
    Select(1, 0);
    window.TB_search_in_found->trigger();
    const auto findDialogHasTheKeys = [&] {
        return QApplication::activeWindow() == window.FindDialog1 &&
               QApplication::focusWidget() == window.FindDialog1->Edit_text;
    };
    ASSERT_TRUE(QTest::qWaitFor(findDialogHasTheKeys, 5000));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("nowhere"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(modals.Shown, std::vector<QString>{kNoMatch});
    ASSERT_TRUE(QTest::qWaitFor(findDialogHasTheKeys, 5000));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(modals.Shown, (std::vector<QString>{kNoMatch, kNoMatch}));
    EXPECT_TRUE(opened.empty());
    EXPECT_TRUE(window.FindDialog1->isVisible());
}

TEST_F(SearchInFoundTest, TheFindDialogNeverCoversTheMatchItSelected) {
    window.TV1->expandAll();
    window.TB_search_in_found->trigger();
    for (int i = 0; i < 6; ++i) {
        ASSERT_NE(Find(QStringLiteral("txt"), true), kNoMatch);
        QRect row = window.TV1->visualRect(window.SelectedNode());
        ASSERT_FALSE(row.isEmpty());
        row.setLeft(0);
        row.setWidth(window.TV1->viewport()->width());
        const QRect onScreen(window.TV1->viewport()->mapToGlobal(row.topLeft()), row.size());
        EXPECT_FALSE(window.FindDialog1->frameGeometry().intersects(onScreen))
            << window.SelectedNode().data().toString().toStdString();
    }
}

// Regression: the search once started from a node that a file command had removed.
class SearchAfterRemovalTest : public TMainWindowTest {};

TEST_F(SearchAfterRemovalTest, RemovedPositionMakesTheNextSearchStartAtTheFirstNode) {
    TTempTree files;
    const std::string first = files.File("one/x.bin", "x");
    const std::string second = files.File("two/x.bin", "x");
    ReportResult({{"x.bin", {first, second}}});
    window.FindDialog1->Edit_text->setText(QStringLiteral("/two/"));
    window.FindDialog1Find();
    ASSERT_EQ(window.SelectedNode().data().toString().toStdString(), second);
    window.ChooseMoveDestination = [&](const QString&, const QString&, const QString&) {
        return QString::fromStdString(files.Path("moved.bin"));
    };
    window.TB_moveClick();
    ASSERT_EQ(FileCount(0), 1);
    EXPECT_FALSE(window.FindPosition.isValid());
    window.FindDialog1->Edit_text->setText(QStringLiteral("x.bin"));
    window.FindDialog1Find();
    EXPECT_EQ(window.SelectedNode(), Node(0));
}

} // namespace
} // namespace parvex::test
