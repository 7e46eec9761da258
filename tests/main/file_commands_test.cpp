#include "main/file_commands.h"
#include "main/reported_facts.h"
#include "main/result_model.h"
#include "main_test_support.h"

#include <QCollator>
#include <QFile>
#include <QLocale>
#include <memory>
#include <stdexcept>
#include <unistd.h>

namespace parvex::test {
namespace {

// A group of two files on disk, held as rows the way the result tree holds them, and the
// commands on them with a scripted question and destination; moving and trashing are the real
// ones.
class FileCommandsTest : public ::testing::Test {
protected:
    FileCommandsTest() {
        first = files.File("one/pic.jpg", std::string(600, 'p'));
        second = files.File("two/pic.jpg", std::string(600, 'p'));
        Hold({first, second});
        services = DesktopFileServices();
        services.OpenFile = [this](const QByteArray& path) {
            opened.push_back(path.toStdString());
            return true;
        };
        services.ShowGroupInfo = [this](const QModelIndex& node) { groupInfo.push_back(node); };
        services.ChooseMoveDestination = [this](const QString& title, const QString& folder,
                                                const QString& name) {
            dialogAsked.push_back(title + QStringLiteral(" | ") + folder + QStringLiteral(" | ") +
                                  name);
            return destination;
        };
        services.Ask = [this](const QString& question, bool noIsDefault) {
            questions.push_back(question);
            noWasDefault.push_back(noIsDefault);
            return answer;
        };
        services.ShowMessage = [this](const QString& text) { messages.push_back(text); };
    }
    // The result holds one group with the files at `paths`, as the search found them.
    void Hold(const std::vector<std::string>& paths) {
        TResultData data;
        data.Restart(QCollator(QLocale()));
        data.AddGroup("pic.jpg");
        for (const std::string& path : paths)
            data.AddFile(QByteArray::fromStdString(path), {FoundFileOnDisk(path), true, {}});
        data.Finish();
        model.SetResult(std::move(data), true);
    }
    QModelIndex Group() const { return model.index(0, 0); }
    QModelIndex File(int index) const { return model.index(index, 0, Group()); }
    TFileCommands Commands() const { return TFileCommands(services); }
    QString MoveQuestion(const std::string& path) const {
        const QString text = QString::fromStdString(path);
        return QStringLiteral("Move \"%1\" to: | %2 | pic.jpg")
            .arg(text, text.left(text.lastIndexOf(QLatin1Char('/'))));
    }

