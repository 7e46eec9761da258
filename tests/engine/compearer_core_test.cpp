#include "_compearer/compearer_core.h"
#include "engine/event_log.h"
#include "support/temp_tree.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <iterator>
#include <random>
#include <stdexcept>
#include <unistd.h>

namespace parvex {
namespace {

using testing::TEventLog;
using testing::TTempTree;
using TLines = std::vector<std::string>;
using std::chrono::milliseconds;

// A clock that moves by `step` whenever the search reads it (so every step of work costs that
// much) and when the test moves it; the test decides alone how fast the machine is.
class TFakeClock {
public:
    explicit TFakeClock(milliseconds step) : step_(step) {}
    void Install(TCompearerCore& core) {
        core.Now = [this] { return now_ += step_; };
    }
    TCompearerCore::TClock::time_point Time() const { return now_; }
    void Advance(milliseconds span) { now_ += span; }

private:
    milliseconds step_;
    TCompearerCore::TClock::time_point now_{};
};

long Milliseconds(TCompearerCore::TClock::duration span) {
    return long(std::chrono::duration_cast<milliseconds>(span).count());
}

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
    tree.SetTime("a", 1600000000);
    tree.SetTime("b", 1600000000);
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
    // Every step takes a millisecond and every folder two more, so the scan polls long
    // before it ends.
    TFakeClock clock(milliseconds(1));
    clock.Install(core);
    const auto checkFolder = core.OnCheckFolder;
    core.OnCheckFolder = [&](const std::string& path, bool& allowed) {
        checkFolder(path, allowed);
        clock.Advance(milliseconds(2));
    };
    TCompearerCore::TClock::time_point stopAt{};
    core.ProcessMessages = [&] {
        if (!core.StopRequested)
            stopAt = clock.Time();
        core.Stop();
    };
    core.Start();
    const long took = Milliseconds(clock.Time() - stopAt);
    EXPECT_TRUE(log.Found().empty());
    EXPECT_EQ(TLines(log.Lines.end() - 4, log.Lines.end()),
              (TLines{"state LOOKING FOR IDENTICAL FILES...", "state IDLE", "not running",
                      "interrupted"}));
    EXPECT_LT(core.FilePaths.size(), 30U);
    EXPECT_TRUE(core.StopRequested);
    EXPECT_LT(took, 100) << "steps of work after the stop";
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
    core.Threads = 1;
    // The small group is reported first; the big pair is being read when the stop comes.
    // Every step of work takes a millisecond.
    TFakeClock clock(milliseconds(1));
    clock.Install(core);
    TCompearerCore::TClock::time_point stopAt{};
    core.ProcessMessages = [&] {
        if (core.State == ssComparing && !log.Found().empty() && !core.StopRequested) {
            stopAt = clock.Time();
            core.Stop();
        }
    };
    core.Start();
    const long took = Milliseconds(clock.Time() - stopAt);
    EXPECT_EQ(log.Found(), (TLines{"group a.small", "file " + tree.Path("a.small"),
                                   "file " + tree.Path("b.small")}));
    EXPECT_EQ(log.Lines.back(), "interrupted");
    EXPECT_LT(took, 100) << "steps of work after the stop";
    EXPECT_LT(core.Figures.ContentBytesRead, 1LL << 30) << "the big pair was not read through";
}

// Readers on worker threads read ahead of the reports; a stop ends their reading too.
TEST_F(Core, AStopEndsTheReadersOnWorkerThreadsBeforeTheyReadThrough) {
    constexpr std::int64_t BigSize = 64LL << 30; // holes: nothing is stored
    tree.File("a.small", "x");
    tree.File("b.small", "x");
    tree.SparseFile("c.big", BigSize, 'z');
    tree.SparseFile("d.big", BigSize, 'z');
    for (const char* name : {"a.small", "b.small", "c.big", "d.big"})
        tree.SetTime(name, 1600000000);
    spec = tree.Root() + "a.small;b.small;*.big";
    Attach();
    core.Threads = 2;
    TFakeClock clock(milliseconds(1));
    clock.Install(core);
    core.ProcessMessages = [&] {
        if (core.State == ssComparing && !log.Found().empty())
            core.Stop();
    };
    core.Start();
    EXPECT_EQ(log.Found(), (TLines{"group a.small", "file " + tree.Path("a.small"),
                                   "file " + tree.Path("b.small")}));
    EXPECT_EQ(log.Lines.back(), "interrupted");
    EXPECT_LT(core.Figures.ContentBytesRead, BigSize) << "the big pair was not read through";
}

// Regression: the two files were written at whatever time the machine reached them, so under
// load they could fall into different two-second slots, form no group and raise no error.
TEST_F(Core, AnErrorEndsTheSearchInIdleWithoutACompletionEvent) {
    tree.File("a", "x");
    tree.File("b", "x");
    tree.SetTime("a", 1600000000);
    tree.SetTime("b", 1600000000);
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

// What one search did, in order: polls (ProcessMessages calls) and progress reports.
struct TPoll {
    TCompearerCore::TClock::time_point Time;
    TSearchState State;
    bool Reported;    // a progress report came with this poll
    bool AfterResult; // OnFileFound was raised before this poll
};

TEST_F(Core, PollsKeepTheirIntervalInBothPhasesAndComeAtLeastEveryFiftyMs) {
    for (int i = 0; i < 40; ++i)
        tree.File("d" + std::to_string(i) + "/f" + std::to_string(i), std::to_string(i));
    tree.SparseFile("big1", 16LL << 20, 'z');
    tree.SparseFile("big2", 16LL << 20, 'z');
    spec = tree.Root() + "*";
    Attach();
    core.CompareTime = false;
    // Every step of work takes a millisecond, every folder five more.
    TFakeClock clock(milliseconds(1));
    clock.Install(core);
    const auto checkFolder = core.OnCheckFolder;
    core.OnCheckFolder = [&](const std::string& path, bool& allowed) {
        checkFolder(path, allowed);
        clock.Advance(milliseconds(5));
    };
    std::vector<TPoll> polls;
    bool reported = false;
    int reports = 0;
    core.OnProgress = [&](std::int64_t, std::int64_t) { reported = true; };
    core.ProcessMessages = [&] {
        polls.push_back({clock.Time(), core.State, reported, false});
        reports += reported;
        reported = false;
    };
    core.Start();

    ASSERT_GE(polls.size(), 3U);
    EXPECT_EQ(polls.front().State, ssScanning);
    EXPECT_EQ(polls.back().State, ssComparing);
    // Two polls come at once when they must: the one that shows the comparison's first
    // progress, and the last one, which shows the bar at its end.
    int reportsSeen = 0;
    for (std::size_t i = 1; i < polls.size(); ++i) {
        reportsSeen += polls[i].Reported;
        const bool forced = (polls[i].Reported && reportsSeen == 1) || i + 1 == polls.size();
        const long gap = Milliseconds(polls[i].Time - polls[i - 1].Time);
        if (!forced) {
            EXPECT_GE(gap, TCompearerCore::PollInterval.count()) << "poll " << i;
        }
        EXPECT_LE(gap, 50) << "poll " << i;
    }
    EXPECT_GE(reports, 2) << "the first and the last progress";
}

TEST_F(Core, EveryPollWhileFilesAreReadReportsTheWorkDoneAndTheLastReportIsTheTotal) {
    tree.SparseFile("big1", 4LL << 20, 'z');
    tree.SparseFile("big2", 4LL << 20, 'z');
    spec = tree.Root() + "*";
    Attach();
    core.CompareTime = false;
    // Every reading of the clock takes a whole interval: every chance to poll is taken.
    TFakeClock clock(TCompearerCore::PollInterval);
    clock.Install(core);
    std::vector<TPoll> polls;
    std::vector<std::pair<std::int64_t, std::int64_t>> progress;
    bool reported = false;
    core.OnProgress = [&](std::int64_t done, std::int64_t total) {
        EXPECT_EQ(core.State, ssComparing) << "progress is the comparison's";
        progress.emplace_back(done, total);
        reported = true;
    };
    core.ProcessMessages = [&] {
        polls.push_back({clock.Time(), core.State, reported, !log.Found().empty()});
        reported = false;
    };
    core.Start();

    ASSERT_EQ(log.Found().size(), 3U);
    ASSERT_GE(progress.size(), 2U);
    for (std::size_t i = 1; i < progress.size(); ++i) {
        EXPECT_GT(progress[i].first, progress[i - 1].first) << "report " << i;
        EXPECT_EQ(progress[i].second, progress.front().second) << "report " << i;
    }
    EXPECT_EQ(progress.back().first, progress.back().second);

    // From the first report (the work is known) to the group, every poll follows a read.
    const auto first =
        std::find_if(polls.begin(), polls.end(), [](const TPoll& poll) { return poll.Reported; });
    ASSERT_NE(first, polls.end());
    const auto group =
        std::find_if(first, polls.end(), [](const TPoll& poll) { return poll.AfterResult; });
    ASSERT_GT(group - first, 1) << "polls while the pair is read";
    for (auto poll = first; poll != group; ++poll)
        EXPECT_TRUE(poll->Reported) << "poll " << (poll - polls.begin()) << " reported nothing";
}

// What the core's progress said at one poll.
struct TProgressLook {
    TCompearerCore::TClock::time_point Time;
    TSearchState State;
    TSearchProgress Progress;
};

class Progress : public Core {
protected:
    // Two folders below the root, a group of three, a pair of one size with different
    // contents, a big pair read in many chunks and two files of sizes nobody else has.
    void MakeTree() {
        tree.File("same1", "identical");
        tree.File("sub/same2", "identical");
        tree.File("sub/deeper/same3", "identical");
        tree.File("sub/diff1", "abcd");
        tree.File("sub/deeper/diff2", "wxyz");
        tree.File("alone1", "1");
        tree.File("sub/alone2", "twelve bytes");
        tree.SparseFile("big1", 4LL << 20, 'z');
        tree.SparseFile("sub/big2", 4LL << 20, 'z');
        spec = tree.Root() + "*";
    }

    // Runs a search that takes every chance to poll and looks at the progress at each poll.
    // One reader, on the calling thread, unless told: the polls come between its reads.
    void Search(int threads = 1) {
        Attach();
        core.CompareTime = false;
        core.Threads = threads;
        clock.Install(core);
        core.OnStateChanged = [this](TSearchState state) {
            if (state == ssComparing)
                comparingFrom = clock.Time();
        };
        core.ProcessMessages = [this] {
            looks.push_back({clock.Time(), core.State, core.Progress()});
        };
        core.Start();
    }

    std::vector<TProgressLook> Looks(TSearchState state) const {
        std::vector<TProgressLook> some;
        std::copy_if(looks.begin(), looks.end(), std::back_inserter(some),
                     [state](const TProgressLook& look) { return look.State == state; });
        return some;
    }

    // Every reading of the clock takes a whole interval: every chance to poll is taken.
    TFakeClock clock{TCompearerCore::PollInterval};
    TCompearerCore::TClock::time_point comparingFrom{};
    std::vector<TProgressLook> looks;
};

double Seconds(TCompearerCore::TClock::duration span) {
    return std::chrono::duration<double>(span).count();
}

TEST_F(Progress, TheScanCountsFoldersAndFilesUpToItsTotals) {
    MakeTree();
    Search();
    const std::vector<TProgressLook> scan = Looks(ssScanning);
    ASSERT_GE(scan.size(), 2U) << "polls while scanning";
    for (std::size_t i = 1; i < scan.size(); ++i) {
        const TSearchProgress &before = scan[i - 1].Progress, &now = scan[i].Progress;
        EXPECT_GE(now.FoldersScanned, before.FoldersScanned) << "poll " << i;
        EXPECT_GE(now.FilesCollected, before.FilesCollected) << "poll " << i;
        EXPECT_EQ(now.FilesToCompare + now.FilesSettled + now.BytesRead, 0) << "poll " << i;
    }
    EXPECT_LT(scan.front().Progress.FilesCollected, 9) << "the first poll came after the scan";
    EXPECT_EQ(core.Progress().FoldersScanned, 3);
    EXPECT_EQ(core.Progress().FilesCollected, 9);
    EXPECT_EQ(core.Progress().FilesCollected, core.Figures.FilesCollected);
}

TEST_F(Progress, TheComparisonSettlesEveryFileAndCountsTheBytesItRead) {
    MakeTree();
    Search();
    const std::vector<TProgressLook> compare = Looks(ssComparing);
    ASSERT_GE(compare.size(), 3U) << "polls while comparing";
    bool partlyRead = false;
    for (std::size_t i = 1; i < compare.size(); ++i) {
        const TSearchProgress &before = compare[i - 1].Progress, &now = compare[i].Progress;
        EXPECT_GE(now.FilesSettled, before.FilesSettled) << "poll " << i;
        EXPECT_GE(now.BytesRead, before.BytesRead) << "poll " << i;
        EXPECT_GE(now.CompareSeconds, before.CompareSeconds) << "poll " << i;
        EXPECT_LE(now.FilesSettled, now.FilesToCompare) << "poll " << i;
        EXPECT_EQ(now.FoldersScanned, 3) << "poll " << i;
        EXPECT_EQ(now.FilesCollected, 9) << "poll " << i;
        partlyRead = partlyRead || (now.BytesRead > 0 && now.BytesRead < 8LL << 20);
    }
    EXPECT_TRUE(partlyRead) << "no poll came while the big pair was read";
    const TSearchProgress& last = core.Progress();
    EXPECT_EQ(last.FilesToCompare, 9);
    EXPECT_EQ(last.FilesSettled, 9);
    EXPECT_EQ(last.BytesRead, core.Figures.ContentBytesRead);
    EXPECT_GE(last.BytesRead, 8LL << 20);
    EXPECT_EQ(compare.back().Progress.FilesSettled, 9) << "the last poll shows the end";
}

// Readers on worker threads count into the same figures, and the last poll shows them all.
TEST_F(Progress, SeveralReadersSettleEveryFileAndTheLastPollShowsTheEnd) {
    MakeTree();
    Search(3);
    const std::vector<TProgressLook> compare = Looks(ssComparing);
    ASSERT_FALSE(compare.empty());
    for (std::size_t i = 1; i < compare.size(); ++i) {
        EXPECT_GE(compare[i].Progress.FilesSettled, compare[i - 1].Progress.FilesSettled);
        EXPECT_GE(compare[i].Progress.BytesRead, compare[i - 1].Progress.BytesRead);
    }
    const TSearchProgress& last = compare.back().Progress;
    EXPECT_EQ(last.FilesSettled, 9);
    EXPECT_EQ(last.BytesRead, core.Figures.ContentBytesRead);
    EXPECT_GE(last.BytesRead, 8LL << 20);
}

TEST_F(Progress, TheRateIsTheBytesReadOverTheComparisonsTimeByTheCoresClock) {
    MakeTree();
    Search();
    const std::vector<TProgressLook> compare = Looks(ssComparing);
    ASSERT_GE(compare.size(), 2U);
    const double step = Seconds(TCompearerCore::PollInterval);
    for (std::size_t i = 0; i < compare.size(); ++i) {
        const TSearchProgress& progress = compare[i].Progress;
        // The comparison's time starts with its first reading of the clock.
        const double sinceState = Seconds(compare[i].Time - comparingFrom);
        EXPECT_LE(progress.CompareSeconds, sinceState + 1e-9) << "poll " << i;
        EXPECT_GE(progress.CompareSeconds, sinceState - step - 1e-9) << "poll " << i;
        if (i > 0) {
            EXPECT_NEAR(progress.CompareSeconds - compare[i - 1].Progress.CompareSeconds,
                        Seconds(compare[i].Time - compare[i - 1].Time), 1e-9)
                << "poll " << i;
        }
        if (progress.CompareSeconds > 0) {
            EXPECT_DOUBLE_EQ(progress.BytesPerSecond(),
                             double(progress.BytesRead) / progress.CompareSeconds)
                << "poll " << i;
        }
    }
    EXPECT_EQ(TSearchProgress{}.BytesPerSecond(), 0) << "no time, no rate";
}

TEST_F(Progress, WithoutTheContentKeyFilesSettleWithoutReading) {
    MakeTree();
    Attach();
    core.CompareTime = false;
    core.CompareContent = false;
    core.Start();
    EXPECT_EQ(core.Progress().FilesSettled, 9);
    EXPECT_EQ(core.Progress().FilesToCompare, 9);
    EXPECT_EQ(core.Progress().BytesRead, 0);
}

TEST_F(Progress, EachSearchCountsFromZero) {
    MakeTree();
    Attach();
    core.Start();
    const TSearchProgress first = core.Progress();
    core.Start();
    EXPECT_EQ(core.Progress().FoldersScanned, first.FoldersScanned);
    EXPECT_EQ(core.Progress().FilesCollected, first.FilesCollected);
    EXPECT_EQ(core.Progress().FilesSettled, first.FilesSettled);
    EXPECT_EQ(core.Progress().BytesRead, first.BytesRead);
}

TEST_F(Progress, ATableFilledByHandComparesEachFileOnce) {
    for (const char* name : {"a", "b", "a"})
        core.AddFile({.Folder = "/x/", .Name = name, .Size = 1, .Time = 0});
    core.CompareContent = false;
    core.GroupIdentical();
    EXPECT_EQ(core.Progress().FilesToCompare, 2) << "a path listed twice is one file";
    EXPECT_EQ(core.Progress().FilesSettled, 2);
}

// A table of the size of a large photo and document collection, with folder and file names of
// the lengths such trees have: the packed table stays within 90 bytes a row.
TEST(FileTable, HoldsAtMostNinetyBytesARowOfRealisticPaths) {
    TCompearerCore core;
    std::mt19937 random(13);
    const auto text = [&random](std::size_t length) {
        std::string out;
        for (std::size_t i = 0; i < length; ++i)
            out += char('a' + random() % 26);
        return out;
    };
    constexpr std::size_t kRows = 200000;
    std::string folder;
    std::size_t nameBytes = 0;
    for (std::size_t row = 0; row < kRows; ++row) {
        if (row % 80 == 0)
            folder = "/home/" + text(8) + "/Documents/" + text(6 + random() % 20) + "/" +
                     text(4 + random() % 16) + "/";
        const std::string name = "IMG_" + text(8 + random() % 24) + ".jpg";
        nameBytes += name.size();
        core.AddFile({.Folder = folder,
                      .Name = name,
                      .Size = std::int64_t(random()),
                      .Time = std::int64_t(random() % 100000),
                      .Id = {2049, row + 1},
                      .ModifiedNs = std::int64_t(row) * 1000000007});
    }
    ASSERT_EQ(core.FilePaths.size(), kRows);
    EXPECT_EQ(core.FilePaths[kRows - 1].substr(0, folder.size()), folder);
    const std::size_t perRow = core.TableBytes() / kRows;
    std::printf("file table: %zu bytes a row, names %zu bytes a row\n", perRow, nameBytes / kRows);
    EXPECT_LE(perRow, 90U) << "the table holds " << core.TableBytes() << " bytes";
    core.ClearFileTable();
    EXPECT_LT(core.TableBytes(), 1024U) << "a cleared table keeps its memory";
}

} // namespace
} // namespace parvex
