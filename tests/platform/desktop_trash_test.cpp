#include "platform/desktop_trash.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parvex {
namespace {

// Points the user's home and data folder into a temporary folder for the test's lifetime, and
// works in a folder of its own, where no trash folders may appear.
class DesktopTrashTest : public testing::Test {
protected:
    DesktopTrashTest() {
        oldHome = qgetenv("HOME");
        oldData = qgetenv("XDG_DATA_HOME");
        oldCwd = QDir::currentPath();
        qputenv("HOME", (root.path() + QStringLiteral("/home")).toLocal8Bit());
        dataHome = root.path() + QStringLiteral("/home/not-yet/share");
        qputenv("XDG_DATA_HOME", dataHome.toLocal8Bit());
        QDir().mkpath(root.path() + QStringLiteral("/cwd"));
        QDir::setCurrent(root.path() + QStringLiteral("/cwd"));
    }
    ~DesktopTrashTest() override {
        QDir::setCurrent(oldCwd);
        qputenv("HOME", oldHome);
        qputenv("XDG_DATA_HOME", oldData);
    }
    QByteArray WriteFile(const QByteArray& name) {
        const QByteArray path = QFile::encodeName(root.path()) + "/" + name;
        std::ofstream(path.toStdString()) << "content";
        return path;
    }

    QTemporaryDir root;
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

TEST_F(DesktopTrashTest, MissingFileIsReportedAsNotTrashed) {
    EXPECT_FALSE(MoveToTrash(QFile::encodeName(root.path()) + "/never-was.txt"));
}

// A name that is not valid UTF-8 would reach Qt as another name; it is refused, not guessed.
TEST_F(DesktopTrashTest, NameThatDoesNotSurviveDecodingIsLeftAlone) {
    const QByteArray path = WriteFile("bad-\xff-name.txt");
    EXPECT_FALSE(MoveToTrash(path));
    EXPECT_EQ(::access(path.constData(), F_OK), 0);
    ::unlink(path.constData()); // QTemporaryDir cannot reach such a name either
}

} // namespace
} // namespace parvex
