#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex::testing {
namespace {

// Makes `depth` nested folders "d" below `folder`, each reached through its parent's
// descriptor, since their paths outgrow PATH_MAX; returns whether every one was made.
bool MakeNestedFolders(const std::string& folder, int depth) {
    int parent = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (int level = 0; parent >= 0 && level < depth; ++level) {
        const int child = ::mkdirat(parent, "d", 0755) == 0
                              ? ::openat(parent, "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                              : -1;
        ::close(parent);
        parent = child;
    }
    if (parent < 0)
        return false;
    ::close(parent);
    return true;
}

TEST(TempTree, CreatesWhatTheTestAsksFor) {
    TTempTree tree;
    EXPECT_EQ(tree.Root().back(), '/');
    const std::string file = tree.File("a/b/c.txt", "content");
    EXPECT_EQ(TTempTree::ReadFile(file), "content");
    EXPECT_EQ(tree.Folder("e/f"), tree.Path("e/f/"));
    tree.Link("a/link", "b/c.txt");
    tree.Fifo("a/fifo");
    tree.SetTime("a/b/c.txt", 1'000'000'000);
    struct stat info {};
    ASSERT_EQ(::lstat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mtime, 1'000'000'000);
    ASSERT_EQ(::lstat(tree.Path("a/fifo").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    EXPECT_TRUE(TTempTree::Exists(tree.Path("a/link")));
    EXPECT_FALSE(TTempTree::Exists(tree.Path("a/none")));
    EXPECT_EQ(TTempTree::ReadFile(tree.Path("a/none")), "");
}

TEST(TempTree, RemovesATreeDeeperThanPathMax) {
    std::string root;
    {
        TTempTree tree;
        root = tree.Root();
        ASSERT_TRUE(MakeNestedFolders(tree.Root(), 3000));
        tree.File("beside.txt", "x");
    }
    EXPECT_FALSE(TTempTree::Exists(root)) << root;
}

TEST(TempTree, RemovesUnreadableFoldersAndReadOnlyFiles) {
    std::string root;
    {
        TTempTree tree;
        root = tree.Root();
        tree.File("locked/inner/file.txt", "x");
        const std::string readOnly = tree.File("locked/read-only.txt", "y");
        ASSERT_EQ(::chmod(readOnly.c_str(), 0400), 0);
        ASSERT_EQ(::chmod(tree.Path("locked/inner").c_str(), 0), 0);
        ASSERT_EQ(::chmod(tree.Path("locked").c_str(), 0), 0);
        ASSERT_EQ(::chmod(tree.Root().c_str(), 0500), 0);
    }
    EXPECT_FALSE(TTempTree::Exists(root)) << root;
}

TEST(TempTree, RemovesLinksWithoutFollowingThem) {
    TTempTree outside;
    const std::string kept = outside.File("kept.txt", "kept");
    {
        TTempTree tree;
        tree.Link("to-file", kept);
        tree.Link("to-folder", outside.Root());
    }
    EXPECT_EQ(TTempTree::ReadFile(kept), "kept");
}

} // namespace
} // namespace parvex::testing
