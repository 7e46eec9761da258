// Marks in the result window and the bulk commands on real trees, with the trash and the actions
// log in a temporary home.
#include "_compearer/panel/ocompearer.h"
#include "dialogs/folder_list_edit.h"
#include "dialogs/settings_user.h"
#include "main/bulk_report.h"
#include "main/result_model.h"
#include "main/status_field.h"
#include "main_test_support.h"
#include "support/qt/modal_driver.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QUrl>
#include <algorithm>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex::test {
namespace {

using testing::ActivateAgain;

class MarksTest : public TMainWindowTest {
protected:
    MarksTest() : home(homeFolder.Root()) {
        window.Ocompearer1->Core().SetKeys({false, true, false, true});
    }

    // `groups` groups of `copies` files each, "gN/cK.txt", reported as a search finds them.
    void ReportCopies(int groups, int copies) {
        std::vector<TGroupRows> rows;
        for (int g = 0; g < groups; ++g) {
            TGroupRows group{"c.txt", {}};
            for (int c = 0; c < copies; ++c)
                group.Files.push_back(
                    tree.File("g" + std::to_string(g) + "/c" + std::to_string(c) + ".txt",
                              "content " + std::to_string(g)));
            rows.push_back(group);
        }
        ReportResult(rows);
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_TRUE(ActivateAgain(window));
        QTest::keyClick(window.TV1, static_cast<Qt::Key>(key), modifiers);
    }
    bool Marked(int group, int file) const {
        return Node(group, file).data(Qt::CheckStateRole).value<Qt::CheckState>() == Qt::Checked;
    }
    std::string LogText() const {
        return TTempTree::ReadFile(homeFolder.Path(".local/share/parvex/actions.log"));
    }
    static std::size_t Lines(const std::string& text) {
        return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    }
    QString Report() const {
        return window.BulkReport == nullptr
                   ? QString()
                   : window.BulkReport->Summary() + '\n' + window.BulkReport->Details();
    }

    TTempTree homeFolder;
    TTrashHome home;
    TTempTree tree;
};

TEST_F(MarksTest, CtrlShiftCCopiesEveryMarkedFileAlsoInGroupsTheFilterHides) {
    ReportCopies(3, 2);
    QGuiApplication::clipboard()->clear();
    Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData* nothing = QGuiApplication::clipboard()->mimeData();
    EXPECT_TRUE(nothing == nullptr || !nothing->hasUrls()) << "nothing is marked";
    Press(Qt::Key_4, Qt::ControlModifier); // all but the first found
    window.FilterEdit->setText(QStringLiteral("/g1/"));
    Press(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    QList<QUrl> expected;
    for (int g = 0; g < 3; ++g)
        expected << QUrl::fromLocalFile(
            QString::fromStdString(tree.Path("g" + std::to_string(g) + "/c1.txt")));
    EXPECT_EQ(copied->urls(), expected);
    EXPECT_EQ(copied->text().count(QLatin1Char('\n')), 2) << copied->text().toStdString();
}

TEST_F(MarksTest, OneRuleOneCommandAndOneQuestionClearHundredsOfGroups) {
    ReportCopies(300, 2);
    Press(Qt::Key_4, Qt::ControlModifier); // all but the first found
    EXPECT_EQ(window.StatusMarks->text().section(',', 0, 0), QStringLiteral("300 marked"));
    Press(Qt::Key_F8, Qt::ShiftModifier);

    ASSERT_EQ(sure->Questions.size(), 1u);
    EXPECT_TRUE(sure->NoWasDefault[0]);
    EXPECT_TRUE(sure->Questions[0].startsWith(QStringLiteral("Move 300 marked files")))
        << sure->Questions[0].toStdString();
    EXPECT_TRUE(sure->Questions[0].contains(QStringLiteral("None of them is hidden")));
    for (int g = 0; g < 300; ++g) {
        const std::string folder = "g" + std::to_string(g) + "/";
        ASSERT_TRUE(TTempTree::Exists(tree.Path(folder + "c0.txt"))) << folder;
        ASSERT_FALSE(TTempTree::Exists(tree.Path(folder + "c1.txt"))) << folder;
    }
    EXPECT_EQ(window.ResultModel->Result().FileCount(), 300u);
    EXPECT_EQ(window.ResultModel->Result().MarkedCount(), 0u);
    EXPECT_FALSE(window.StatusMarks->isVisible());
    EXPECT_TRUE(Report().startsWith(QStringLiteral("Moving the marked files to the trash: 300 "
                                                   "done, 0 skipped")))
        << Report().toStdString();
    const std::string log = LogText();
    EXPECT_EQ(Lines(log), 300u);
    // The target is the entry the file became in the trash.
    const std::size_t line = log.find("\ttrash\t" + tree.Path("g0/c1.txt") + "\t");
    ASSERT_NE(line, std::string::npos) << log;
    EXPECT_NE(log.substr(line, log.find('\n', line) - line).find("/Trash/files/c1"),
              std::string::npos)
        << log;
}

TEST_F(MarksTest, AFileChangedOrReplacedAfterTheSearchIsSkipped) {
    ReportCopies(3, 2);
    Press(Qt::Key_4, Qt::ControlModifier);
    // Group 0: grown. Group 1: other bytes of the same size, its time as found.
    { std::ofstream(tree.Path("g0/c1.txt"), std::ios::app) << "more"; }
    struct stat before {};
    ASSERT_EQ(::stat(tree.Path("g1/c1.txt").c_str(), &before), 0);
    {
        std::fstream same(tree.Path("g1/c1.txt"), std::ios::in | std::ios::out);
        same << "CONTENT";
    }
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, tree.Path("g1/c1.txt").c_str(), times, 0), 0);
    Press(Qt::Key_F8, Qt::ShiftModifier);

