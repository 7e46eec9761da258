#include "platform/file_status.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <string>

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

TEST(WritableFileSize, MeasuresRegularFilesOnly) {
    testing::TTempTree tree;
    tree.File("file", std::string(1234, 'x'));
    tree.File("empty");
    tree.Link("link", tree.Path("file"));
    tree.Folder("folder");
    tree.Fifo("fifo");
    EXPECT_EQ(WritableFileSize(tree.Path("file")), 1234);
    EXPECT_EQ(WritableFileSize(tree.Path("empty")), 0);
    EXPECT_EQ(WritableFileSize(tree.Path("link")), 0) << "a link is not followed";
    EXPECT_EQ(WritableFileSize(tree.Path("folder")), 0);
    EXPECT_EQ(WritableFileSize(tree.Path("fifo")), 0) << "a FIFO is never opened";
    EXPECT_EQ(WritableFileSize(tree.Path("missing")), 0);
    EXPECT_EQ(WritableFileSize(std::string()), 0);
    EXPECT_EQ(WritableFileSize(tree.Path("file") + std::string(1, '\0') + "tail"), 0);
}

} // namespace
} // namespace parvex