    TTempTree files;
    std::string first, second;
    TResultModel model;
    TFileCommandServices services;
    QString destination;
    bool answer = true;
    std::vector<std::string> opened;
    std::vector<QModelIndex> groupInfo;
    std::vector<QString> dialogAsked;
    std::vector<QString> questions;
    std::vector<bool> noWasDefault;
    std::vector<QString> messages;
};

TEST_F(FileCommandsTest, OpenOnAGroupShowsItsInfoAndOpensNothing) {
    Commands().Open(Group());
    EXPECT_EQ(groupInfo, std::vector<QModelIndex>{Group()});
    EXPECT_TRUE(opened.empty());
}

TEST_F(FileCommandsTest, OpenOnAFileHandsTheDesktopItsExactPath) {
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
    EXPECT_EQ(questions,
              std::vector<QString>{
                  QStringLiteral("Move this file to the trash?\n\"%1\"\nThe same bytes "
                                 "stay in:\n\"%2\"")
                      .arg(QString::fromStdString(first), QString::fromStdString(second))});
    EXPECT_EQ(noWasDefault, std::vector<bool>{false}) << "another copy is on disk: Yes is default";
    EXPECT_FALSE(TTempTree::Exists(first));
    EXPECT_EQ(TTempTree::ReadFile(files.Path("home/.local/share/Trash/files/pic.jpg")),
              std::string(600, 'p'));
    EXPECT_TRUE(messages.empty());
}

const QString kLastCopy = QStringLiteral("This file is the last copy of its content: no other "
                                         "file of its group holds the same bytes.\n");

TEST_F(TrashCommandTest, TheQuestionSaysWhenTheFileIsTheLastOfItsGroup) {
    model.RemoveFile(File(0));
    EXPECT_TRUE(Delete(0));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_TRUE(questions[0].startsWith(kLastCopy)) << questions[0].toStdString();
    EXPECT_EQ(noWasDefault, std::vector<bool>{true});
}

// Regression: whether a file was the last copy was judged by the nodes left, so a copy changed
// or removed on disk after the search still counted, and Yes stayed the default.
// A copy rewritten with other bytes, or removed, keeps nothing of the content.
TEST_F(TrashCommandTest, CopiesChangedOrRemovedOnDiskSinceTheSearchDoNotCount) {
    files.File("two/pic.jpg", "rewritten");
    answer = false;
    EXPECT_FALSE(Delete(0));
    ::unlink(second.c_str());
    EXPECT_FALSE(Delete(0));
    ASSERT_EQ(questions.size(), 2u);
    EXPECT_TRUE(questions[0].startsWith(kLastCopy)) << questions[0].toStdString();
    EXPECT_TRUE(questions[1].startsWith(kLastCopy)) << questions[1].toStdString();
    EXPECT_EQ(noWasDefault, (std::vector<bool>{true, true}));
    EXPECT_TRUE(TTempTree::Exists(first));
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
    EXPECT_TRUE(messages.empty());
}

TEST_F(TrashCommandTest, AFileTheTrashCannotTakeStaysAndTheMessageSaysWhy) {
    services.TrashFile = [](const std::string&) {
        return TTrashOutcome{false, "its file system has no usable trash"};
    };
    EXPECT_FALSE(Delete(0));
    EXPECT_TRUE(TTempTree::Exists(first));
    EXPECT_EQ(messages,
              std::vector<QString>{
                  QStringLiteral("This file cannot be moved to the trash: its file system "
                                 "has no usable trash.\n\"%1\"")
                      .arg(QString::fromStdString(first))});
}

TEST_F(TrashCommandTest, AnErrorOnTheWayIsReportedAndTheFileJudgedByItsPlace) {
    services.TrashFile = [](const std::string&) -> TTrashOutcome {
        throw std::runtime_error("no trash");
    };
    EXPECT_FALSE(Delete(0));
    EXPECT_TRUE(TTempTree::Exists(first));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].startsWith(QStringLiteral("This file cannot be moved to the trash: no "
                                                      "trash.\n")))
        << messages[0].toStdString();
}

// Regression: the destination went through text, so a name that is not UTF-8 arrived with
// U+FFFD in place of its byte.
TEST_F(FileCommandsTest, MoveToTheProposedNameKeepsTheNamesExactBytes) {
    const std::string odd = files.File("one/caf\xE9.bin", "odd");
    Hold({odd, second});
    files.Folder("target");
    destination = QString::fromStdString(files.Path("target/")) +
                  QFile::decodeName(QByteArray("caf\xE9.bin"));
    EXPECT_TRUE(Commands().Move(File(0)));
    EXPECT_FALSE(TTempTree::Exists(odd));
    EXPECT_EQ(TTempTree::ReadFile(files.Path("target/caf\xE9.bin")), "odd");
    EXPECT_FALSE(TTempTree::Exists(files.Path("target/caf\xEF\xBF\xBD.bin")));
}

struct DestinationCase {
    const char* name;
    QString chosen;
    QByteArray source;
    QByteArray expected;
};

TEST(ChosenDestinationBytes, TheProposedTextsStandForTheSourcesBytes) {
    const QString odd = QFile::decodeName(QByteArray("caf\xE9.bin"));
    const QString oddFolder = QFile::decodeName(QByteArray("/d\xFF"));
    const std::vector<DestinationCase> cases = {
        {"proposed name elsewhere", QStringLiteral("/t/") + odd, "/s/caf\xE9.bin",
         "/t/caf\xE9.bin"},
        {"proposed name and folder", oddFolder + QStringLiteral("/") + odd, "/d\xFF/caf\xE9.bin",
         "/d\xFF/caf\xE9.bin"},
        {"own folder, new name", oddFolder + QStringLiteral("/new.bin"), "/d\xFF/caf\xE9.bin",
         "/d\xFF/new.bin"},
        {"typed name", QStringLiteral("/t/caf\u00e9.bin"), "/s/caf\xE9.bin", "/t/caf\xC3\xA9.bin"},
        {"plain name", QStringLiteral("/t/a.txt"), "/s/a.txt", "/t/a.txt"},
    };
    for (const DestinationCase& c : cases)
        EXPECT_EQ(ChosenDestinationBytes(c.chosen, c.source), c.expected) << c.name;
}

} // namespace
} // namespace parvex::test
