#include "main_test_support.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QTreeWidget>
#include <sys/stat.h>

namespace parvex::test {
namespace {

class FileCommandsTest : public TMainWindowTest {
protected:
    FileCommandsTest() {
        first = files.File("one/pic.jpg", std::string(600, 'p'));
        second = files.File("two/pic.jpg", std::string(600, 'p'));
        ReportResult({{"pic.jpg", {first, second}}});
        window.OpenFile = [this](const QByteArray& path) {
            opened.push_back(path.toStdString());
            return true;
        };
    }
    void MoveTo(const std::string& destination) {
        window.ChooseMoveDestination = [this, destination](const QString& title,
                                                           const QString& name) {
            dialogAsked.push_back(title + QStringLiteral(" | ") + name);
            return QString::fromStdString(destination);
        };
    }
    int FileNodes() const { return window.TV1->topLevelItem(0)->childCount(); }

    TTempTree files;
    std::string first, second;
    std::vector<std::string> opened;
    std::vector<QString> dialogAsked;
};

TEST_F(FileCommandsTest, OpenOnAGroupShowsItsInfoAndOpensNothing) {
    Select(0);
    window.TB_open->trigger();
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("group info: 2 | 1.200 Kb")});
    EXPECT_TRUE(opened.empty());
}

TEST_F(FileCommandsTest, GroupInfoCountsVanishedFilesButAddsNothingForThem) {
    ::unlink(first.c_str());
    Select(0);
    window.N_Trytoopen->trigger();
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("group info: 2 | 600 bytes")});
}

TEST_F(FileCommandsTest, OpenOnAFileHandsTheDesktopItsExactPath) {
    Select(0, 1);
    window.P_Open->trigger();
    EXPECT_EQ(opened, std::vector<std::string>{second});
    EXPECT_TRUE(modals.Shown.empty());
}

TEST_F(FileCommandsTest, EnterAndDoubleClickOpenBothKindsOfNode) {
    Select(0);
    QTest::keyClick(window.TV1, Qt::Key_Return);
    Select(0, 0);
    QTest::keyClick(window.TV1, Qt::Key_Enter);
    window.TV1->expandAll();
    QTest::qWait(20);
    const QRect fileRow = window.TV1->visualItemRect(window.TV1->topLevelItem(0)->child(1));
    ASSERT_FALSE(fileRow.isEmpty());
    QTest::mouseClick(window.TV1->viewport(), Qt::LeftButton, {}, fileRow.center());
    QTest::mouseDClick(window.TV1->viewport(), Qt::LeftButton, {}, fileRow.center());
    const QRect groupRow = window.TV1->visualItemRect(window.TV1->topLevelItem(0));
    QTest::mouseClick(window.TV1->viewport(), Qt::LeftButton, {}, groupRow.center());
    QTest::mouseDClick(window.TV1->viewport(), Qt::LeftButton, {}, groupRow.center());
    EXPECT_EQ(opened, (std::vector<std::string>{first, second}));
    EXPECT_EQ(modals.Shown, (std::vector<QString>{QStringLiteral("group info: 2 | 1.200 Kb"),
                                                  QStringLiteral("group info: 2 | 1.200 Kb")}));
}

TEST_F(FileCommandsTest, MoveAndDeleteDoNothingOnAGroupOrWithoutSelection) {
    MoveTo(files.Path("elsewhere.jpg"));
    Select(0);
    window.TB_moveClick();
    window.TB_deleteClick();
    window.TV1->setCurrentItem(nullptr);
    window.TB_moveClick();
    window.TB_deleteClick();
    EXPECT_TRUE(dialogAsked.empty());
    EXPECT_TRUE(sure->Questions.empty());
    EXPECT_EQ(FileNodes(), 2);
}

TEST_F(FileCommandsTest, SaveDialogIsTitledWithTheSourceAndPresetWithItsName) {
    Select(0, 0);
    window.TB_move->trigger();
    ASSERT_EQ(modals.Shown.size(), 1u);
    EXPECT_EQ(modals.Shown[0],
              QStringLiteral("save: Move \"%1\" to: | pic.jpg").arg(QString::fromStdString(first)));
    EXPECT_EQ(FileNodes(), 2) << "a cancelled move removed the node";
    EXPECT_TRUE(TTempTree::Exists(first));
}

