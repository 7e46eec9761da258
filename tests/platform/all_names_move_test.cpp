// Moving every name of a file into a folder, on one file system and across two.
#include "platform/all_names_move.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace parvex {
namespace {

using testing::TTempTree;

struct stat Facts(const std::string& path) {
    struct stat facts {};
    ::lstat(path.c_str(), &facts);
    return facts;
}

TEST(MoveAllNamesTest, TheFileArrivesWithAllItsNamesAsOneFileAndLeavesNoNameBehind) {
    TTempTree tree;
    TTempTree shm("/dev/shm");
    for (const bool across : {false, true}) {
        const std::string folder = across ? shm.Folder("to") : tree.Folder("to");
        if (across && TTempTree::SameFileSystem(tree.Root(), shm.Root()))
            continue; // no second file system to cross to
        const std::string first = tree.File("a/pic.jpg", "the bytes");
        const std::string second = tree.HardLink("b/pic.jpg", "a/pic.jpg");
        const std::string third = tree.HardLink("c/other.jpg", "a/pic.jpg");
        const TNamesMove moved = MoveAllNames({first, second, third}, folder);
        ASSERT_TRUE(moved.Moved) << moved.Reason;
        EXPECT_EQ(moved.Targets,
                  (std::vector<std::string>{folder + "pic.jpg", folder + "pic (2).jpg",
                                            folder + "other.jpg"}))
            << "across: " << across;
        for (const std::string& name : {first, second, third})
            EXPECT_FALSE(TTempTree::Exists(name)) << name;
        for (const std::string& target : moved.Targets) {
            EXPECT_EQ(TTempTree::ReadFile(target), "the bytes") << target;
            EXPECT_EQ(Facts(target).st_ino, Facts(moved.Targets[0]).st_ino) << target;
            EXPECT_EQ(Facts(target).st_nlink, 3u) << target;
        }
    }
}

} // namespace
} // namespace parvex
