// One file trashed or moved as a run of its own: undone like any run; a file in the way of a
// move goes to the trash as a step of the same run, so that an undo brings both back.
#include "run_journal/run_list.h"
#include "run_journal/run_undo.h"
#include "run_journal/runs_folder.h"
#include "run_journal/single_file_runs.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

using testing::TTempTree;

// Undoes the newest run; the number of names put back.
std::size_t UndoNewest() {
    const std::optional<TRunSummary> newest = NewestRunToUndo(ListRuns(RunsFolder()));
    if (!newest)
        return 0;
    const TUndoReport report = UndoRun(RunsFolder(), newest->Id);
    for (const TUndoLine& line : report.Lines)
        EXPECT_TRUE(line.PutBack) << line.Name << ": " << line.Reason;
    return report.PutBackCount();
}

TEST(SingleFileRunsTest, ATrashedOrMovedFileComesBackAndAFileMovedOverComesBackToo) {
    TTempTree tree;
    const std::string file = tree.File("file", "mine");
    const std::string over = tree.File("over", "in the way");

    ASSERT_TRUE(TrashAsRun(RunsFolder(), file).Trashed);
    EXPECT_EQ(UndoNewest(), 1u);
    EXPECT_EQ(TTempTree::ReadFile(file), "mine");

    ASSERT_EQ(MoveAsRun(RunsFolder(), file, tree.Path("elsewhere")), TMoveOutcome::Moved);
    EXPECT_EQ(UndoNewest(), 1u);
    EXPECT_EQ(TTempTree::ReadFile(file), "mine");
    EXPECT_FALSE(TTempTree::Exists(tree.Path("elsewhere")));

    ASSERT_EQ(MoveAsRun(RunsFolder(), file, over), TMoveOutcome::Moved);
    EXPECT_EQ(TTempTree::ReadFile(over), "mine");
    EXPECT_EQ(ListRuns(RunsFolder()).front().Acted,
              (std::vector<std::pair<std::string, std::size_t>>{{"trash", 1}, {"move", 1}}));
    EXPECT_EQ(UndoNewest(), 2u);
    EXPECT_EQ(TTempTree::ReadFile(file), "mine");
    EXPECT_EQ(TTempTree::ReadFile(over), "in the way");

    EXPECT_EQ(MoveAsRun(RunsFolder(), file, file), TMoveOutcome::SameFile);
    EXPECT_EQ(MoveAsRun(RunsFolder(), file, tree.Folder("a folder")), TMoveOutcome::Failed);
    EXPECT_EQ(TTempTree::ReadFile(file), "mine");
}

} // namespace
} // namespace parvex
