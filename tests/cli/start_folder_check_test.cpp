// The start folder must be an existing folder before a search begins.

#include "cli/cli_options.h"
#include "cli/start_folder_check.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using parvex::RequireStartFolder;

std::string UsageErrorOf(const std::string& folder) {
    try {
        RequireStartFolder(folder);
    } catch (const parvex::ECliUsageError& error) {
        return error.what();
    }
    return "";
}

TEST(CliStartFolderCheckTest, FoldersAndLinksToFoldersAreAccepted) {
    parvex::testing::TTempTree tree;
    const std::string folder = tree.Folder("start");
    tree.Link("link", folder);
    EXPECT_EQ(UsageErrorOf(folder), "");
    EXPECT_EQ(UsageErrorOf(tree.Path("link/")), "");
    EXPECT_EQ(UsageErrorOf("/"), "");
}

TEST(CliStartFolderCheckTest, MissingFoldersAndFilesAreRefusedByName) {
    parvex::testing::TTempTree tree;
    const std::string file = tree.File("file.txt", "x");
    const std::string missing = tree.Path("missing/");
    EXPECT_EQ(UsageErrorOf(missing), "start folder '" + missing + "' does not exist");
    EXPECT_EQ(UsageErrorOf(file + "/"), "start folder '" + file + "/' is not a folder");
    EXPECT_EQ(UsageErrorOf(file + "/below/"), "start folder '" + file + "/below/' is not a folder");
    tree.Link("dangling", tree.Path("nowhere"));
    EXPECT_EQ(UsageErrorOf(tree.Path("dangling/")),
              "start folder '" + tree.Path("dangling/") + "' does not exist");
}

} // namespace
