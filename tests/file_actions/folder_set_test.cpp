// Folders matched by identity: the real path of a file's folder against the real paths of the
// folders, whatever the spelling of either.
#include "file_actions/folder_set.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TTempTree;

TEST(FolderSetTest, AFileIsHeldWhenItsFolderLiesUnderAFolderOfTheSetHoweverSpelled) {
    TTempTree tree;
    tree.File("photos/a.jpg");
    tree.File("photos/2024/b.jpg");
    tree.File("photos-old/c.jpg");
    tree.File("other/d.jpg");
    tree.Link("through-link", "photos");
    tree.Link("other/up", "..");
    const struct {
        std::string Folder;
        std::string File;
        bool Held;
    } cases[] = {
        {tree.Path("photos"), tree.Path("photos/a.jpg"), true},
        {tree.Path("photos/"), tree.Path("photos/2024/b.jpg"), true},
        {tree.Root() + "./photos//", tree.Path("photos/a.jpg"), true},
        {tree.Path("through-link"), tree.Path("photos/2024/b.jpg"), true},
        {tree.Path("photos"), tree.Path("through-link/a.jpg"), true},
        {tree.Path("photos"), tree.Path("other/up/photos/a.jpg"), true},
        {tree.Path("photos"), tree.Path("photos-old/c.jpg"), false},
        {tree.Path("photos/2024"), tree.Path("photos/a.jpg"), false},
        {tree.Path("photos"), tree.Path("other/d.jpg"), false},
        {tree.Path("missing"), tree.Path("missing/e.jpg"), false},
    };
    for (const auto& c : cases) {
        TRealFolders real;
        const TFolderSet set({c.Folder}, real);
        EXPECT_EQ(set.Holds(c.File, real), c.Held) << c.Folder << " holding " << c.File;
    }
}

} // namespace
} // namespace parvex
