// Runs of each action undone on real trees: after a run that went to its end, and after a run
// killed between an intent and its result at each step.
#include "support/facts_on_disk.h"
#include "file_actions/action_run.h"
#include "run_journal/run_journal.h"
#include "run_journal/run_list.h"
#include "run_journal/run_undo.h"
#include "run_journal/runs_folder.h"
#include "support/temp_tree.h"
#include "tree_snapshot.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace parvex {
namespace {

using testing::FactsOnDisk;
using testing::SnapshotOf;
using testing::TTempTree;

// Where a run is killed: right after its first intents reach the disk, or when the result of a
// step (acted on) is about to be recorded.
struct TKillPoint {
    bool AfterFirstIntents = false;
    int AtResultOf = -1;
};

// Passes everything on to the real journal and ends the process at the kill point, as a kill
// would: nothing more is written.
class TKillingJournal : public TActionJournal {
public:
    TKillingJournal(TActionJournal& journal, TKillPoint point) : journal_(journal), point_(point) {}
    void Intend(const TStepIntent& intent) override {
        journal_.Intend(intent);
        intended_ = true;
    }
    void Record(std::size_t step, const TActionDone& done) override {
        if (static_cast<int>(step) == point_.AtResultOf)
            std::_Exit(0);
        journal_.Record(step, done);
    }
    bool Sync() override {
        const bool written = journal_.Sync();
        if (point_.AfterFirstIntents && intended_)
            std::_Exit(0);
        return written;
    }
    std::string Error() const override { return journal_.Error(); }

private:
    TActionJournal& journal_;
    TKillPoint point_;
    bool intended_ = false;
};

const struct {
    TActionKind Kind;
    const char* Word;
} kKinds[] = {{TActionKind::Trash, "trash"},
              {TActionKind::Move, "move"},
              {TActionKind::HardLink, "hardlink"}};

class RunUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        tree.Folder("into");
        // Two groups; the first copy has a second name, its own mode and an old time, the
        // second lies deep in a folder that an undo may have to make again.
        const std::string keep = tree.File("files/a/keep", "first bytes");
        const std::string copy = tree.File("files/b/copy", "first bytes", 1000000000);
        ::chmod(copy.c_str(), 0640);
        const std::string second = tree.HardLink("files/b/copy-second", "files/b/copy");
        const std::string deep = tree.File("files/c/deep/copy", "first bytes");
        const std::string other = tree.File("files/a/other", "other bytes");
        const std::string otherCopy = tree.File("files/b/other", "other bytes");
        TResultGroupFacts first;
        first.Files = {FactsOnDisk(keep), FactsOnDisk(copy, {second}), FactsOnDisk(deep)};
        TResultGroupFacts last;
        last.Files = {FactsOnDisk(other), FactsOnDisk(otherCopy)};
        groups = {first, last};
        before = SnapshotOf(tree.Path("files/"));
    }

    // Runs `kind` on the tree to its end, journalled through `journal`.
    void RunWith(TActionKind kind, TActionJournal& journal) {
        TRealFolders real;
        const TActionPlan plan = MakeActionPlan(groups, {}, real);
        TActionRun run(groups, plan, {kind, tree.Path("into"), false}, nullptr);
        run.JournalTo(journal);
        while (run.Step()) {
        }
    }

    // Undoes the newest run and expects the tree as it was, with nothing left in the trash or
    // the folder moved into.
    void ExpectUndoneCompletely(const std::string& what) {
        const std::optional<TRunSummary> newest = NewestRunToUndo(ListRuns(RunsFolder()));
        ASSERT_TRUE(newest) << what << ": no run to undo";
        const TUndoReport report = UndoRun(RunsFolder(), newest->Id);
        for (const TUndoLine& line : report.Lines)
            EXPECT_TRUE(line.PutBack) << what << ": " << line.Name << ": " << line.Reason;
        const auto after = SnapshotOf(tree.Path("files/"));
        EXPECT_EQ(after, before) << what << ": the tree after the undo:\n"
                                 << testing::Described(after);
        EXPECT_TRUE(std::filesystem::is_empty(tree.Path("into"))) << what;
        const std::string info = std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/info";
        EXPECT_TRUE(!std::filesystem::exists(info) || std::filesystem::is_empty(info))
            << what << ": trash info files are left";
        EXPECT_FALSE(NewestRunToUndo(ListRuns(RunsFolder()))) << what << ": undone twice?";
    }

    TTempTree tree;
    std::vector<TResultGroupFacts> groups;
    std::map<std::string, testing::TFileLook> before;
};

TEST_F(RunUndoTest, EachActionIsPutBackWithNamesOfOneFileStillOneFile) {
    for (const auto& kind : kKinds) {
        {
            TRunJournal journal(RunsFolder(), "test");
            RunWith(kind.Kind, journal);
        }
        ASSERT_NE(SnapshotOf(tree.Path("files/")), before) << kind.Word << " changed nothing";
        ExpectUndoneCompletely(kind.Word);
    }
}

TEST_F(RunUndoTest, ARunKilledBetweenAnIntentAndItsResultIsUndoneAsFarAsItWent) {
    const TKillPoint points[] = {{true, -1}, {false, 0}, {false, 1}, {false, 3}};
    for (const auto& kind : kKinds) {
        for (const TKillPoint& point : points) {
            const std::string what =
                std::string(kind.Word) + " killed " +
                (point.AfterFirstIntents
                     ? std::string("after the first intents")
                     : "at the result of step " + std::to_string(point.AtResultOf));
            const pid_t child = ::fork();
            if (child == 0) {
                TRunJournal journal(RunsFolder(), "test");
                TKillingJournal killing(journal, point);
                RunWith(kind.Kind, killing);
                std::_Exit(1);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
                << what << ": the run was not killed where asked (status " << status << ")";
            ExpectUndoneCompletely(what);
        }
    }
}

} // namespace
} // namespace parvex
