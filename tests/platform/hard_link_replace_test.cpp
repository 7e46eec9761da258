// Replacing a duplicate by a hard link to the kept copy.
#include "platform/hard_link_replace.h"
#include "support/temp_tree.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;

ino_t InodeOf(const std::string& path) {
    struct stat facts {};
    return ::stat(path.c_str(), &facts) == 0 ? facts.st_ino : 0;
}

int EntriesIn(const std::string& folder) {
    int count = 0;
    if (DIR* dir = ::opendir(folder.c_str())) {
        while (const dirent* entry = ::readdir(dir))
            count +=
                entry->d_name[0] == '.' && (entry->d_name[1] == '\0' ||
                                            (entry->d_name[1] == '.' && entry->d_name[2] == '\0'))
                    ? 0
                    : 1;
        ::closedir(dir);
    }
    return count;
}

TEST(HardLinkReplaceTest, TheDuplicateBecomesANameOfTheKeptCopyAndNoTemporaryStays) {
    TTempTree tree;
    const std::string kept = tree.File("a/kept", "same");
    const std::string duplicate = tree.File("b/duplicate", "same");
    const TLinkOutcome outcome = ReplaceWithHardLink(kept, duplicate);
    EXPECT_TRUE(outcome.Linked) << outcome.Reason;
    EXPECT_EQ(InodeOf(kept), InodeOf(duplicate));
    EXPECT_EQ(EntriesIn(tree.Path("b")), 1);
}

TEST(HardLinkReplaceTest, AFailureLeavesTheDuplicateAsItWas) {
    TTempTree tree;
    const std::string duplicate = tree.File("b/duplicate", "same");
    const ino_t before = InodeOf(duplicate);
    const TLinkOutcome outcome = ReplaceWithHardLink(tree.Path("missing"), duplicate);
    EXPECT_FALSE(outcome.Linked);
    EXPECT_FALSE(outcome.Reason.empty());
    EXPECT_EQ(InodeOf(duplicate), before);
    EXPECT_EQ(TTempTree::ReadFile(duplicate), "same");
}

TEST(HardLinkReplaceTest, AnotherFileSystemIsRefused) {
    TTempTree other("/dev/shm");
    TTempTree tree;
    const std::string kept = other.File("kept", "same");
    const std::string duplicate = tree.File("duplicate", "same");
    if (TTempTree::SameFileSystem(kept, duplicate))
        GTEST_SKIP() << "/dev/shm is on the file system of the temporary folder here";
    const auto before = InodeOf(duplicate);
    const TLinkOutcome outcome = ReplaceWithHardLink(kept, duplicate);
    EXPECT_FALSE(outcome.Linked);
    EXPECT_EQ(outcome.Reason, "the kept copy is on another file system");
    EXPECT_EQ(InodeOf(duplicate), before);
}

} // namespace
} // namespace parvex
