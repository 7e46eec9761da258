#include "_compearer/compearer_core.h"
#include "engine/column_rows.h"
#include "engine/event_log.h"
#include "support/child_process.h"
#include "support/temp_tree.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>

namespace parvex {
namespace {

using testing::TEventLog;
using testing::TTempTree;
using TLines = std::vector<std::string>;

// One file is one row however many patterns or names lead to it, and never a duplicate of
// itself.
class OneFile : public ::testing::Test {
protected:
    TLines Search(const std::string& masks) {
        log.Search(core, tree.Root() + masks);
        return log.Found();
    }
    std::string File(const std::string& relative, const std::string& content) {
        return tree.File(relative, content, 1600000000);
    }

    TTempTree tree;
    TCompearerCore core;
    TEventLog log;
};

TEST_F(OneFile, OverlappingMasksGiveOneRowAndNoGroup) {
    const std::string a = File("a.txt", "only copy");
    EXPECT_TRUE(Search("*.txt;*.t*").empty());
    EXPECT_EQ(testing::ColumnRows(core.FilePaths), std::vector<std::string>{a});
    EXPECT_EQ(core.Figures.FilesCollected, 1);
}

TEST_F(OneFile, HardLinksAreNeverAGroupWithEachOther) {
    File("a.txt", "only copy");
    tree.HardLink("sub/b.txt", "a.txt");
    tree.HardLink("c.txt", "a.txt");
    EXPECT_TRUE(Search("*.*").empty());
    ASSERT_EQ(core.FilePaths.size(), 1U);
    EXPECT_EQ(core.FileLinks.NamesFound(0), 3U);
    EXPECT_EQ(core.FileLinks.LinkCount(0), 3U);
}

TEST_F(OneFile, AHardLinkedFileAndACopyAreAGroupOfTwo) {
    const std::string a = File("a.txt", "body"), copy = File("sub/copy.txt", "body");
    tree.HardLink("sub/deeper/b.txt", "a.txt");
    EXPECT_EQ(Search("*.txt"), (TLines{"group a.txt", "file " + a, "file " + copy}));
}

TEST_F(OneFile, EveryFileOfACandidateSetIsReadOnce) {
    const std::string body(100000, 'b');
    File("a.txt", body);
    tree.HardLink("b.txt", "a.txt");
    tree.HardLink("sub/c.txt", "a.txt");
    File("sub/copy.txt", body);
    EXPECT_EQ(Search("*.txt;*.t*").size(), 3U);
    EXPECT_EQ(core.Figures.ContentBytesRead, 2 * std::int64_t(body.size()));
}

TEST_F(OneFile, UnderTheNameKeyTheRowsNameDecides) {
    core.SetKeys({.Name = true, .Size = false, .Time = false, .Content = false});
    const std::string a = File("a.txt", "1"), other = File("sub/other.txt", "2");
    tree.HardLink("sub/deeper/other.txt", "a.txt");
    // The link's name equals the other file's, but the row's name is a.txt.
    EXPECT_TRUE(Search("*.txt").empty());
}

// A second path to one inode without a second link: a bind mount, made in a mount namespace of
// a child process so that nothing outside sees it.
TEST_F(OneFile, ABindMountIsOneFileWithTheFolderItMirrors) {
    const std::string a = File("data/a.txt", "only copy");
    tree.Folder("mirror");
    const auto enterNamespace = [&]() -> std::string {
        if (::unshare(CLONE_NEWNS) != 0 && ::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            return std::string("no mount namespace here: ") + std::strerror(errno);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(tree.Path("data").c_str(), tree.Path("mirror").c_str(), nullptr, MS_BIND,
                    nullptr) != 0)
            return std::string("no bind mount here: ") + std::strerror(errno);
        return {};
    };
    const testing::TChildRun run = testing::RunInChild(enterNamespace, [&] {
        std::string out;
        for (const std::string& line : Search("*.txt"))
            out += line + "\n";
        out += "rows " + std::to_string(core.FilePaths.size());
        out +=
            " names " + std::to_string(core.FilePaths.empty() ? 0 : core.FileLinks.NamesFound(0));
        return out;
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "rows 1 names 2");
}

} // namespace
} // namespace parvex
