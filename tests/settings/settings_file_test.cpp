#include "settings/settings_file.h"
#include "support/temp_tree.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace parvex {
namespace {

using TKind = TSettingsFileRead::TKind;
using testing::TTempTree;

class SettingsFileTest : public ::testing::Test {
protected:
    TTempTree tree;
};

TEST_F(SettingsFileTest, ReadsOnlyRegularFilesUpTo64MiB) {
    const struct {
        const char* what;
        std::string name;
        TKind kind;
        std::string reason;
    } cases[] = {
        {"missing", "missing.set", TKind::Missing, ""},
        {"regular", tree.File("regular.set", std::string("<A/>\0x", 6)), TKind::Read, ""},
        {"link to a regular file", "link.set", TKind::Read, ""},
        {"folder", tree.Folder("folder.set"), TKind::NotRegular, "not a regular file"},
        {"link to a device", "device.set", TKind::NotRegular, "not a regular file"},
        {"broken link", "broken.set", TKind::NotRegular, "a symbolic link to nothing"},
        {"too large", tree.SparseFile("large.set", (64LL << 20) + 1, 'x'), TKind::Unreadable,
         "larger than 64 MiB"},
        {"below a file", tree.Path("regular.set/below"), TKind::Unreadable, "Not a directory"},
    };
    tree.Link("link.set", tree.Path("regular.set"));
    tree.Link("device.set", "/dev/null");
    tree.Link("broken.set", tree.Path("nowhere"));
    for (const auto& c : cases) {
        const std::string path = c.name.front() == '/' ? c.name : tree.Path(c.name);
        const TSettingsFileRead read = ReadSettingsFile(path);
        EXPECT_EQ(read.Kind, c.kind) << c.what;
        EXPECT_EQ(read.Reason, c.reason) << c.what;
        EXPECT_EQ(read.Bytes, c.kind == TKind::Read ? std::string("<A/>\0x", 6) : "") << c.what;
    }
    EXPECT_EQ(ReadSettingsFile(tree.SparseFile("limit.set", 64LL << 20, 'y')).Bytes.size(),
              std::size_t{64} << 20)
        << "exactly 64 MiB is still read";
}

// Should the FIFO ever be opened for reading, the helper's writing end meets it and is closed
// at once: the read then ends instead of hanging, and the test fails.
TEST_F(SettingsFileTest, AFifoIsNeverOpened) {
    tree.Fifo("fifo.set");
    const std::string fifo = tree.Path("fifo.set");
    std::thread writer([&fifo] {
        const int end = open(fifo.c_str(), O_WRONLY | O_CLOEXEC);
        if (end >= 0) {
            close(end);
        }
    });
    const TSettingsFileRead read = ReadSettingsFile(fifo);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC); // frees the helper
    writer.join();
    close(reader);
    EXPECT_EQ(read.Kind, TKind::NotRegular);
    EXPECT_EQ(read.Reason, "not a regular file");
    std::string reason;
    EXPECT_FALSE(MayReplaceSettingsFile(fifo, reason));
    EXPECT_FALSE(IsRegularFileOrMissing(fifo));
}

TEST_F(SettingsFileTest, KeptCopiesMoveOnAndTheOldestGoes) {
    const std::string file = tree.Path("parvex.set");
    std::string reason;
    for (const char* content : {"1", "2", "3", "4"}) {
        tree.File("parvex.set", content);
        EXPECT_TRUE(KeepUnreadableFile(file, reason)) << content;
        EXPECT_FALSE(NameTaken(file)) << content;
    }
    EXPECT_EQ(TTempTree::ReadFile(file + ".bad"), "4");
    EXPECT_EQ(TTempTree::ReadFile(file + ".bad.1"), "3");
    EXPECT_EQ(TTempTree::ReadFile(file + ".bad.2"), "2");
    EXPECT_FALSE(NameTaken(file + ".bad.3"));

    EXPECT_FALSE(KeepUnreadableFile(file, reason)) << "nothing to keep";
    EXPECT_EQ(reason, "No such file or directory");
}

TEST_F(SettingsFileTest, ASaveReplacesARegularFileOrAMissingNameInAWritableFolder) {
    tree.File("regular.set");
    tree.Link("link.set", tree.Path("regular.set"));
    tree.Link("broken.set", tree.Path("nowhere"));
    tree.Folder("folder.set");
    std::string reason;
    EXPECT_TRUE(MayReplaceSettingsFile(tree.Path("regular.set"), reason));
    EXPECT_TRUE(MayReplaceSettingsFile(tree.Path("link.set"), reason));
    EXPECT_TRUE(MayReplaceSettingsFile(tree.Path("missing.set"), reason));
    EXPECT_FALSE(MayReplaceSettingsFile(tree.Path("broken.set"), reason));
    EXPECT_EQ(reason, "a symbolic link to nothing");
    EXPECT_FALSE(MayReplaceSettingsFile(tree.Path("folder.set"), reason));
    EXPECT_EQ(reason, "not a regular file");
    EXPECT_FALSE(MayReplaceSettingsFile(tree.Path("gone/missing.set"), reason));
    EXPECT_EQ(reason, "No such file or directory");

    EXPECT_TRUE(IsRegularFileOrMissing(tree.Path("link.set")));
    EXPECT_TRUE(IsRegularFileOrMissing(tree.Path("missing.set")));
    EXPECT_FALSE(IsRegularFileOrMissing(tree.Path("broken.set")));
    EXPECT_TRUE(NameTaken(tree.Path("broken.set")));
}

} // namespace
} // namespace parvex
