#include "platform/safe_move.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

class SafeMoveTest : public ::testing::Test {
protected:
    static std::string Path(const testing::TTempTree& dir, const char* name) {
        return dir.Path(name);
    }
    static void Write(const std::string& path, const std::string& content) {
        std::ofstream(path, std::ios::binary) << content;
    }
    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }
    static bool Exists(const std::string& path) {
        struct stat info {};
        return ::lstat(path.c_str(), &info) == 0;
    }
    testing::TTempTree here;
};

TEST_F(SafeMoveTest, RenamesOverAnExistingFileOnOneFileSystem) {
    const std::string source = Path(here, "source.txt");
    const std::string destination = Path(here, "destination.txt");
    Write(source, "new");
    Write(destination, "old");
    EXPECT_EQ(SafeMoveFile(source, destination), TMoveOutcome::Moved);
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(Read(destination), "new");
}

TEST_F(SafeMoveTest, CopiesAcrossFileSystemsKeepingModeAndTimeThenRemovesTheSource) {
    testing::TTempTree shm("/dev/shm");
    struct stat a {
    }, b{};
    ASSERT_EQ(::stat(here.Root().c_str(), &a), 0);
    ASSERT_EQ(::stat(shm.Root().c_str(), &b), 0);
    if (a.st_dev == b.st_dev)
        GTEST_SKIP() << "/dev/shm is on the same file system as the temporary folder";
    const std::string source = Path(here, "big.bin");
    std::string content(3 << 20, '\0');
    for (std::size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<char>(i * 7);
    Write(source, content);
    ASSERT_EQ(::chmod(source.c_str(), 0640), 0);
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, source.c_str(), times, 0), 0);
    const std::string destination = Path(shm, "big.bin");
    Write(destination, "old");

    EXPECT_EQ(SafeMoveFile(source, destination), TMoveOutcome::Moved);
    EXPECT_FALSE(Exists(source));
    EXPECT_TRUE(Read(destination) == content) << "the copy differs from the source";
    struct stat moved {};
    ASSERT_EQ(::stat(destination.c_str(), &moved), 0);
    EXPECT_EQ(moved.st_mode & 07777, 0640u);
    EXPECT_EQ(moved.st_mtim.tv_sec, 1000000000);
}

TEST_F(SafeMoveTest, MovingAFileOntoItselfTouchesNothing) {
    const std::string source = Path(here, "same.txt");
    Write(source, "keep me");
    const std::string link = Path(here, "hard-link.txt");
    ASSERT_EQ(::link(source.c_str(), link.c_str()), 0);
    EXPECT_EQ(SafeMoveFile(source, source), TMoveOutcome::SameFile);
    EXPECT_EQ(SafeMoveFile(source, Path(here, "./same.txt")), TMoveOutcome::SameFile);
    EXPECT_EQ(SafeMoveFile(source, link), TMoveOutcome::SameFile);
    EXPECT_EQ(Read(source), "keep me");
    EXPECT_EQ(Read(link), "keep me");
}

TEST_F(SafeMoveTest, MissingSourceOrAFolderInTheWayChangesNothing) {
    const std::string destination = Path(here, "destination.txt");
    Write(destination, "old");
    EXPECT_EQ(SafeMoveFile(Path(here, "missing.txt"), destination), TMoveOutcome::Failed);
    EXPECT_EQ(Read(destination), "old");

    const std::string source = Path(here, "source.txt");
    Write(source, "new");
    ASSERT_EQ(::mkdir(Path(here, "folder").c_str(), 0755), 0);
    EXPECT_EQ(SafeMoveFile(source, Path(here, "folder")), TMoveOutcome::Failed);
    EXPECT_EQ(Read(source), "new");
}

