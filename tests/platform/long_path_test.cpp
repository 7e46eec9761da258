#include "platform/long_path.h"
#include "platform/unique_fd.h"
#include "support/temp_tree.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::TTempTree;

std::string ReadAll(int fd) {
    std::string text;
    char buffer[256];
    for (ssize_t count; (count = ::read(fd, buffer, sizeof buffer)) > 0;)
        text.append(buffer, std::size_t(count));
    return text;
}

TEST(LongPath, OpensAShortPathAsOpenDoes) {
    TTempTree tree;
    const std::string path = tree.File("a.txt", "short");
    TUniqueFd fd(OpenLongPath(path, O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd);
    EXPECT_EQ(ReadAll(fd.Get()), "short");
}

TEST(LongPath, OpensAFileWhosePathIsLongerThanPathMax) {
    TTempTree tree(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "");
    const std::string path = tree.DeepFile("deep", "folder", 800, "bottom.txt", "deep");
    ASSERT_GT(path.size(), std::size_t(PATH_MAX));
    TUniqueFd fd(OpenLongPath(path, O_RDONLY | O_CLOEXEC));
    ASSERT_TRUE(fd) << std::strerror(errno);
    EXPECT_EQ(ReadAll(fd.Get()), "deep");
    EXPECT_LT(OpenLongPath(path + "-missing", O_RDONLY | O_CLOEXEC), 0);
    EXPECT_EQ(errno, ENOENT);
}

} // namespace
} // namespace parvex