    EXPECT_TRUE(TTempTree::Exists(tree.Path("g0/c1.txt")));
    EXPECT_TRUE(TTempTree::Exists(tree.Path("g1/c1.txt")));
    EXPECT_FALSE(TTempTree::Exists(tree.Path("g2/c1.txt")));
    const QString report = Report();
    EXPECT_TRUE(report.contains(QString::fromStdString(tree.Path("g0/c1.txt")) +
                                QStringLiteral(": changed since the search")))
        << report.toStdString();
    EXPECT_TRUE(report.contains(QString::fromStdString(tree.Path("g1/c1.txt")) +
                                QStringLiteral(": its content no longer equals")))
        << report.toStdString();
    EXPECT_EQ(window.ResultModel->Result().FileCount(), 5u);
    EXPECT_EQ(Lines(LogText()), 1u);
}

TEST_F(MarksTest, AHardLinkAcrossFileSystemsIsRefused) {
    TTempTree other("/dev/shm");
    const std::string kept = other.File("a/kept.txt", "same");
    const std::string duplicate = tree.File("b/duplicate.txt", "same");
    if (TTempTree::SameFileSystem(kept, duplicate))
        GTEST_SKIP() << "/dev/shm is on the file system of the temporary folder here";
    struct stat before {};
    ASSERT_EQ(::stat(duplicate.c_str(), &before), 0);
    ReportResult({{"kept.txt", {kept, duplicate}}});
    window.TV1->expandAll();
    const bool keptFirst = Node(0, 0).data(TResultModel::PathRole).toByteArray() == kept.c_str();
    Select(0, keptFirst ? 1 : 0);
    Press(Qt::Key_Space);
    Press(Qt::Key_F7, Qt::ShiftModifier);

    ASSERT_EQ(sure->Questions.size(), 1u);
    EXPECT_TRUE(TTempTree::Exists(duplicate));
    struct stat after {};
    ASSERT_EQ(::stat(duplicate.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_TRUE(Report().contains(QStringLiteral("another file system"))) << Report().toStdString();
    EXPECT_EQ(window.ResultModel->Result().FileCount(), 2u);
}

TEST_F(MarksTest, StopHalfWayLeavesTheRestUntouchedAndTheTreeTrue) {
    ReportCopies(100, 2);
    Press(Qt::Key_4, Qt::ControlModifier);
    auto slices = std::make_shared<int>(0);
    window.OnBulkSlice = [slices](QProgressDialog& progress) {
        // Stop is pressed after the second slice, while the dialog shows.
        if (++*slices != 2)
            return;
        EXPECT_TRUE(progress.isVisible());
        for (QPushButton* button : progress.findChildren<QPushButton*>()) {
            if (button->text() == QStringLiteral("Stop"))
                QTest::mouseClick(button, Qt::LeftButton);
        }
    };
    Press(Qt::Key_F8, Qt::ShiftModifier);

    std::size_t gone = 0;
    for (int g = 0; g < 100; ++g) {
        const std::string folder = "g" + std::to_string(g) + "/";
        ASSERT_TRUE(TTempTree::Exists(tree.Path(folder + "c0.txt")));
        gone += TTempTree::Exists(tree.Path(folder + "c1.txt")) ? 0 : 1;
    }
    EXPECT_EQ(gone, 16u) << "two slices of eight files";
    // Every row left is a file on disk, and the marks left are the files not reached.
    const TResultData& result = window.ResultModel->Result();
    EXPECT_EQ(result.FileCount(), 200u - gone);
    EXPECT_EQ(result.MarkedCount(), 100u - gone);
    for (std::size_t g = 0; g < result.GroupCount(); ++g)
        for (std::size_t f = 0; f < result.Group(g).Files.size(); ++f)
            EXPECT_TRUE(TTempTree::Exists(result.FilePath(g, f).toStdString()));
    EXPECT_EQ(Lines(LogText()), gone);
    EXPECT_TRUE(Report().contains(QStringLiteral("Stopped"))) << Report().toStdString();
}

TEST_F(MarksTest, ProtectedFoldersAreNeverMarkedNorActedOn) {
    ReportCopies(4, 2);
    window.D_settings_user->LB_protected->AddFolder(QString::fromStdString(tree.Path("g1")));
    Press(Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(window.ResultModel->Result().MarkedCount(), 3u) << "both copies in g1 are protected";
    Press(Qt::Key_I, Qt::ControlModifier);
    EXPECT_EQ(window.ResultModel->Result().MarkedCount(), 3u) << "the first copies are marked";
    // Marked by hand, a protected file still stays.
    Press(Qt::Key_0, Qt::ControlModifier);
    window.TV1->expandAll();
    Select(1, 1);
    Press(Qt::Key_Space);
    ASSERT_TRUE(Marked(1, 1));
    Press(Qt::Key_F8, Qt::ShiftModifier);
    // The question counts only what the command acts on, and names what it skips.
    ASSERT_EQ(sure->Questions.size(), 1u);
    EXPECT_TRUE(sure->Questions[0].startsWith(
        QStringLiteral("Move 0 marked files (0 bytes) to the trash?\n1 marked files under "
                       "protected folders are skipped.")))
        << sure->Questions[0].toStdString();
    EXPECT_TRUE(TTempTree::Exists(tree.Path("g1/c1.txt")));
    EXPECT_TRUE(Report().contains(QStringLiteral("under a protected folder")))
        << Report().toStdString();
}

// The keep items choose as parvex-cli --keep does: times to the nanosecond, and in a group with
// a protected copy that copy stays, whichever copy the rule prefers.
TEST_F(MarksTest, TheKeepItemsChooseAsTheKeepRulesOfParvexCli) {
    const auto file = [this](const std::string& relative, const char* content, timespec time) {
        const std::string path = tree.File(relative, content);
        const timespec times[2] = {time, time};
        EXPECT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
        return path;
    };
    // One second apart by nanoseconds only.
    const std::string older = file("t/older.txt", "same", {1'600'000'000, 100});
    const std::string newer = file("t/newer.txt", "same", {1'600'000'000, 200});
    const std::string safe = file("safe/old.txt", "other", {1'500'000'000, 0});
    const std::string fresh = file("u/fresh.txt", "other", {1'600'000'000, 0});
    window.D_settings_user->LB_protected->AddFolder(QString::fromStdString(tree.Path("safe")));
    ReportResult({{"t.txt", {older, newer}}, {"u.txt", {safe, fresh}}});
    const struct {
        Qt::Key Key;
        std::vector<std::string> Marked;
    } cases[] = {
        {Qt::Key_1, {older, fresh}},
        {Qt::Key_2, {newer, fresh}},
    };
    for (const auto& c : cases) {
        Press(c.Key, Qt::ControlModifier);
        std::vector<std::string> marked;
        for (const QByteArray& path : window.ResultModel->Result().MarkedPaths())
            marked.push_back(path.toStdString());
        std::ranges::sort(marked);
        std::vector<std::string> expected = c.Marked;
        std::ranges::sort(expected);
        EXPECT_EQ(marked, expected) << "Ctrl+" << static_cast<char>(c.Key);
    }
}

TEST_F(MarksTest, NoKeyMarksTheLastCopyAndTheBatchQuestionDefaultsToNo) {
    ReportCopies(1, 2);
    window.TV1->expandAll();
    Select(0, 0);
    Press(Qt::Key_Space);
    EXPECT_TRUE(Marked(0, 0));
    Select(0, 1);
    Press(Qt::Key_Space);
    EXPECT_FALSE(Marked(0, 1));
    EXPECT_EQ(window.StatusPanel2->text(),
              QStringLiteral("The last unmarked copy of a group cannot be marked."));
    for (int key : {Qt::Key_I, Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_4, Qt::Key_5, Qt::Key_I}) {
        Select(0, 0);
        Press(key, Qt::ControlModifier);
        EXPECT_EQ(window.ResultModel->Result().MarkedCount(), 1u) << key;
    }
    sure->Answer = false;
    for (int key : {Qt::Key_F8, Qt::Key_F7})
        Press(key, Qt::ShiftModifier);
    for (bool noIsDefault : sure->NoWasDefault)
        EXPECT_TRUE(noIsDefault);
    EXPECT_EQ(sure->Questions.size(), 2u);
    EXPECT_TRUE(TTempTree::Exists(tree.Path("g0/c0.txt")));
    EXPECT_TRUE(TTempTree::Exists(tree.Path("g0/c1.txt")));
    EXPECT_EQ(LogText(), "");
}

TEST_F(MarksTest, MarksSurviveSortingAndFilteringAndANewSearchClearsThem) {
    ReportCopies(3, 2);
    Press(Qt::Key_2, Qt::ControlModifier);
    window.TV1->sortByColumn(TResultModel::ColumnSize, Qt::DescendingOrder);
    window.FilterEdit->setText(QStringLiteral("g1/"));
    EXPECT_EQ(window.ResultModel->Result().MarkedCount(), 3u);
    EXPECT_EQ(window.ResultModel->MarkedHidden(), 2u);
    EXPECT_TRUE(Marked(0, 0) != Marked(0, 1));
    ReportCopies(3, 2);
    EXPECT_EQ(window.ResultModel->Result().MarkedCount(), 0u);
}

TEST_F(MarksTest, WithoutTheContentKeyTheBulkCommandsAreDisabledAndSayWhy) {
    window.Ocompearer1->Core().SetKeys({true, false, false, false});
    ReportCopies(2, 2);
    Press(Qt::Key_4, Qt::ControlModifier);
    EXPECT_EQ(window.ResultModel->Result().MarkedCount(), 2u);
    for (QAction* action : {window.M_Trash, window.M_Move, window.M_Link}) {
        EXPECT_FALSE(action->isEnabled());
        EXPECT_TRUE(action->toolTip().startsWith(QStringLiteral("Only files compared by content")));
    }
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_TRUE(sure->Questions.empty());
}

TEST_F(MarksTest, MoveTakesANewNameOnAClashAndHardLinksShareTheKeptCopy) {
    ReportCopies(2, 2);
    TTempTree target;
    target.File("c1.txt", "taken");
    window.ChooseFolder = [&target](const QString&) {
        return QString::fromStdString(target.Path(""));
    };
    Press(Qt::Key_4, Qt::ControlModifier);
    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_EQ(TTempTree::ReadFile(target.Path("c1.txt")), "taken");
    EXPECT_EQ(TTempTree::ReadFile(target.Path("c1 (2).txt")), "content 0");
    EXPECT_EQ(TTempTree::ReadFile(target.Path("c1 (3).txt")), "content 1");
    EXPECT_NE(
        LogText().find("\tmove\t" + tree.Path("g0/c1.txt") + "\t" + target.Path("c1 (2).txt")),
        std::string::npos)
        << LogText();

    const std::string kept = tree.File("h/a.txt", "linked");
    const std::string duplicate = tree.File("h/b.txt", "linked");
    ReportResult({{"a.txt", {kept, duplicate}}});
    Press(Qt::Key_4, Qt::ControlModifier);
    Press(Qt::Key_F7, Qt::ShiftModifier);
    struct stat one {};
    struct stat two {};
    ASSERT_EQ(::stat(kept.c_str(), &one), 0);
    ASSERT_EQ(::stat(duplicate.c_str(), &two), 0);
    EXPECT_EQ(one.st_ino, two.st_ino);
}

// Searches `root` for real, so that the engine finds every name of a file; then marks the row of
// each file whose path holds `marked`.
class AllNamesTest : public MarksTest {
protected:
    void SearchAndMark(const std::string& root, const std::string& marked) {
        window.Edit_root->setText(QString::fromStdString(root));
        window.N_Startsearch->trigger();
        window.TV1->expandAll();
        for (int g = 0; g < GroupCount(); ++g)
            for (int f = 0; f < FileCount(g); ++f)
                if (Node(g, f)
                        .data(TResultModel::PathRole)
                        .toByteArray()
                        .contains(marked.c_str())) {
                    Select(g, f);
                    Press(Qt::Key_Space);
                }
    }
    static ino_t Inode(const std::string& path) {
        struct stat facts {};
        return ::lstat(path.c_str(), &facts) == 0 ? facts.st_ino : 0;
    }
};

// Regression: marking a file found under two names and acting on it acted on one name only,
// while the status bar, the question and the report said its bytes were freed.
TEST_F(AllNamesTest, ABulkCommandActsOnEveryNameOfTheFileTheSearchFound) {
    struct TCase {
        const char* What;
        Qt::Key Key;
        const char* Done; // the start of the report
    };
    const std::vector<TCase> cases = {
        {"trash", Qt::Key_F8,
         "Moving the marked files to the trash: 1 done, 0 skipped, 9 bytes freed."},
        {"move", Qt::Key_F6, "Moving the marked files: 1 done, 0 skipped, 9 bytes freed."},
        {"link", Qt::Key_F7,
         "Replacing the marked files by hard links: 1 done, 0 skipped, 9 bytes freed."},
    };
    for (const TCase& c : cases) {
        TTempTree files;
        TTempTree target;
        window.ChooseFolder = [&target](const QString&) {
            return QString::fromStdString(target.Root());
        };
        const std::string first = files.File("a/pic.jpg", "the bytes");
        const std::string second = files.HardLink("b/pic.jpg", "a/pic.jpg");
        const std::string copy = files.File("c/pic.jpg", "the bytes");
        SearchAndMark(files.Root(), "/a/");
        if (window.ResultModel->Result().MarkedCount() == 0)
            SearchAndMark(files.Root(), "/b/"); // the engine showed the file by its other name
        ASSERT_EQ(window.ResultModel->Result().MarkedCount(), 1u) << c.What;
        EXPECT_EQ(window.StatusMarks->text(), QStringLiteral("1 marked, 9 bytes")) << c.What;
        sure->Questions.clear();
        Press(c.Key, Qt::ShiftModifier);
        ASSERT_EQ(sure->Questions.size(), 1u) << c.What;
        EXPECT_TRUE(sure->Questions[0].contains(QStringLiteral("1 marked file (9 bytes)")))
            << sure->Questions[0].toStdString();
        EXPECT_TRUE(sure->Questions[0].contains(
            QStringLiteral("\nTheir 1 other names that the search found go with them.")))
            << sure->Questions[0].toStdString();
        EXPECT_TRUE(Report().startsWith(QLatin1String(c.Done))) << Report().toStdString();
        EXPECT_TRUE(Report().contains(QStringLiteral(": its other names went with it: ")))
            << Report().toStdString();
        if (c.Key == Qt::Key_F7) {
            EXPECT_EQ(Inode(first), Inode(copy)) << c.What;
            EXPECT_EQ(Inode(second), Inode(copy)) << c.What;
        } else {
            EXPECT_FALSE(TTempTree::Exists(first)) << c.What;
            EXPECT_FALSE(TTempTree::Exists(second)) << c.What;
        }
        if (c.Key == Qt::Key_F6) {
            EXPECT_EQ(Inode(target.Path("pic.jpg")), Inode(target.Path("pic (2).jpg")))
                << "the names arrive as one file";
            EXPECT_EQ(TTempTree::ReadFile(target.Path("pic.jpg")), "the bytes");
        }
    }
}

TEST_F(AllNamesTest, AFileWithANameOutsideTheSearchFreesNothingAndEveryTextSaysSo) {
    TTempTree files;
    TTempTree outside;
    const std::string linked = files.File("a/pic.jpg", "the bytes");
    ASSERT_EQ(::link(linked.c_str(), outside.Path("pic.jpg").c_str()), 0);
    files.File("c/pic.jpg", "the bytes");
    SearchAndMark(files.Root(), "/a/");
    ASSERT_EQ(window.ResultModel->Result().MarkedCount(), 1u);
    EXPECT_EQ(window.StatusMarks->text(),
              QStringLiteral("1 marked, 0 bytes (1 with names outside the search free nothing)"));
    Press(Qt::Key_F8, Qt::ShiftModifier);
    ASSERT_EQ(sure->Questions.size(), 1u);
    EXPECT_TRUE(sure->Questions[0].startsWith(
        QStringLiteral("Move 1 marked file (0 bytes) to the trash?\n1 of them have names "
                       "outside the search: acting on them frees nothing.")))
        << sure->Questions[0].toStdString();
    EXPECT_TRUE(Report().startsWith(QStringLiteral(
        "Moving the marked files to the trash: 1 done, 0 skipped, 0 bytes freed. 1 files done "
        "have names outside the search and freed nothing.")))
        << Report().toStdString();
    EXPECT_EQ(TTempTree::ReadFile(outside.Path("pic.jpg")), "the bytes");
}

TEST_F(MarksTest, AFailedMoveIsReportedWithTheSystemsReason) {
    ReportCopies(1, 2);
    TTempTree target;
    window.ChooseFolder = [&target](const QString&) {
        return QString::fromStdString(target.Path("gone/"));
    };
    Press(Qt::Key_4, Qt::ControlModifier);
    Press(Qt::Key_F6, Qt::ShiftModifier);
    EXPECT_TRUE(TTempTree::Exists(tree.Path("g0/c1.txt")));
    EXPECT_TRUE(Report().contains(QString::fromStdString(tree.Path("g0/c1.txt")) +
                                  QStringLiteral(": No such file or directory")))
        << Report().toStdString();
}

TEST_F(MarksTest, AnActionsLogThatCannotBeWrittenIsReported) {
    ReportCopies(1, 2);
    tree.File("blocked", "a file where the log's folder should be");
    window.ActionsLogFile = tree.Path("blocked/actions.log");
    Press(Qt::Key_4, Qt::ControlModifier);
    Press(Qt::Key_F8, Qt::ShiftModifier);
    EXPECT_FALSE(TTempTree::Exists(tree.Path("g0/c1.txt")));
    EXPECT_TRUE(Report().contains(QStringLiteral("The actions log could not be written: ") +
                                  QString::fromStdString(tree.Path("blocked/actions.log"))))
        << Report().toStdString();
}

} // namespace
} // namespace parvex::test
