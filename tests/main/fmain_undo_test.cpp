// Undo last action in the window: Ctrl+Z in the tree (and the menu item) asks, naming the newest
// run, puts back what F8, F6 or a run of any action did, reports it and says the result is out of
// date; in a text field Ctrl+Z undoes the typing.
#include "_compearer/panel/ocompearer.h"
#include "command_line_run.h"
#include "main/fmain.h"
#include "main/status_field.h"
#include "main_test_support.h"
#include "support/qt/modal_driver.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

namespace parvex::test {
namespace {

class UndoWindowTest : public TMainWindowTest {
protected:
    UndoWindowTest() {
        // Content among the keys, so that the marked files can be acted on.
        window.Ocompearer1->Core().SetKeys({false, true, false, true});
        first = files.File("one/pic.jpg", std::string(600, 'p'));
        second = files.File("two/pic.jpg", std::string(600, 'p'));
    }

    void PressInTree(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        ASSERT_TRUE(testing::ActivateAgain(window));
        window.TV1->setFocus();
        QTest::keyClick(window.TV1, static_cast<Qt::Key>(key), modifiers);
    }

    TTempTree files;
    std::string first, second;
};

TEST_F(UndoWindowTest, CtrlZInTheTreeAsksAndPutsBackWhatEachActionDid) {
    const std::string over = files.Path("over/pic.jpg");
    const struct {
        const char* What;
        std::function<void()> Act;
        const char* Question; // how the question names what was done
        const char* Summary;
    } cases[] = {
        {"F8",
         [this] {
             Select(0, 0);
             PressInTree(Qt::Key_F8);
         },
         "1 file moved to the trash, by window", "Undo: 1 put back, 0 skipped."},
        {"F6 to a free place",
         [this] {
             window.ChooseMoveDestination = [this](const QString&, const QString&, const QString&) {
                 return QString::fromStdString(files.Path("elsewhere/pic.jpg"));
             };
             files.Folder("elsewhere");
             Select(0, 0);
             PressInTree(Qt::Key_F6);
         },
         "1 file moved, by window", "Undo: 1 put back, 0 skipped."},
        {"F6 onto a file, which goes to the trash in the same run",
         [this, &over] {
             files.File("over/pic.jpg", "in the way");
             window.ChooseMoveDestination = [&over](const QString&, const QString&,
                                                    const QString&) {
                 return QString::fromStdString(over);
             };
             Select(0, 0);
             PressInTree(Qt::Key_F6);
         },
         "1 file moved to the trash, 1 file moved, by window", "Undo: 2 put back, 0 skipped."},
        {"Shift+F8 on the marked copy",
         [this] {
             PressInTree(Qt::Key_4, Qt::ControlModifier); // all but the first found
             PressInTree(Qt::Key_F8, Qt::ShiftModifier);
         },
         "1 file moved to the trash, by window", "Undo: 1 put back, 0 skipped."},
        {"Shift+F6 on the marked copy",
         [this] {
             window.ChooseFolder = [this](const QString&) {
                 return QString::fromStdString(files.Folder("bulk"));
             };
             PressInTree(Qt::Key_4, Qt::ControlModifier);
             PressInTree(Qt::Key_F6, Qt::ShiftModifier);
         },
         "1 file moved, by window", "Undo: 1 put back, 0 skipped."},
        {"Shift+F7 on the marked copy",
         [this] {
             PressInTree(Qt::Key_4, Qt::ControlModifier);
             PressInTree(Qt::Key_F7, Qt::ShiftModifier);
         },
         "1 file replaced by a hard link, by window", "Undo: 1 put back, 0 skipped."},
        {"a hard link run of parvex-cli",
         [this] {
             EXPECT_EQ(
                 RunAsTheCommandLine(TActionKind::HardLink, second, first, files.Folder("into")),
                 "");
         },
         "1 file replaced by a hard link, by parvex-cli", "Undo: 1 put back, 0 skipped."},
        {"a move run of parvex-cli",
         [this] {
             EXPECT_EQ(RunAsTheCommandLine(TActionKind::Move, second, first, files.Folder("into")),
                       "");
         },
         "1 file moved, by parvex-cli", "Undo: 1 put back, 0 skipped."},
    };
    for (const auto& c : cases) {
        ReportResult({{"pic.jpg", {first, second}}});
        c.Act();
        sure->Questions.clear();
        PressInTree(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(sure->Questions.size(), 1u) << c.What;
        EXPECT_TRUE(sure->Questions[0].startsWith(
            QStringLiteral("Undo the last action?\n%1 at ").arg(QLatin1String(c.Question))))
            << c.What << ": " << sure->Questions[0].toStdString();
        EXPECT_EQ(TTempTree::ReadFile(first), std::string(600, 'p')) << c.What;
        EXPECT_EQ(TTempTree::ReadFile(second), std::string(600, 'p')) << c.What;
        if (TTempTree::Exists(over)) {
            EXPECT_EQ(TTempTree::ReadFile(over), "in the way") << c.What;
        }
        ASSERT_NE(window.UndoReport, nullptr) << c.What;
        EXPECT_EQ(window.UndoReport->text(), QLatin1String(c.Summary))
            << c.What << ": " << window.UndoReport->detailedText().toStdString();
        EXPECT_FALSE(window.StatusOutOfDate->isHidden()) << c.What;
    }
    // A new result is up to date again.
    ReportResult({{"pic.jpg", {first, second}}});
    EXPECT_TRUE(window.StatusOutOfDate->isHidden());
}

TEST_F(UndoWindowTest, CtrlZInATextFieldUndoesTheTypingAndADeclinedUndoChangesNothing) {
    ReportResult({{"pic.jpg", {first, second}}});
    Select(0, 0);
    PressInTree(Qt::Key_F8);
    ASSERT_FALSE(TTempTree::Exists(first));
    sure->Questions.clear();

    const QString typed = window.Edit_root->text();
    window.Edit_root->setFocus();
    QTest::keyClick(window.Edit_root, Qt::Key_X);
    QTest::keyClick(window.Edit_root, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window.Edit_root->text(), typed);
    EXPECT_TRUE(sure->Questions.empty()) << sure->Questions[0].toStdString();

    sure->Answer = false;
    PressInTree(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(sure->Questions.size(), 1u);
    EXPECT_FALSE(TTempTree::Exists(first)) << "a declined undo put the file back";

    sure->Answer = true;
    window.N_UndoLastAction->trigger();
    EXPECT_TRUE(TTempTree::Exists(first));
    window.N_UndoLastAction->trigger();
    EXPECT_EQ(modals.Shown,
              std::vector<QString>{QStringLiteral("msg: There is no action to undo.")});
}

} // namespace
} // namespace parvex::test
