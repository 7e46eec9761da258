// The runs of the runs folder: listed newest first with what they did, and the run an undo
// takes when none is named.
#include "run_journal/run_journal.h"
#include "run_journal/run_list.h"
#include "run_journal/run_undo.h"
#include "run_journal/runs_folder.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TTempTree;

// A run that did `action` to `count` names (nothing is touched on disk).
std::string Journalled(const std::string& action, std::size_t count) {
    TRunJournal journal(RunsFolder(), "test");
    for (std::size_t step = 0; step < count; ++step) {
        TStepIntent intent;
        intent.Step = step;
        intent.Action = action;
        intent.Name = "/nowhere/" + std::to_string(step);
        journal.Intend(intent);
        journal.Record(step, {true, "/nowhere/else", {}});
    }
    EXPECT_TRUE(journal.Sync()) << journal.Error();
    return journal.Id();
}

TEST(RunListTest, TheRunsFolderFollowsXdgStateHomeElseTheHomeFolder) {
    TTempTree tree;
    const std::string state = std::getenv("XDG_STATE_HOME");
    const std::string home = std::getenv("HOME") != nullptr ? std::getenv("HOME") : "";
    const struct {
        const char* State; // nullptr: unset
        std::string Expected;
    } cases[] = {{"/var/state", "/var/state/parvex/runs"},
                 {"relative", home + "/.local/state/parvex/runs"},
                 {nullptr, home + "/.local/state/parvex/runs"}};
    for (const auto& c : cases) {
        if (c.State != nullptr)
            ::setenv("XDG_STATE_HOME", c.State, 1);
        else
            ::unsetenv("XDG_STATE_HOME");
        EXPECT_EQ(RunsFolder(), c.Expected) << (c.State ? c.State : "unset");
    }
    ::setenv("XDG_STATE_HOME", state.c_str(), 1);
}

TEST(RunListTest, RunsAreListedNewestFirstAndUndoTakesTheNewestNotUndoneThatSharedNoStorage) {
    const std::string trash = Journalled("trash", 2);
    const std::string move = Journalled("move", 1);
    const std::string share = Journalled("share", 3);
    std::vector<TRunSummary> runs = ListRuns(RunsFolder());
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].Id, share);
    EXPECT_EQ(runs[1].Id, move);
    EXPECT_EQ(runs[2].Id, trash);
    EXPECT_EQ(runs[2].Acted, (std::vector<std::pair<std::string, std::size_t>>{{"trash", 2}}));
    EXPECT_EQ(runs[2].Source, "test");
    // The run that shared storage is passed over: it has nothing to put back.
    ASSERT_TRUE(NewestRunToUndo(runs));
    EXPECT_EQ(NewestRunToUndo(runs)->Id, move);
    EXPECT_EQ(UndoRun(RunsFolder(), move).SkippedCount(), 1u) << "its name is nowhere";
    runs = ListRuns(RunsFolder());
    EXPECT_NE(runs[1].UndoneNs, 0);
    EXPECT_EQ(NewestRunToUndo(runs)->Id, trash);
    EXPECT_FALSE(UndoRun(RunsFolder(), "no-such-run").Found);
    EXPECT_FALSE(UndoRun(RunsFolder(), "../" + trash).Found) << "an id is no path";
}

} // namespace
} // namespace parvex
