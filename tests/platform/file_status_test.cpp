#include "platform/file_status.h"
#include "support/folder_watch.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

TEST(EntryExists, SeesFilesFoldersAndDanglingLinksButNotMissingNames) {
    testing::TTempTree tree;
    tree.File("file", "x");
    tree.Folder("folder");
    tree.Link("dangling", tree.Path("nowhere"));
    EXPECT_TRUE(EntryExists(tree.Path("file")));
    EXPECT_TRUE(EntryExists(tree.Path("folder")));
    EXPECT_TRUE(EntryExists(tree.Path("dangling")));
    EXPECT_FALSE(EntryExists(tree.Path("nowhere")));
}

TEST(RegularFileSize, MeasuresRegularFilesOnly) {
    testing::TTempTree tree;
    tree.File("file", std::string(1234, 'x'));
    tree.File("empty");
    tree.Link("link", tree.Path("file"));
    tree.Folder("folder");
    tree.Fifo("fifo");
    EXPECT_EQ(RegularFileSize(tree.Path("file")), 1234);
    EXPECT_EQ(RegularFileSize(tree.Path("empty")), 0);
    EXPECT_EQ(RegularFileSize(tree.Path("link")), 0) << "a link is not followed";
    EXPECT_EQ(RegularFileSize(tree.Path("folder")), 0);
    EXPECT_EQ(RegularFileSize(tree.Path("fifo")), 0) << "a FIFO has no length to count";
    EXPECT_EQ(RegularFileSize(tree.Path("missing")), 0);
    EXPECT_EQ(RegularFileSize(std::string()), 0);
    EXPECT_EQ(RegularFileSize(tree.Path("file") + std::string(1, '\0') + "tail"), 0);
}

// Root may write anything, so the mode alone tells nothing here: the file's times do. Opening a
// file for writing and closing it leaves them as they were too, so the test also watches the
// folder for any access to the file.
TEST(RegularFileSize, MeasuresAReadOnlyFileWithoutOpeningIt) {
    testing::TTempTree tree;
    const std::string file = tree.File("readonly", std::string(600, 'r'), 1600000000);
    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    const testing::TFolderWatch watch(tree.Root());

    EXPECT_EQ(RegularFileSize(file), 600);

    EXPECT_FALSE(watch.SawAccess()) << "the file was opened";
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
    EXPECT_EQ(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
    EXPECT_EQ(after.st_ctim.tv_sec, before.st_ctim.tv_sec);
    EXPECT_EQ(after.st_ctim.tv_nsec, before.st_ctim.tv_nsec);
}

} // namespace
} // namespace parvex
