#include "_compearer/compearer_core.h"
#include "engine/column_rows.h"
#include "engine/event_log.h"
#include "support/child_process.h"
#include "support/temp_tree.h"

#include <climits>
#include <cstdio>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::TEventLog;
using testing::TTempTree;
using TLines = std::vector<std::string>;

// A tree that changes under the walk, a tree deeper than any path may be long, a process with
// few descriptors: the search finds what is there and nothing outside its start folder.
class HostileTree : public ::testing::Test {
protected:
    void Search(const std::string& spec) { log.Search(core, spec); }
    static std::string Joined(const TLines& lines) { return TEventLog::Joined(lines); }
    // Runs `body` in a child process that may hold at most `limit` descriptors.
    static testing::TChildRun WithDescriptorLimit(rlim_t limit,
                                                  const std::function<std::string()>& body) {
        return testing::RunInChild(
            [limit]() -> std::string {
                const rlimit low{limit, limit};
                return ::setrlimit(RLIMIT_NOFILE, &low) == 0 ? "" : "cannot lower the limit";
            },
            body);
    }

    // Once the walk asks about `asked`, the folder `swapped` (relative to the tree) moves away
    // and a link to the outside folder takes its place.
    void SwapForALinkWhenAsked(const std::string& asked, const std::string& swapped) {
        log.Attach(core);
        core.OnCheckFolder = [this, asked, swapped,
                              check = core.OnCheckFolder](const std::string& path, bool& allowed) {
            check(path, allowed);
            if (path != tree.Path(asked))
                return;
            ASSERT_EQ(std::rename(tree.Path(swapped).c_str(), tree.Path("moved").c_str()), 0);
            tree.Link(swapped, outside.Root());
        };
        core.SearchSpec = tree.Path("start/") + "*.txt";
        core.Start();
    }

    TTempTree tree;
    TTempTree outside;
    TCompearerCore core;
    TEventLog log;
};

TEST_F(HostileTree, AFolderSwappedForALinkDuringTheWalkLeadsNowhereOutside) {
    tree.File("start/a/b/inside.txt", "x");
    outside.File("b/secret.txt", "x");
    outside.File("secret.txt", "x");
    core.SetKeys({.Name = false, .Size = false, .Time = false, .Content = false});
    // a/ becomes a link to the outside folder, which has a b/ of its own, while the walk is
    // about to enter a/b/.
    SwapForALinkWhenAsked("start/a/b/", "start/a");
    for (const std::string& path : core.FilePaths)
        EXPECT_EQ(path.find("secret"), std::string::npos) << path;
    EXPECT_EQ(testing::ColumnRows(core.FilePaths),
              std::vector<std::string>{tree.Path("start/a/b/inside.txt")});
}

TEST_F(HostileTree, ALinkInPlaceOfAListedFolderIsNotEntered) {
    tree.File("start/sub/inside.txt", "x");
    outside.File("secret.txt", "x");
    SwapForALinkWhenAsked("start/sub/", "start/sub");
    EXPECT_TRUE(core.FilePaths.empty());
    EXPECT_TRUE(log.Skipped().empty());
}

TEST_F(HostileTree, FilesThreeThousandLevelsDeepAreFoundAndCompared) {
    // On tmpfs: a journalled file system takes seconds to remove such a tree.
    TTempTree memoryTree(::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "");
    const std::string top = memoryTree.File("top.txt", "same");
    const std::string deep = memoryTree.DeepFile("deep", "d", 3000, "bottom.txt", "same");
    ASSERT_GT(deep.size(), std::size_t(PATH_MAX));
    core.SetKeys({.Name = false, .Size = true, .Time = false, .Content = true});
    Search(memoryTree.Root() + "*.txt");
    EXPECT_EQ(log.Found(), (TLines{"group top.txt", "file " + top, "file " + deep}));
    EXPECT_TRUE(log.Skipped().empty());
}

TEST_F(HostileTree, ThreeHundredIdenticalFilesFormOneGroupWithSixteenDescriptors) {
    for (int i = 0; i < 300; ++i)
        tree.File("f" + std::to_string(i % 10) + "/" + std::to_string(i), "same body");
    core.SetKeys({.Name = false, .Size = true, .Time = false, .Content = true});
    const testing::TChildRun run = WithDescriptorLimit(16, [&] {
        Search(tree.Root() + "*");
        return std::to_string(log.Found().size()) + " lines\n" + Joined(log.Skipped());
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "301 lines\n");
}

TEST_F(HostileTree, ADeepBushyTreeWithFewDescriptorsIsWalkedInTheSameOrder) {
    // Every level holds a file and two subfolders, so the walk comes back to many ancestors
    // whose descriptors the budget had to close.
    std::string level;
    for (int depth = 0; depth < 60; ++depth) {
        tree.File(level + "file" + std::to_string(depth), std::to_string(depth % 7));
        tree.File(level + "side/leaf", "leaf");
        level += "down/";
    }
    core.SetKeys({.Name = false, .Size = true, .Time = false, .Content = true});
    Search(tree.Root() + "*");
    ASSERT_FALSE(core.FilePaths.empty());
    const std::string expected = Joined(log.Lines);
    const testing::TChildRun run = WithDescriptorLimit(12, [&] {
        log.Lines.clear();
        Search(tree.Root() + "*");
        return Joined(log.Lines);
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, expected);
}

// However many threads are asked for under a limit of 20 descriptors, the search raises the
// events one thread raises: the readers and read-ahead threads that run share the process's
// descriptors, and no file or folder is lost for lack of one.
TEST_F(HostileTree, EveryThreadCountUnderALimitOfTwentyDescriptorsFindsWhatOneThreadFinds) {
    for (int folder = 0; folder < 24; ++folder)
        for (int file = 0; file < 8; ++file)
            tree.File("d" + std::to_string(folder) + "/s/f" + std::to_string(file),
                      "body " + std::to_string((folder * 8 + file) % 41));
    core.SetKeys({.Name = false, .Size = true, .Time = false, .Content = true});
    core.Threads = 1;
    Search(tree.Root() + "*");
    ASSERT_TRUE(log.Skipped().empty()) << Joined(log.Skipped());
    const std::string expected = Joined(log.Lines);
    const testing::TChildRun run = WithDescriptorLimit(20, [&] {
        std::string differing;
        for (const int threads : {1, 4, 64, 1024}) {
            core.Threads = threads;
            log.Lines.clear();
            Search(tree.Root() + "*");
            if (Joined(log.Lines) != expected)
                differing += std::to_string(threads) + " threads:\n" + Joined(log.Lines);
        }
        return differing;
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "") << "one thread without a limit:\n" << expected;
}

} // namespace
} // namespace parvex
