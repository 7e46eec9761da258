#include "_compearer/compearer_core.h"
#include "engine/event_log.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <stdexcept>
#include <unistd.h>

namespace parvex {
namespace {

using testing::TEventLog;
using testing::TTempTree;
using TLines = std::vector<std::string>;
using TClock = std::chrono::steady_clock;

// Large sparse files read fastest from tmpfs, where a hole is the shared zero page.
std::string FastFolder() {
    return ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "";
}

class Core : public ::testing::Test {
protected:
    // Records the panel hooks beside the events, in one sequence.
    void Attach() {
        log.Attach(core);
        core.OnStateChanged = [this](TSearchState state) {
            log.Lines.push_back(std::string("state ") + SearchStateText(state));
        };
        core.OnRunningChanged = [this](bool running) {
            log.Lines.push_back(running ? "running" : "not running");
        };
        core.OnSearchStart = [this] {
            log.Lines.push_back("start");
            core.SearchSpec = spec;
        };
    }

    TTempTree tree{FastFolder()};
    TCompearerCore core;
    TEventLog log;
    std::string spec;
};

TEST_F(Core, StartsInIdleWithItsConstructionValues) {
    EXPECT_EQ(core.State, ssIdle);
    EXPECT_TRUE(core.SearchSpec.empty());
    EXPECT_FALSE(core.StopRequested);
    EXPECT_TRUE(core.ScanSubfolders && core.AllowHidden && core.AllowSystem && core.AllowReadOnly);
    EXPECT_FALSE(core.CaseSensitiveNames);
    EXPECT_FALSE(core.CompareName);
    EXPECT_TRUE(core.CompareSize && core.CompareTime && core.CompareContent);
    EXPECT_STREQ(SearchStateText(ssIdle), "IDLE");
    EXPECT_STREQ(SearchStateText(ssScanning), "FOLDER TREE SCANNING...");
    EXPECT_STREQ(SearchStateText(ssComparing), "LOOKING FOR IDENTICAL FILES...");
}

TEST_F(Core, ASearchRaisesItsEventsInOrder) {
    const auto a = tree.File("a.txt", "x"), b = tree.File("sub/b.txt", "x");
    tree.SetTime("a.txt", 1600000000);
    tree.SetTime("sub/b.txt", 1600000000);
    spec = tree.Root() + "*.txt";
    Attach();
    core.Start();
    EXPECT_EQ(log.Lines, (TLines{"running", "start", "state FOLDER TREE SCANNING...",
                                 "check " + tree.Root(), "check " + tree.Path("sub/"),
                                 "state LOOKING FOR IDENTICAL FILES...", "group a.txt", "file " + a,
                                 "file " + b, "state IDLE", "not running", "complete"}));
    EXPECT_EQ(core.Figures.FilesCollected, 2);
    EXPECT_EQ(core.Figures.Groups, 1);
    EXPECT_EQ(core.Figures.FilesInGroups, 2);
    EXPECT_EQ(core.Figures.ContentBytesRead, 2);
}

TEST_F(Core, AnEngineWithoutEventsRunsToTheEnd) {
    tree.File("a", "x");
    tree.File("b", "x");
    core.SearchSpec = tree.Root() + "*.*";
    core.Start();
    EXPECT_EQ(core.State, ssIdle);
    EXPECT_EQ(core.FilePaths.size(), 1U);
}

TEST_F(Core, TwoSearchesInARowStartFromAnEmptyTable) {
    const auto a = tree.File("a", "x"), b = tree.File("b", "x");
    tree.SetTime("a", 1600000000);
    tree.SetTime("b", 1600000000);
    spec = tree.Root() + "*.*";
    Attach();
    core.Start();
    const TLines first = log.Found();
    log.Lines.clear();
    core.Start();
    EXPECT_EQ(log.Found(), first);
    EXPECT_EQ(first.size(), 3U);
    EXPECT_EQ(core.FilePaths.size(), 1U);
}

TEST_F(Core, AStopBeforeTheSearchIsForgotten) {
    tree.File("a", "x");
    spec = tree.Root() + "*.*";
    Attach();
    core.Stop();
    core.Start();
    EXPECT_EQ(log.Lines.back(), "complete");
    EXPECT_FALSE(core.StopRequested);
}

TEST_F(Core, AStopDuringTheScanEndsWithInterruptedAndNoGroup) {
    for (int i = 0; i < 30; ++i)
        tree.File("d" + std::to_string(i) + "/f", "same");
    spec = tree.Root() + "*.*";
    Attach();
    // Folders that take a while each, so the scan polls long before it ends.
    const auto checkFolder = core.OnCheckFolder;
    core.OnCheckFolder = [&](const std::string& path, bool& allowed) {
        checkFolder(path, allowed);
        const auto until = TClock::now() + std::chrono::milliseconds(2);
        while (TClock::now() < until) {
        }
    };
    TClock::time_point stopAt{};
    core.ProcessMessages = [&] {
        if (!core.StopRequested)
            stopAt = TClock::now();
        core.Stop();
    };
    core.Start();
    const auto took = TClock::now() - stopAt;
    EXPECT_TRUE(log.Found().empty());
    EXPECT_EQ(TLines(log.Lines.end() - 4, log.Lines.end()),
              (TLines{"state LOOKING FOR IDENTICAL FILES...", "state IDLE", "not running",
                      "interrupted"}));
    EXPECT_LT(core.FilePaths.size(), 30U);
    EXPECT_TRUE(core.StopRequested);
    EXPECT_LT(took, std::chrono::milliseconds(100));
}

TEST_F(Core, AStopDuringTheComparisonEndsWithinAFractionOfASecond) {
    tree.File("a.small", "x");
    tree.File("b.small", "x");
    tree.SparseFile("c.big", 1LL << 30, 'z');
    tree.SparseFile("d.big", 1LL << 30, 'z');
    for (const char* name : {"a.small", "b.small", "c.big", "d.big"})
        tree.SetTime(name, 1600000000);
    spec = tree.Root() + "a.small;b.small;*.big"; // in this order on any file system
    Attach();
    // The small group is reported first; the big pair is being read when the stop comes.
    TClock::time_point stopAt{};
    core.ProcessMessages = [&] {
        if (core.State == ssComparing && !log.Found().empty() && !core.StopRequested) {
            stopAt = TClock::now();
            core.Stop();
        }
    };
    core.Start();
    const auto took = TClock::now() - stopAt;
    EXPECT_EQ(log.Found(), (TLines{"group a.small", "file " + tree.Path("a.small"),
                                   "file " + tree.Path("b.small")}));
    EXPECT_EQ(log.Lines.back(), "interrupted");
    EXPECT_LT(took, std::chrono::milliseconds(100));
    EXPECT_LT(core.Figures.ContentBytesRead, 1LL << 30) << "the big pair was not read through";
}

TEST_F(Core, AnErrorEndsTheSearchInIdleWithoutACompletionEvent) {
    tree.File("a", "x");
    tree.File("b", "x");
    spec = tree.Root() + "*.*";
    Attach();
    core.OnFileFound = [](const std::string&, bool) { throw std::runtime_error("disk on fire"); };
    EXPECT_THROW(core.Start(), std::runtime_error);
    EXPECT_EQ(core.State, ssIdle);
    EXPECT_FALSE(core.Running());
    EXPECT_EQ(TLines(log.Lines.end() - 2, log.Lines.end()), (TLines{"state IDLE", "not running"}));

    log.Lines.clear();
    core.OnFileFound = nullptr;
    core.OnSearchStart = [] { throw std::runtime_error("no spec"); };
    EXPECT_THROW(core.Start(), std::runtime_error);
    EXPECT_EQ(log.Lines, (TLines{"running", "state IDLE", "not running"}));
}

TEST_F(Core, AStartFromInsideARunningSearchDoesNothing) {
    tree.File("a", "x");
    spec = tree.Root() + "*.*";
    Attach();
    int searches = 0;
    core.OnSearchStart = [&] {
        ++searches;
        core.SearchSpec = spec;
        core.Start();
    };
    core.Start();
    EXPECT_EQ(searches, 1);
}

TEST_F(Core, MessagesAreProcessedAboutEveryPollIntervalInBothPhases) {
    for (int i = 0; i < 40; ++i)
        tree.File("d" + std::to_string(i) + "/f" + std::to_string(i), std::to_string(i));
    tree.SparseFile("big1", 768LL << 20, 'z');
    tree.SparseFile("big2", 768LL << 20, 'z');
    spec = tree.Root() + "*";
    Attach();
    core.CompareTime = false;
    const auto checkFolder = core.OnCheckFolder;
    core.OnCheckFolder = [&](const std::string& path, bool& allowed) {
        checkFolder(path, allowed);
        const auto until = TClock::now() + std::chrono::milliseconds(5);
        while (TClock::now() < until) {
        }
    };
    std::vector<std::pair<TClock::time_point, TSearchState>> polls;
    core.ProcessMessages = [&] { polls.emplace_back(TClock::now(), core.State); };
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    core.OnProgress = [&](std::int64_t done, std::int64_t total) {
        progress.emplace_back(done, total);
    };
    core.Start();

    ASSERT_GT(polls.size(), 10U);
    EXPECT_EQ(polls.front().second, ssScanning);
    EXPECT_EQ(polls.back().second, ssComparing);
    std::vector<long> gaps;
    for (std::size_t i = 1; i < polls.size(); ++i)
        gaps.push_back(long(std::chrono::duration_cast<std::chrono::milliseconds>(
                                polls[i].first - polls[i - 1].first)
                                .count()));
    // The last call comes at the end of the pass, whenever that is.
    gaps.pop_back();
    std::sort(gaps.begin(), gaps.end());
    // On an idle machine every gap is PollInterval and a little. A busy one (the whole team
    // builds on two cores) holds the process back now and then, so only the bulk must be short.
    const long median = gaps[gaps.size() / 2], p90 = gaps[gaps.size() * 9 / 10];
    EXPECT_GE(median, TCompearerCore::PollInterval.count());
    EXPECT_LE(median, 50) << "p90 " << p90 << " ms, longest " << gaps.back() << " ms";
    EXPECT_LE(p90, 100) << "median " << median << " ms, longest " << gaps.back() << " ms";

    ASSERT_FALSE(progress.empty());
    for (std::size_t i = 1; i < progress.size(); ++i) {
        EXPECT_GE(progress[i].first, progress[i - 1].first);
        EXPECT_EQ(progress[i].second, progress.front().second);
    }
    EXPECT_EQ(progress.back().first, progress.back().second);
    EXPECT_GT(progress.size(), 5U) << "the bar moves during the long comparison";
}

} // namespace
} // namespace parvex
