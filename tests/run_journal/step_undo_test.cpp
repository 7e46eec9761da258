// Undo never replaces and says why it skips; steps of a killed run are learnt on disk and what
// they left half made is removed.
#include "support/facts_on_disk.h"
#include "file_actions/action_run.h"
#include "file_actions/journaled_step.h"
#include "platform/freedesktop_trash.h"
#include "platform/hard_link_replace.h"
#include "run_journal/run_journal.h"
#include "run_journal/run_list.h"
#include "run_journal/run_undo.h"
#include "run_journal/runs_folder.h"
#include "run_journal/step_undo.h"
#include "support/temp_tree.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::FactsOnDisk;
using testing::TTempTree;

std::string TrashFolder() {
    return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash";
}

void Write(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
}

// Everything in `folder` goes, for the next case.
void Empty(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        std::filesystem::remove_all(entry.path());
}

class StepUndoTest : public ::testing::Test {
public:
    void SetUp() override {
        kept = tree.File("k", "same bytes");
        copy = tree.File("d/copy", "same bytes");
        into = tree.Folder("into");
    }

    // Runs `kind` on the kept copy and its copy, journalled; the id of the run.
    std::string Run(TActionKind kind) {
        std::vector<TResultGroupFacts> groups(1);
        groups[0].Files = {FactsOnDisk(kept), FactsOnDisk(copy)};
        TRealFolders real;
        const TActionPlan plan = MakeActionPlan(groups, {}, real);
        TRunJournal journal(RunsFolder(), "test");
        TActionRun run(groups, plan, {kind, into, false}, nullptr);
        run.JournalTo(journal);
        while (run.Step()) {
        }
        EXPECT_EQ(run.DoneCount(), 1u) << run.Outcomes().front().Reason;
        return journal.Id();
    }

    TTempTree tree;
    std::string kept;
    std::string copy;
    std::string into;
};

TEST_F(StepUndoTest, APlaceTakenAChangedKeptCopyOrAnEmptiedTrashIsSkippedWithItsReason) {
    const struct {
        const char* What;
        TActionKind Kind;
        std::function<void(StepUndoTest&)> Meddle;
        const char* Reason; // empty: put back
        const char* ContentAfter;
    } cases[] = {
        {"trash, place taken", TActionKind::Trash,
         [](StepUndoTest& t) { Write(t.copy, "a stranger, longer"); },
         "its place is taken by another file", "a stranger, longer"},
        {"trash, emptied", TActionKind::Trash,
         [](StepUndoTest&) { std::filesystem::remove_all(TrashFolder()); },
         "it is no longer in the trash", nullptr},
        {"trash, folder gone", TActionKind::Trash,
         [](StepUndoTest& t) { std::filesystem::remove_all(t.tree.Path("d")); }, "", "same bytes"},
        {"move, moved back by hand", TActionKind::Move,
         [](StepUndoTest& t) { std::filesystem::rename(t.into + "copy", t.copy); },
         "it is already back in its place", "same bytes"},
        {"move, place taken", TActionKind::Move,
         [](StepUndoTest& t) { Write(t.copy, "a stranger, longer"); },
         "its place is taken by another file", "a stranger, longer"},
        {"hard link, kept copy changed", TActionKind::HardLink,
         [](StepUndoTest& t) { Write(t.kept, "new bytes!"); },
         "the kept copy changed since: its bytes may no longer be the old ones", "new bytes!"},
        {"hard link, place taken", TActionKind::HardLink,
         [](StepUndoTest& t) {
             std::filesystem::remove(t.copy);
             Write(t.copy, "a stranger, longer");
         },
         "its place is taken by another file", "a stranger, longer"},
    };
    for (const auto& c : cases) {
        SetUp();
        const std::string id = Run(c.Kind);
        c.Meddle(*this);
        const TUndoReport report = UndoRun(RunsFolder(), id);
        ASSERT_EQ(report.Lines.size(), 1u) << c.What;
        EXPECT_EQ(report.Lines[0].Name, copy) << c.What;
        EXPECT_EQ(report.Lines[0].Reason, c.Reason) << c.What;
        EXPECT_EQ(report.Lines[0].PutBack, c.Reason[0] == '\0') << c.What;
        if (c.ContentAfter != nullptr)
            EXPECT_EQ(TTempTree::ReadFile(copy), c.ContentAfter) << c.What;
        else
            EXPECT_FALSE(TTempTree::Exists(copy)) << c.What;
        Empty(tree.Root());
    }
}

