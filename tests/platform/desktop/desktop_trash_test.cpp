#include "platform/desktop/desktop_trash.h"
#include "support/qt/root_folder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <fcntl.h>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parvex {
namespace {

// Points the user's home and data folder into a temporary folder for the test's lifetime, and
// works in a folder of its own, where no trash folders may appear.
class DesktopTrashTest : public ::testing::Test {
protected:
    DesktopTrashTest() {
        oldHome = qgetenv("HOME");
        oldData = qgetenv("XDG_DATA_HOME");
        oldCwd = QDir::currentPath();
        qputenv("HOME", (rootPath + QStringLiteral("/home")).toLocal8Bit());
        dataHome = rootPath + QStringLiteral("/home/not-yet/share");
        qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
        QDir().mkpath(rootPath + QStringLiteral("/cwd"));
        QDir::setCurrent(rootPath + QStringLiteral("/cwd"));
    }
    ~DesktopTrashTest() override {
        QDir::setCurrent(oldCwd);
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
    }
    QByteArray WriteFile(const QByteArray& name) {
        const QByteArray path = QFile::encodeName(rootPath) + "/" + name;
        std::ofstream(path.toStdString()) << "content";
        return path;
    }

    testing::TTempTree tree;
    const QString rootPath = testing::RootFolder(tree);
    QString dataHome;
    QByteArray oldHome, oldData;
    QString oldCwd;
};

TEST_F(DesktopTrashTest, FileLandsInTheHomeTrashEvenWhenTheDataFolderIsMissing) {
    const QByteArray path = WriteFile("doomed.txt");
    ASSERT_FALSE(QDir(dataHome).exists());
    EXPECT_TRUE(MoveToTrash(path));
    EXPECT_FALSE(QFile::exists(QFile::decodeName(path)));
    EXPECT_TRUE(QFile::exists(dataHome + QStringLiteral("/Trash/files/doomed.txt")));
    EXPECT_TRUE(QFile::exists(dataHome + QStringLiteral("/Trash/info/doomed.txt.trashinfo")));
    EXPECT_EQ(
        QDir(QDir::currentPath()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList())
        << "trash folders appeared in the working directory";
}

// Regression: Qt 6.4 wrote the trash entry's Path unencoded, so "100%41 done.txt" would come
// back from the trash as "100A done.txt".
TEST_F(DesktopTrashTest, PercentSignInTheNameIsEncodedInTheTrashEntry) {
    const QByteArray path = WriteFile("100%41 done.txt");
    ASSERT_TRUE(MoveToTrash(path));
    QFile info(dataHome + QStringLiteral("/Trash/info/100%41 done.txt.trashinfo"));
    ASSERT_TRUE(info.open(QIODevice::ReadOnly)) << "no trash entry";
    QByteArray recorded;
    for (const QByteArray& line : info.readAll().split('\n'))
        if (line.startsWith("Path="))
            recorded = line.mid(5);
    EXPECT_EQ(QByteArray::fromPercentEncoding(recorded), path) << recorded.constData();
}

TEST_F(DesktopTrashTest, MissingFileIsReportedAsNotTrashed) {
    EXPECT_FALSE(MoveToTrash(QFile::encodeName(rootPath) + "/never-was.txt"));
}

// Regression: a name that is not valid UTF-8 has no faithful QString, so Qt could not trash it.
TEST_F(DesktopTrashTest, NameThatIsNotUtf8GoesToTheTrashUnderItsExactBytes) {
    const QByteArray path = WriteFile("bad-\xff-name.txt");
    WriteFile("bad-\xff-name.txt.2"); // a neighbour of the same stem stays where it is
    EXPECT_TRUE(MoveToTrash(path));
    EXPECT_NE(::access(path.constData(), F_OK), 0);
    const QByteArray trash = QFile::encodeName(dataHome) + "/Trash";
    const auto exists = [](const QByteArray& name) {
        return ::access(name.constData(), F_OK) == 0;
    };
    EXPECT_TRUE(exists(trash + "/files/bad-\xff-name.txt"));
    // The info file's name is not valid UTF-8 either; read it through its bytes.
    const QByteArray infoPath = trash + "/info/bad-\xff-name.txt.trashinfo";
    const int fd = ::open(infoPath.constData(), O_RDONLY);
    ASSERT_GE(fd, 0);
    char record[512] = {};
    ASSERT_GT(::read(fd, record, sizeof record - 1), 0);
    ::close(fd);
    EXPECT_TRUE(QByteArray(record).startsWith(
        "[Trash Info]\nPath=" + QFile::encodeName(rootPath).toPercentEncoding("/") +
        "/bad-%FF-name.txt\nDeletionDate="))
        << record;

    // A second file of the same name takes the next free slot.
    const QByteArray again = WriteFile("bad-\xff-name.txt");
    EXPECT_TRUE(MoveToTrash(again));
    EXPECT_TRUE(exists(trash + "/files/bad-\xff-name.txt.2"));
    // QTemporaryDir cannot reach such names; they go by their bytes.
    for (const char* left :
         {"/files/bad-\xff-name.txt", "/files/bad-\xff-name.txt.2",
          "/info/bad-\xff-name.txt.trashinfo", "/info/bad-\xff-name.txt.2.trashinfo"})
        ::unlink(QByteArray(trash + left).constData());
    ::unlink(QByteArray(QFile::encodeName(rootPath) + "/bad-\xff-name.txt.2").constData());
}

} // namespace
} // namespace parvex
