// Whether a file of a result lies inside its search's start folder: by the text of its path,
// and on disk, where a folder on the way may lead elsewhere through a link.

#include "result_file/start_folder_bounds.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace {

using parvex::InsideStartFolderByText;
using parvex::InsideStartFolderOnDisk;

TEST(StartFolderBoundsTest, APathIsInsideByTextOnlyBelowTheStartFolderWithPlainComponents) {
    const struct {
        const char* Start;
        const char* Path;
        bool Inside;
    } cases[] = {
        {"/t/", "/t/a", true},
        {"/t/", "/t/b/c/d.jpg", true},
        {"/t", "/t/a", true},
        {"/", "/a/b", true},
        {"/home/u/./t/", "/home/u/./t/a", true},
        {"/t/", "/t/.hidden/a..b", true},
        {"/t/", "/tx/a", false},
        {"/t", "/tx/a", false},
        {"/t/", "/t/../old/a.jpg", false},
        {"/t/", "/t/b/../../a", false},
        {"/t/", "/t/./a", false},
        {"/t/", "/t//a", false},
        {"/t/", "/t/b/", false},
        {"/t/", "/t/", false},
        {"/t/", "/u/a", false},
        {"", "/t/a", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InsideStartFolderByText(c.Start, c.Path), c.Inside)
            << c.Path << " in " << c.Start;
}

TEST(StartFolderBoundsTest, OnDiskAFolderThatLeadsElsewhereIsOutside) {
    parvex::testing::TTempTree tree;
    tree.File("start/a/one.txt", "1");
    tree.File("elsewhere/two.txt", "2");
    tree.Link("start/away", tree.Path("elsewhere"));
    tree.Link("start/inner", tree.Path("start/a"));
    const std::string start = tree.Path("start/");
    EXPECT_TRUE(InsideStartFolderOnDisk(start, tree.Path("start/a/one.txt")));
    EXPECT_TRUE(InsideStartFolderOnDisk(start, tree.Path("start/inner/one.txt")));
    EXPECT_FALSE(InsideStartFolderOnDisk(start, tree.Path("start/away/two.txt")));
    EXPECT_FALSE(InsideStartFolderOnDisk(start, tree.Path("start/gone/one.txt")));
    EXPECT_FALSE(InsideStartFolderOnDisk(start, tree.Path("start/../elsewhere/two.txt")));
}

} // namespace
