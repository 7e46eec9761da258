#include "platform/freedesktop_trash.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::TTempTree;

// Sets an environment variable for the life of the object, or removes it.
class TScopedEnv {
public:
    TScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name))
            old_ = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~TScopedEnv() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }
    TScopedEnv(const TScopedEnv&) = delete;
    TScopedEnv& operator=(const TScopedEnv&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// The exact bytes a percent-encoded text stands for.
std::string PercentDecoded(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size()) {
            bytes += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return bytes;
}

// The value of `key` in an info file's text.
std::string InfoValue(const std::string& record, const std::string& key) {
    const std::size_t at = record.find("\n" + key + "=");
    if (at == std::string::npos)
        return "<no " + key + ">";
    const std::size_t start = at + key.size() + 2;
    return record.substr(start, record.find('\n', start) - start);
}

mode_t ModeOf(const std::string& path) {
    struct stat facts {};
    return ::lstat(path.c_str(), &facts) == 0 ? facts.st_mode : 0;
}

// A home of the test's own, so the home trash is the test's folder; the working directory is a
// folder of its own, where no trash folders may appear.
class FreedesktopTrashTest : public ::testing::Test {
protected:
    FreedesktopTrashTest() {
        char* cwd = ::getcwd(nullptr, 0);
        oldCwd_ = cwd;
        std::free(cwd);
        EXPECT_EQ(::chdir(tree.Folder("cwd").c_str()), 0);
    }
    ~FreedesktopTrashTest() override { EXPECT_EQ(::chdir(oldCwd_.c_str()), 0); }
    std::string Trash(const std::string& relative) const {
        return tree.Path("home/not-yet/share/Trash/" + relative);
    }

    TTempTree tree;
    TScopedEnv home{"HOME", tree.Path("home")};
    TScopedEnv data{"XDG_DATA_HOME", tree.Path("home/not-yet/share")};

private:
    std::string oldCwd_;
};

TEST_F(FreedesktopTrashTest, FileLandsInTheHomeTrashEvenWhenTheDataFolderIsMissing) {
    const std::string path = tree.File("doomed.txt", "content");
    const TTrashOutcome outcome = TrashFile(path);
    EXPECT_TRUE(outcome.Trashed) << outcome.Reason;
    EXPECT_FALSE(TTempTree::Exists(path));
    EXPECT_EQ(TTempTree::ReadFile(Trash("files/doomed.txt")), "content");
    EXPECT_EQ(outcome.Entry, Trash("files/doomed.txt")) << "the outcome names its trash entry";
    const std::string record = TTempTree::ReadFile(Trash("info/doomed.txt.trashinfo"));
    EXPECT_EQ(record.substr(0, 13), "[Trash Info]\n") << record;
    EXPECT_EQ(InfoValue(record, "Path"), path) << record;
    EXPECT_EQ(ModeOf(Trash("")) & 0777, 0700u);
    EXPECT_EQ(::rmdir(tree.Path("cwd").c_str()), 0)
        << "trash folders appeared in the working folder";
}

// Regression: Qt 6.4 wrote the trash entry's Path unencoded, so "100%41 done.txt" would come
// back from the trash as "100A done.txt".
TEST_F(FreedesktopTrashTest, PercentSignInTheNameIsEncodedInTheTrashEntry) {
    const std::string path = tree.File("100%41 done.txt", "x");
    const TTrashOutcome outcome = TrashFile(path);
    ASSERT_TRUE(outcome.Trashed) << outcome.Reason;
    const std::string record = TTempTree::ReadFile(Trash("info/100%41 done.txt.trashinfo"));
    const std::string recorded = InfoValue(record, "Path");
    EXPECT_NE(recorded.find("100%2541%20done.txt"), std::string::npos) << recorded;
    EXPECT_EQ(PercentDecoded(recorded), path) << recorded;
}

// Regression: a name that is not valid UTF-8 has no faithful text form; it goes by its bytes.
TEST_F(FreedesktopTrashTest, NameThatIsNotUtf8GoesToTheTrashUnderItsExactBytes) {
    const std::string path = tree.File("caf\xE9.bin", "bytes");
    tree.File("caf\xE9.bin.2", "neighbour"); // a neighbour of the same stem stays where it is
    const TTrashOutcome outcome = TrashFile(path);
    ASSERT_TRUE(outcome.Trashed) << outcome.Reason;
    EXPECT_FALSE(TTempTree::Exists(path));
    EXPECT_EQ(TTempTree::ReadFile(Trash("files/caf\xE9.bin")), "bytes");
    const std::string recorded =
        InfoValue(TTempTree::ReadFile(Trash("info/caf\xE9.bin.trashinfo")), "Path");
    EXPECT_NE(recorded.find("/caf%E9.bin"), std::string::npos) << recorded;
    EXPECT_EQ(PercentDecoded(recorded), path);
    EXPECT_EQ(TTempTree::ReadFile(tree.Path("caf\xE9.bin.2")), "neighbour");
}

TEST_F(FreedesktopTrashTest, SecondFileOfTheSameNameTakesTheNextFreeNameInBothFolders) {
    const std::string first = tree.File("one/same.txt", "first");
    const std::string second = tree.File("two/same.txt", "second");
    ASSERT_TRUE(TrashFile(first).Trashed);
    const TTrashOutcome outcome = TrashFile(second);
    ASSERT_TRUE(outcome.Trashed) << outcome.Reason;
    EXPECT_EQ(TTempTree::ReadFile(Trash("files/same.txt")), "first");
    EXPECT_EQ(TTempTree::ReadFile(Trash("files/same.txt.2")), "second");
    EXPECT_EQ(InfoValue(TTempTree::ReadFile(Trash("info/same.txt.trashinfo")), "Path"), first);
    EXPECT_EQ(InfoValue(TTempTree::ReadFile(Trash("info/same.txt.2.trashinfo")), "Path"), second);
}

TEST_F(FreedesktopTrashTest, NameTakenOnlyInFilesIsSkippedAndItsInfoFileLeftAlone) {
    // A stranger's file in files/ without an info file: the name is not free.
    tree.File("home/not-yet/share/Trash/files/taken.txt", "stranger");
    const std::string path = tree.File("taken.txt", "mine");
    ASSERT_TRUE(TrashFile(path).Trashed);
    EXPECT_EQ(TTempTree::ReadFile(Trash("files/taken.txt")), "stranger");
    EXPECT_EQ(TTempTree::ReadFile(Trash("files/taken.txt.2")), "mine");
    EXPECT_FALSE(TTempTree::Exists(Trash("info/taken.txt.trashinfo")));
    EXPECT_TRUE(TTempTree::Exists(Trash("info/taken.txt.2.trashinfo")));
}

TEST_F(FreedesktopTrashTest, MissingFileIsNotTrashedAndSaysWhy) {
    const TTrashOutcome outcome = TrashFile(tree.Path("never-was.txt"));
    EXPECT_FALSE(outcome.Trashed);
    EXPECT_NE(outcome.Reason.find("No such file or directory"), std::string::npos)
        << outcome.Reason;
}

TEST_F(FreedesktopTrashTest, InfoFileIsRemovedWhenTheFileCannotBeRenamedIn) {
    // The trash folder on one file system, the file gone before the rename: the rename fails.
    const std::string trash = tree.Folder("mount/.Trash-1");
    const TTrashOutcome outcome =
        TrashFileInto(tree.Path("vanished.txt"), trash, "vanished.txt", 0);
    EXPECT_FALSE(outcome.Trashed);
    EXPECT_NE(outcome.Reason.find("cannot move it into"), std::string::npos) << outcome.Reason;
    EXPECT_FALSE(TTempTree::Exists(trash + "info/vanished.txt.trashinfo"));
    EXPECT_TRUE(TTempTree::Exists(trash + "info"));
}

TEST_F(FreedesktopTrashTest, InfoFileIsRemovedWhenTheTrashIsOnAnotherFileSystem) {
    TTempTree shm("/dev/shm");
    struct stat a {
    }, b{};
    ASSERT_EQ(::stat(tree.Root().c_str(), &a), 0);
    ASSERT_EQ(::stat(shm.Root().c_str(), &b), 0);
    if (a.st_dev == b.st_dev)
        GTEST_SKIP() << "/dev/shm is on the same file system as the temporary folder";
    const std::string path = shm.File("far.txt", "far");
    const TTrashOutcome outcome = TrashFileInto(path, tree.Folder("trash"), path, 0);
    EXPECT_FALSE(outcome.Trashed);
    EXPECT_NE(outcome.Reason.find("Invalid cross-device link"), std::string::npos)
        << outcome.Reason;
    EXPECT_FALSE(TTempTree::Exists(tree.Path("trash/info/far.txt.trashinfo")));
    EXPECT_EQ(TTempTree::ReadFile(path), "far");
}

TEST_F(FreedesktopTrashTest, EntryOfATopdirTrashRecordsThePathGiven) {
    const std::string path = tree.File("disk/photos/a%b.jpg", "jpg");
    const std::string trash = tree.Folder("disk/.Trash-1000");
    ASSERT_TRUE(TrashFileInto(path, trash, "photos/a%b.jpg", 0).Trashed);
    EXPECT_EQ(InfoValue(TTempTree::ReadFile(trash + "info/a%b.jpg.trashinfo"), "Path"),
              "photos/a%25b.jpg");
    EXPECT_EQ(ModeOf(trash + "files") & 0777, 0700u);
    EXPECT_EQ(TTempTree::ReadFile(trash + "files/a%b.jpg"), "jpg");
}

TEST_F(FreedesktopTrashTest, VeryLongNameIsShortenedToFitTheInfoFileName) {
    const std::string name(250, 'n');
    const std::string path = tree.File(name, "long");
    const TTrashOutcome outcome = TrashFile(path);
    ASSERT_TRUE(outcome.Trashed) << outcome.Reason;
    const std::string slot(245, 'n');
    EXPECT_EQ(TTempTree::ReadFile(Trash("files/" + slot)), "long");
    EXPECT_EQ(InfoValue(TTempTree::ReadFile(Trash("info/" + slot + ".trashinfo")), "Path"), path);
}

// Where a mount keeps its trash, tried on a temporary folder standing for the mount's top.
class TopdirTrashTest : public ::testing::Test {
protected:
    std::string Choose() { return TopdirTrashFolder(top, uid, reason); }

    TTempTree tree;
    const std::string top = tree.Folder("top");
    const uid_t uid = ::getuid();
    const std::string own = top + ".Trash-" + std::to_string(uid);
    const std::string shared = top + ".Trash/" + std::to_string(uid);
    std::string reason;
};

TEST_F(TopdirTrashTest, WithoutASharedTrashTheUsersOwnFolderIsMadeWithMode0700) {
    EXPECT_EQ(Choose(), own) << reason;
    EXPECT_EQ(ModeOf(own) & 07777, 0700u);
}

TEST_F(TopdirTrashTest, StickySharedTrashHoldsAFolderPerUser) {
    ASSERT_EQ(::mkdir((top + ".Trash").c_str(), 01777), 0);
    ASSERT_EQ(::chmod((top + ".Trash").c_str(), 01777), 0);
    EXPECT_EQ(Choose(), shared) << reason;
    EXPECT_EQ(ModeOf(shared) & 07777, 0700u);
    EXPECT_FALSE(TTempTree::Exists(own));
}

TEST_F(TopdirTrashTest, SharedTrashWithoutTheStickyBitIsRefused) {
    ASSERT_EQ(::mkdir((top + ".Trash").c_str(), 0777), 0);
    ASSERT_EQ(::chmod((top + ".Trash").c_str(), 0777), 0);
    EXPECT_EQ(Choose(), own) << reason;
    EXPECT_FALSE(TTempTree::Exists(shared));
}

TEST_F(TopdirTrashTest, SharedTrashThatIsALinkIsRefused) {
    const std::string elsewhere = tree.Folder("elsewhere");
    ASSERT_EQ(::chmod(elsewhere.c_str(), 01777), 0);
    tree.Link("top/.Trash", elsewhere);
    EXPECT_EQ(Choose(), own) << reason;
    EXPECT_FALSE(TTempTree::Exists(elsewhere + std::to_string(uid)));
}

TEST_F(TopdirTrashTest, UsersFolderThatIsALinkIsRefused) {
    tree.Link("top/.Trash-" + std::to_string(uid), tree.Folder("elsewhere"));
    EXPECT_EQ(Choose(), "");
    EXPECT_NE(reason.find("is not a folder of the user's own"), std::string::npos) << reason;
}

TEST_F(TopdirTrashTest, AnotherUsersFolderIsRefused) {
    ASSERT_EQ(::mkdir(own.c_str(), 0700), 0);
    if (::chown(own.c_str(), uid + 1, uid + 1) != 0)
        GTEST_SKIP() << "only root can give a folder to another user";
    EXPECT_EQ(Choose(), "");
    EXPECT_NE(reason.find("is not a folder of the user's own"), std::string::npos) << reason;
}

TEST(MountTop, IsTheHighestFolderOnTheSameDevice) {
    TTempTree tree;
    const std::string folder = tree.Folder("a/b");
    const std::string top = MountTopOf(folder);
    struct stat inner {
    }, atTop{}, above{};
    ASSERT_EQ(::stat(folder.c_str(), &inner), 0);
    ASSERT_EQ(::stat(top.c_str(), &atTop), 0);
    EXPECT_EQ(atTop.st_dev, inner.st_dev) << top;
    if (top != "/") {
        ASSERT_EQ(::stat((top + "/..").c_str(), &above), 0);
        EXPECT_NE(above.st_dev, inner.st_dev) << top;
    }
    EXPECT_EQ(MountTopOf(tree.Path("missing")), "");
}

struct EncodeCase {
    std::string bytes;
    std::string encoded;
};

TEST(PercentEncodePath, EncodesEveryByteButUnreservedOnesAndSlashes) {
    const std::vector<EncodeCase> cases = {
        {"/home/a/plain-name_1.~txt", "/home/a/plain-name_1.~txt"},
        {"100%41 done.txt", "100%2541%20done.txt"},
        {"caf\xE9.bin", "caf%E9.bin"},
        {"caf\xC3\xA9", "caf%C3%A9"},
        {"a\nb#c?d", "a%0Ab%23c%3Fd"},
    };
    for (const EncodeCase& c : cases)
        EXPECT_EQ(PercentEncodePath(c.bytes), c.encoded) << c.bytes;
}

TEST(TrashInfoText, HoldsThePathAndTheLocalDeletionTime) {
    TScopedEnv zone("TZ", std::string("UTC0"));
    ::tzset();
    EXPECT_EQ(TrashInfoText("/a b", 86400 * 365 + 3723),
              "[Trash Info]\nPath=/a%20b\nDeletionDate=1971-01-01T01:02:03\n");
}

} // namespace
} // namespace parvex
