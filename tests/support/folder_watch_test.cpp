#include "support/folder_watch.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex::testing {
namespace {

TEST(FolderWatch, SeesAFileOpenedForReadingButNotALookAtIt) {
    TTempTree tree;
    const std::string file = tree.File("file", "content");
    {
        const TFolderWatch watch(tree.Root());
        struct stat facts {};
        ASSERT_EQ(::lstat(file.c_str(), &facts), 0);
        EXPECT_FALSE(watch.SawAccess());
    }
    const TFolderWatch watch(tree.Root());
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    ::close(fd);
    EXPECT_TRUE(watch.SawAccess());
}

} // namespace
} // namespace parvex::testing
