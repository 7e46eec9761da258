#include "main/file_commands.h"
#include "main_test_support.h"

#include <QFile>
#include <QTreeWidgetItem>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace parvex::test {
namespace {

// A group of two files on disk, held as nodes the way the result tree holds them, and the
// commands on them with a scripted question and destination; moving and trashing are the real
// ones.
class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest() {
        first = files.File("one/pic.jpg", std::string(600, 'p'));
        second = files.File("two/pic.jpg", std::string(600, 'p'));
        group = std::make_unique<QTreeWidgetItem>(QStringList{QStringLiteral("pic.jpg")});
        for (const std::string& path : {first, second}) {
            auto* node = new QTreeWidgetItem(group.get(), {QString::fromStdString(path)});
            node->setData(0, Qt::UserRole, QByteArray::fromStdString(path));
        }
        services = DesktopFileServices();
        services.OpenFile = [this](const QByteArray& path) {
            opened.push_back(path.toStdString());
            return true;
        };
        services.ShowGroupInfo = [this](QTreeWidgetItem* node) { groupInfo.push_back(node); };
        services.ChooseMoveDestination = [this](const QString& title, const QString& name) {
            dialogAsked.push_back(title + QStringLiteral(" | ") + name);
            return destination;
        };
        services.Ask = [this](const QString& question) {
            questions.push_back(question);
            return answer;
        };
    }
    QTreeWidgetItem& File(int index) const { return *group->child(index); }
    TFileCommands Commands() const { return TFileCommands(services); }
    QString MoveQuestion(const std::string& path) const {
        return QStringLiteral("Move \"%1\" to: | pic.jpg").arg(QString::fromStdString(path));
    }

    TTempTree files;
    std::string first, second;
    std::unique_ptr<QTreeWidgetItem> group;
    TFileCommandServices services;
    QString destination;
    bool answer = true;
    std::vector<std::string> opened;
    std::vector<QTreeWidgetItem*> groupInfo;
    std::vector<QString> dialogAsked;
    std::vector<QString> questions;
};

TEST_F(FileCommandsTest, OpenOnAGroupShowsItsInfoAndOpensNothing) {
    Commands().Open(*group);
    EXPECT_EQ(groupInfo, std::vector<QTreeWidgetItem*>{group.get()});
    EXPECT_TRUE(opened.empty());
}

TEST_F(FileCommandsTest, OpenOnAFileHandsTheDesktopItsExactPath) {
    File(1).setText(0, QStringLiteral("shown text"));
    Commands().Open(File(1));
    EXPECT_EQ(opened, std::vector<std::string>{second});
    EXPECT_TRUE(groupInfo.empty());
}

TEST_F(FileCommandsTest, CancelledMoveTouchesNothing) {
    EXPECT_FALSE(Commands().Move(File(0)));
    EXPECT_EQ(dialogAsked, std::vector<QString>{MoveQuestion(first)});
    EXPECT_TRUE(TTempTree::Exists(first));
}

TEST_F(FileCommandsTest, MoveOntoAnExistingFileReplacesIt) {
    const std::string target = files.File("target/pic.jpg", "old content");
    destination = QString::fromStdString(target);
    EXPECT_TRUE(Commands().Move(File(0)));
    EXPECT_EQ(dialogAsked, std::vector<QString>{MoveQuestion(first)});
    EXPECT_FALSE(TTempTree::Exists(first));
    EXPECT_EQ(TTempTree::ReadFile(target), std::string(600, 'p'));
}

TEST_F(FileCommandsTest, MoveToAnotherFileSystemArrives) {
    TTempTree shm("/dev/shm");
    const std::string target = shm.Path("pic.jpg");
    destination = QString::fromStdString(target);
    EXPECT_TRUE(Commands().Move(File(1)));
    EXPECT_FALSE(TTempTree::Exists(second));
    EXPECT_EQ(TTempTree::ReadFile(target), std::string(600, 'p'));
}

// Regression: replacing the destination before the move deleted a file moved onto itself.
TEST_F(FileCommandsTest, MoveOntoItselfKeepsTheFile) {
    destination = QString::fromStdString(first);
    EXPECT_FALSE(Commands().Move(File(0)));
    EXPECT_EQ(TTempTree::ReadFile(first), std::string(600, 'p'));
}

TEST_F(FileCommandsTest, FailedMoveKeepsTheFileWhereItWas) {
    destination = QString::fromStdString(files.Path("no such folder/pic.jpg"));
    EXPECT_FALSE(Commands().Move(File(0)));
    EXPECT_EQ(TTempTree::ReadFile(first), std::string(600, 'p'));
}

TEST_F(FileCommandsTest, MoveOfAFileThatIsAlreadyGoneSaysItIsGone) {
    ::unlink(first.c_str());
    destination = QString::fromStdString(files.Path("elsewhere.jpg"));
    EXPECT_TRUE(Commands().Move(File(0))) << "a vanished file is gone, so its node goes too";
}

// Trash tests keep the trash in the test's own folder.
class TrashCommandTest : public FileCommandsTest {
protected:
    bool Delete(int index) const {
        return Commands().Delete(FileNodePath(File(index)), File(index));
    }
    TTrashHome trash{files.Path("home")};
};

TEST_F(TrashCommandTest, ConfirmedDeleteMovesTheFileToTheTrash) {
    EXPECT_TRUE(Delete(0));
    EXPECT_EQ(questions, std::vector<QString>{QStringLiteral("Move this file to the trash?\n\"%1\"")
                                                  .arg(QString::fromStdString(first))});
    EXPECT_FALSE(TTempTree::Exists(first));
    EXPECT_EQ(TTempTree::ReadFile(files.Path("home/.local/share/Trash/files/pic.jpg")),
              std::string(600, 'p'));
}

TEST_F(TrashCommandTest, TheQuestionSaysWhenTheFileIsTheLastOfItsGroup) {
    delete group->takeChild(0);
    EXPECT_TRUE(Delete(0));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].endsWith(QStringLiteral("\nIt is the last file left in its group.")))
        << questions[0].toStdString();
}

TEST_F(TrashCommandTest, DeclinedDeleteKeepsTheFile) {
    answer = false;
    EXPECT_FALSE(Delete(1));
    EXPECT_EQ(questions.size(), 1u);
    EXPECT_TRUE(TTempTree::Exists(second));
}

TEST_F(TrashCommandTest, DeleteOfAFileThatIsAlreadyGoneSaysItIsGone) {
    ::unlink(second.c_str());
    EXPECT_TRUE(Delete(1)) << "a vanished file is gone, so its node goes too";
}

TEST_F(TrashCommandTest, AnErrorOnTheWayIsDroppedAndTheFileJudgedByItsPlace) {
    services.TrashFile = [](const QByteArray&) -> bool { throw std::runtime_error("no trash"); };
    EXPECT_FALSE(Delete(0));
    EXPECT_TRUE(TTempTree::Exists(first));
}

} // namespace
} // namespace parvex::test
