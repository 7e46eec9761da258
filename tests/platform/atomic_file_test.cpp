#include "platform/atomic_file.h"
#include "support/temp_tree.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::path(tree.Root()).parent_path(); // without the final "/"
        file = tree.Path("doc");
    }
    std::string Read() const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    int EntryCount() const {
        return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
    }
    testing::TTempTree tree;
    fs::path folder;
    std::string file;
};

TEST_F(AtomicFileTest, CreatesAndReplacesWithoutLeftovers) {
    ASSERT_TRUE(WriteFileAtomically(file, "first, longer content"));
    EXPECT_EQ(Read(), "first, longer content");
    chmod(file.c_str(), 0604);
    ASSERT_TRUE(WriteFileAtomically(file, std::string_view("se\0cond", 7)));
    EXPECT_EQ(Read(), std::string("se\0cond", 7));
    struct stat info {};
    ASSERT_EQ(stat(file.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0604u) << "the replaced file's permissions are kept";
    ASSERT_TRUE(WriteFileAtomically(file, ""));
    EXPECT_EQ(fs::file_size(file), 0u);
    EXPECT_EQ(EntryCount(), 1);
}

TEST_F(AtomicFileTest, FailureLeavesEverythingAsItWas) {
    ASSERT_TRUE(WriteFileAtomically(file, "old"));
    fs::create_directories(folder / "busy" / "inside");
    EXPECT_FALSE(WriteFileAtomically((folder / "busy").string(), "new"));
    errno = 0;
    EXPECT_FALSE(WriteFileAtomically((folder / "missing" / "doc").string(), "new"));
    EXPECT_EQ(errno, ENOENT) << "errno tells why";
    EXPECT_EQ(Read(), "old");
    EXPECT_EQ(EntryCount(), 2) << "no temporary file is left behind";
}

TEST_F(AtomicFileTest, ASymbolicLinkStaysAndItsTargetIsReplaced) {
    fs::create_directory(folder / "real");
    const fs::path target = folder / "real" / "doc";
    ASSERT_TRUE(WriteFileAtomically(target.string(), "old"));
    fs::create_symlink(target, file);
    ASSERT_TRUE(WriteFileAtomically(file, "new"));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(Read(), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder / "real"), {}), 1);
}

} // namespace
} // namespace parvex
