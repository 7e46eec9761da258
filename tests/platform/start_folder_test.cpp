#include "platform/start_folder.h"
#include "support/child_process.h"
#include "support/temp_tree.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;

std::string Described(const TStartFolderCheck& check) {
    static const char* const names[] = {"none", "missing", "not a folder", "unreachable",
                                        "unlistable"};
    return std::string(names[static_cast<int>(check.Problem)]) + " " + std::to_string(check.Error);
}

std::string Checked(const std::string& folder) {
    return Described(CheckStartFolder(folder));
}

TEST(CheckStartFolder, FoldersAndLinksToFoldersCanBeSearched) {
    TTempTree tree;
    const std::string folder = tree.Folder("start");
    tree.Link("link", folder);
    EXPECT_EQ(Checked(folder), "none 0");
    EXPECT_EQ(Checked(tree.Path("link/")), "none 0");
    EXPECT_EQ(Checked("/"), "none 0");
}

TEST(CheckStartFolder, MissingNamesAndDanglingLinksAreMissing) {
    TTempTree tree;
    tree.Link("dangling", tree.Path("nowhere"));
    EXPECT_EQ(Checked(tree.Path("missing/")), "missing " + std::to_string(ENOENT));
    EXPECT_EQ(Checked(tree.Path("missing/deeper/")), "missing " + std::to_string(ENOENT));
    EXPECT_EQ(Checked(tree.Path("dangling/")), "missing " + std::to_string(ENOENT));
    EXPECT_EQ(Checked(tree.Root() + std::string(1, '\0') + "x/"),
              "missing " + std::to_string(ENOENT));
}

TEST(CheckStartFolder, FilesAndPathsThroughAFileAreNoFolders) {
    TTempTree tree;
    const std::string file = tree.File("file.txt", "x");
    EXPECT_EQ(Checked(file + "/"), "not a folder " + std::to_string(ENOTDIR));
    EXPECT_EQ(Checked(file + "/below/"), "not a folder " + std::to_string(ENOTDIR));
}

TEST(CheckStartFolder, NamesThatCannotBeLookedUpAreUnreachable) {
    TTempTree tree;
    tree.Link("loop", tree.Path("loop"));
    EXPECT_EQ(Checked(tree.Path("loop/")), "unreachable " + std::to_string(ELOOP));
    EXPECT_EQ(Checked(tree.Path(std::string(300, 'n') + "/")),
              "unreachable " + std::to_string(ENAMETOOLONG));
}

// Root lists any folder, so the check runs as a user without privileges.
TEST(CheckStartFolder, AFolderThatCannotBeListedOrReachedSaysWhy) {
    TTempTree tree;
    const std::string closed = tree.Folder("closed");
    const std::string inner = tree.Folder("closed/inner");
    ASSERT_EQ(::chmod(tree.Root().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(closed.c_str(), 0), 0);
    const testing::TChildRun run = testing::RunInChild(
        testing::DropPrivileges, [&] { return Checked(closed) + ", " + Checked(inner); });
    ::chmod(closed.c_str(), 0755);
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output,
              "unlistable " + std::to_string(EACCES) + ", unreachable " + std::to_string(EACCES));
}

} // namespace
} // namespace parvex