// Root may write anywhere, so the move into a read-only folder runs as the user "nobody".
TEST_F(SafeMoveTest, ReadOnlyDestinationFolderKeepsBothFiles) {
    ASSERT_EQ(::chmod(here.Root().c_str(), 0777), 0);
    const std::string source = Path(here, "source.txt");
    Write(source, "new");
    ASSERT_EQ(::chmod(source.c_str(), 0666), 0);
    const std::string locked = Path(here, "locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0755), 0);
    const std::string destination = locked + "/destination.txt";
    Write(destination, "old");
    ASSERT_EQ(::chmod(locked.c_str(), 0555), 0);

    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            ::_exit(2);
        ::_exit(SafeMoveFile(source, destination) == TMoveOutcome::Failed ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 2)
        GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the move into a read-only folder did not fail";
    EXPECT_EQ(Read(source), "new");
    EXPECT_EQ(Read(destination), "old");
    ::chmod(locked.c_str(), 0755);
}

// Regression: across file systems the destination was replaced before the source was removed,
// so a source that could not be removed left a "failed" move with its destination overwritten.
// The source's folder is read-only for the user "nobody", who runs the move.
class UnremovableSourceTest : public SafeMoveTest {
protected:
    UnremovableSourceTest() {
        struct stat a {
        }, b{};
        sameFileSystem = ::stat(here.Root().c_str(), &a) != 0 ||
                         ::stat(shm.Root().c_str(), &b) != 0 || a.st_dev == b.st_dev;
        ::chmod(here.Root().c_str(), 0755);
        ::chmod(shm.Root().c_str(), 0777);
        ::mkdir(Path(here, "locked").c_str(), 0755);
        source = Path(here, "locked/source.txt");
        Write(source, "new");
        ::chmod(source.c_str(), 0644);
        ::chmod(Path(here, "locked").c_str(), 0555);
    }
    ~UnremovableSourceTest() override { ::chmod(Path(here, "locked").c_str(), 0755); }
    // 0: failed, 1: another outcome, 2: could not drop privileges.
    int MoveAsNobody() const {
        const pid_t child = ::fork();
        if (child == 0) {
            if (::getuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                ::_exit(2);
            ::_exit(SafeMoveFile(source, destination) == TMoveOutcome::Failed ? 0 : 1);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status))
            return 1;
        return WEXITSTATUS(status);
    }
    // Names in the destination's folder besides the ones expected.
    std::vector<std::string> Leftovers(const std::vector<std::string>& expected) const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(shm.Root())) {
            const std::string name = entry.path().filename().string();
            if (std::find(expected.begin(), expected.end(), name) == expected.end())
                found.push_back(name);
        }
        return found;
    }

    testing::TTempTree shm{"/dev/shm"};
    bool sameFileSystem = true;
    std::string source;
    std::string destination = Path(shm, "destination.txt");
};

TEST_F(UnremovableSourceTest, FailedMoveAcrossFileSystemsPutsTheOldDestinationBack) {
    if (sameFileSystem)
        GTEST_SKIP() << "/dev/shm is on the same file system as the temporary folder";
    Write(destination, "old");
    const int outcome = MoveAsNobody();
    if (outcome == 2)
        GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(outcome, 0) << "the move of a source that cannot be removed did not fail";
    EXPECT_EQ(Read(source), "new");
    EXPECT_EQ(Read(destination), "old");
    EXPECT_EQ(Leftovers({"destination.txt"}), std::vector<std::string>{});
}

// The old destination is the mover's own, so it is kept by a second name rather than moved
// aside (a file of another owner may not be linked where links are protected).
TEST_F(UnremovableSourceTest, FailedMoveOntoTheMoversOwnFilePutsItBack) {
    if (sameFileSystem)
        GTEST_SKIP() << "/dev/shm is on the same file system as the temporary folder";
    Write(destination, "old");
    ASSERT_EQ(::chown(destination.c_str(), 65534, 65534), 0);
    const int outcome = MoveAsNobody();
    if (outcome == 2)
        GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(outcome, 0);
    EXPECT_EQ(Read(source), "new");
    EXPECT_EQ(Read(destination), "old");
    EXPECT_EQ(Leftovers({"destination.txt"}), std::vector<std::string>{});
}

TEST_F(UnremovableSourceTest, FailedMoveAcrossFileSystemsLeavesNoNewDestination) {
    if (sameFileSystem)
        GTEST_SKIP() << "/dev/shm is on the same file system as the temporary folder";
    const int outcome = MoveAsNobody();
    if (outcome == 2)
        GTEST_SKIP() << "cannot drop privileges";
    EXPECT_EQ(outcome, 0);
    EXPECT_EQ(Read(source), "new");
    EXPECT_FALSE(Exists(destination));
    EXPECT_EQ(Leftovers({}), std::vector<std::string>{});
}

TEST_F(SafeMoveTest, MoveAcrossFileSystemsOntoAnExistingFileLeavesNoKeptCopy) {
    testing::TTempTree shm("/dev/shm");
    const std::string source = Path(here, "source.txt");
    const std::string destination = Path(shm, "destination.txt");
    Write(source, "new");
    Write(destination, "old");
    EXPECT_EQ(SafeMoveFile(source, destination), TMoveOutcome::Moved);
    EXPECT_FALSE(Exists(source));
    EXPECT_EQ(Read(destination), "new");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(shm.Root()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"destination.txt"});
}

} // namespace
} // namespace parvex