TEST_F(StepUndoTest, ANameSkippedIsTriedAgainByTheNextUndoOfItsRunAndOneAlreadyBackIsNot) {
    const std::string id = Run(TActionKind::Trash);
    Write(copy, "a stranger, longer");
    EXPECT_EQ(UndoRun(RunsFolder(), id).SkippedCount(), 1u);
    std::filesystem::remove(copy);
    const TUndoReport again = UndoRun(RunsFolder(), id);
    ASSERT_EQ(again.Lines.size(), 1u);
    EXPECT_TRUE(again.Lines[0].PutBack) << again.Lines[0].Reason;
    EXPECT_EQ(TTempTree::ReadFile(copy), "same bytes");
    EXPECT_TRUE(UndoRun(RunsFolder(), id).Lines.empty()) << "a name put back was handled again";
}

TEST_F(StepUndoTest, AStepWithAnIntentAndNoResultIsLearntOnDiskAndItsLeftoversRemoved) {
    const struct {
        const char* What;
        TActionKind Kind;
        // Brings the disk where the killed step left it; returns a path that must be gone
        // (a leftover) or stay, as `LeftoverGoes` says.
        std::function<std::string(const TStepIntent&)> Leave;
        TStepState Expected;
        bool LeftoverGoes;
    } cases[] = {
        {"trash: info file written, file not moved", TActionKind::Trash,
         [](const TStepIntent& intent) {
             std::filesystem::create_directories(TrashFolder() + "/info");
             Write(TrashInfoFileOf(intent.Target), TrashInfoText(intent.RecordedPath, 0));
             return TrashInfoFileOf(intent.Target);
         },
         TStepState::NotDone, true},
        {"trash: a stranger's info file in the slot", TActionKind::Trash,
         [](const TStepIntent& intent) {
             std::filesystem::create_directories(TrashFolder() + "/info");
             Write(TrashInfoFileOf(intent.Target), TrashInfoText("/elsewhere", 0));
             return TrashInfoFileOf(intent.Target);
         },
         TStepState::NotDone, false},
        {"trash: moved in", TActionKind::Trash,
         [](const TStepIntent& intent) {
             EXPECT_TRUE(TrashFileAs(intent.Name, intent.Target, intent.RecordedPath, 0).Trashed);
             return intent.Target;
         },
         TStepState::Done, false},
        {"hard link: temporary link made, not renamed", TActionKind::HardLink,
         [](const TStepIntent& intent) {
             EXPECT_EQ(::link(intent.Target.c_str(), intent.Temporary.c_str()), 0);
             return intent.Temporary;
         },
         TStepState::NotDone, true},
        {"hard link: linked", TActionKind::HardLink,
         [](const TStepIntent& intent) {
             EXPECT_TRUE(
                 ReplaceWithHardLinkVia(intent.Target, intent.Name, intent.Temporary).Linked);
             return intent.Name;
         },
         TStepState::Done, false},
        {"move: moved", TActionKind::Move,
         [](const TStepIntent& intent) {
             std::filesystem::rename(intent.Name, intent.Target);
             return intent.Target;
         },
         TStepState::Done, false},
        {"move: not begun", TActionKind::Move,
         [](const TStepIntent& intent) { return intent.Name; }, TStepState::NotDone, false},
    };
    for (const auto& c : cases) {
        SetUp();
        TStepReserver reserver;
        const TStepIntent intent =
            reserver.Reserve(c.Kind, 0, copy, c.Kind == TActionKind::Move ? into + "copy" : kept);
        const std::string left = c.Leave(intent);
        EXPECT_EQ(SettleOnDisk(intent), c.Expected) << c.What;
        EXPECT_EQ(TTempTree::Exists(left), !c.LeftoverGoes) << c.What << ": " << left;
        Empty(tree.Root());
        std::filesystem::remove_all(TrashFolder());
    }
}

} // namespace
} // namespace parvex
