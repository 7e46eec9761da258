#include "_compearer/compearer_core.h"
#include "engine/event_log.h"
#include "support/child_process.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::TEventLog;
using testing::TTempTree;
using TLines = std::vector<std::string>;

// Nothing fails in silence: every folder the scan cannot open and every file it cannot examine
// or read is reported through OnSkipped with the system's reason; what the search leaves out on
// purpose is not.
class Skipped : public ::testing::Test {
protected:
    std::string File(const std::string& relative, const std::string& content = "same") {
        return tree.File(relative, content, 1600000000);
    }
    void Search(const std::string& spec) { log.Search(core, spec); }
    static std::string Joined(const TLines& lines) { return TEventLog::Joined(lines); }

    TTempTree tree;
    TCompearerCore core;
    TEventLog log;
};

TEST_F(Skipped, UnreadableFoldersAndFilesAreReportedWithTheirReason) {
    const std::string a = File("a.txt"), b = File("ok/b.txt"), locked = File("locked.txt");
    File("closed/inner.txt");
    ::chmod(locked.c_str(), 0);
    ::chmod(tree.Path("closed").c_str(), 0);
    ::chmod(tree.Root().c_str(), 0755);
    // Root reads everything: search as a user without privileges.
    const testing::TChildRun run = testing::RunInChild(testing::DropPrivileges, [&] {
        Search(tree.Root() + "*.txt");
        TLines found = log.Found();
        std::sort(found.begin(), found.end());
        return Joined(log.Skipped()) + Joined(found);
    });
    if (!run.Ran)
        GTEST_SKIP() << run.Output;
    EXPECT_EQ(run.Output, "skipped " + tree.Path("closed/") + ": Permission denied\n" + "skipped " +
                              locked + ": Permission denied\n" + "file " + a + "\nfile " + b +
                              "\ngroup a.txt\n");
}

TEST_F(Skipped, AMissingStartFolderIsReported) {
    Search(tree.Path("missing/") + "*.*");
    EXPECT_EQ(log.Skipped(),
              TLines{"skipped " + tree.Path("missing/") + ": No such file or directory"});
}

TEST_F(Skipped, AFileThatVanishedBeforeItWasReadIsReportedOnce) {
    const std::string a = File("a"), b = File("b"), c = File("c");
    core.OnStateChanged = [&](TSearchState state) {
        if (state == ssComparing)
            ::unlink(b.c_str());
    };
    Search(tree.Root() + "*");
    EXPECT_EQ(log.Skipped(), TLines{"skipped " + b + ": No such file or directory"});
    TLines found = log.Found();
    ASSERT_EQ(found.size(), 3U);
    std::sort(found.begin() + 1, found.end());
    EXPECT_EQ(TLines(found.begin() + 1, found.end()), (TLines{"file " + a, "file " + c}));
}

TEST_F(Skipped, AFileReplacedByAnotherSinceTheScanIsNotReadInItsPlace) {
    const std::string a = File("a"), b = File("b");
    core.OnStateChanged = [&](TSearchState state) {
        if (state != ssComparing)
            return;
        // The old file keeps its inode under another name, so the new one gets another.
        ::rename(b.c_str(), tree.Path("old").c_str());
        File("b");
    };
    Search(tree.Root() + "*");
    EXPECT_EQ(log.Skipped(), TLines{"skipped " + b + ": No such file or directory"});
    EXPECT_TRUE(log.Found().empty());
}

TEST_F(Skipped, DeliberateSkipsAreNoFailures) {
    File("real/a.txt");
    File("excluded/b.txt");
    tree.Link("folder-link", tree.Path("real"));
    tree.Link("file-link.txt", tree.Path("real/a.txt"));
    tree.Link("dangling.txt", tree.Path("nowhere"));
    tree.Fifo("pipe.txt");
    log.Excluded = {tree.Path("excluded/")};
    Search(tree.Root() + "*.*");
    Search("/proc/*.*");
    EXPECT_TRUE(log.Skipped().empty()) << Joined(log.Skipped());
}

} // namespace
} // namespace parvex