TEST_F(FileCommandsTest, MoveOntoAnExistingFileReplacesItAndRemovesTheNode) {
    const std::string target = files.File("target/pic.jpg", "old content");
    MoveTo(target);
    Select(0, 0);
    window.N_Movethefile->trigger();
    EXPECT_EQ(dialogAsked,
              std::vector<QString>{
                  QStringLiteral("Move \"%1\" to: | pic.jpg").arg(QString::fromStdString(first))});
    EXPECT_FALSE(TTempTree::Exists(first));
    EXPECT_EQ(TTempTree::ReadFile(target), std::string(600, 'p'));
    EXPECT_EQ(FileNodes(), 1);
    EXPECT_EQ(window.TV1->topLevelItem(0)->child(0)->text(0).toStdString(), second);
}

TEST_F(FileCommandsTest, MoveToAnotherFileSystemArrivesAndRemovesTheNode) {
    TTempTree shm("/dev/shm");
    const std::string target = shm.Path("pic.jpg");
    MoveTo(target);
    Select(0, 1);
    window.P_Move->trigger();
    EXPECT_FALSE(TTempTree::Exists(second));
    EXPECT_EQ(TTempTree::ReadFile(target), std::string(600, 'p'));
    EXPECT_EQ(FileNodes(), 1);
}

// Regression: replacing the destination before the move deleted a file moved onto itself.
TEST_F(FileCommandsTest, MoveOntoItselfKeepsTheFileAndTheNode) {
    MoveTo(first);
    Select(0, 0);
    window.TB_moveClick();
    EXPECT_EQ(TTempTree::ReadFile(first), std::string(600, 'p'));
    EXPECT_EQ(FileNodes(), 2);
}

// Trash tests point the user's home and data folder into a temporary folder.
class TrashCommandTest : public FileCommandsTest {
protected:
    TrashCommandTest() {
        oldHome = qgetenv("HOME");
        oldData = qgetenv("XDG_DATA_HOME");
        qputenv("HOME", QByteArray::fromStdString(files.Path("home")));
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(files.Path("home/.local/share")));
    }
    ~TrashCommandTest() override {
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
    }
    QByteArray oldHome, oldData;
};

TEST_F(TrashCommandTest, ConfirmedDeleteMovesTheFileToTheTrashAndRemovesTheNode) {
    Select(0, 0);
    window.N_Deletethefile->trigger();
    EXPECT_EQ(sure->Questions,
              std::vector<QString>{QStringLiteral("Move this file to the trash?\n\"%1\"")
                                       .arg(QString::fromStdString(first))});
    EXPECT_FALSE(TTempTree::Exists(first));
    EXPECT_EQ(TTempTree::ReadFile(files.Path("home/.local/share/Trash/files/pic.jpg")),
              std::string(600, 'p'));
    EXPECT_EQ(FileNodes(), 1);

    // The last file of the group: the question says so, and the group node stays when it goes.
    Select(0, 0);
    window.P_Delete->trigger();
    ASSERT_EQ(sure->Questions.size(), 2u);
    EXPECT_TRUE(
        sure->Questions[1].endsWith(QStringLiteral("\nIt is the last file left in its group.")))
        << sure->Questions[1].toStdString();
    EXPECT_EQ(FileNodes(), 0);
    EXPECT_EQ(window.TV1->topLevelItemCount(), 1);
    Select(0);
    window.TB_openClick();
    EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("group info: 0 | 0 bytes")});
}

TEST_F(TrashCommandTest, DeclinedDeleteKeepsTheFileAndTheNode) {
    sure->Answer = false;
    Select(0, 1);
    window.TB_delete->trigger();
    EXPECT_EQ(sure->Questions.size(), 1u);
    EXPECT_TRUE(TTempTree::Exists(second));
    EXPECT_EQ(FileNodes(), 2);
}

TEST_F(TrashCommandTest, DeleteOfAFileThatIsAlreadyGoneRemovesItsNode) {
    ::unlink(second.c_str());
    Select(0, 1);
    window.TB_deleteClick();
    EXPECT_EQ(FileNodes(), 1) << "a vanished file is gone, so its node goes too";
}

} // namespace
} // namespace parvex::test
