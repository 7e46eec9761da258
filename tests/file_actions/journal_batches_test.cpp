// A run journalled in batches: every intent is on disk before its name is acted on, many names
// take few writes, and a journal that cannot be written stops the acts.
#include "support/facts_on_disk.h"
#include "file_actions/action_run.h"
#include "support/temp_tree.h"

#include <gtest/gtest.h>
#include <set>

namespace parvex {
namespace {

using testing::FactsOnDisk;
using testing::TTempTree;

// Records what reaches "the disk" at each Sync, and whether the names intended were still in
// their places then.
class TRecordingJournal : public TActionJournal {
public:
    void Intend(const TStepIntent& intent) override { pending_.push_back(intent); }
    void Record(std::size_t step, const TActionDone& done) override {
        if (!written.contains(step))
            resultBeforeIntent = true;
        results += done.Done ? 1 : 0;
    }
    bool Sync() override {
        ++syncs;
        if (fail)
            return false;
        for (const TStepIntent& intent : pending_) {
            actedBeforeIntentWritten |= !TTempTree::Exists(intent.Name);
            written.insert(intent.Step);
        }
        pending_.clear();
        return true;
    }
    std::string Error() const override { return "no space left"; }

    bool fail = false;
    int syncs = 0;
    int results = 0;
    std::set<std::size_t> written;
    bool actedBeforeIntentWritten = false;
    bool resultBeforeIntent = false;

private:
    std::vector<TStepIntent> pending_;
};

// `count` groups of a kept copy and a copy to trash.
std::vector<TResultGroupFacts> Groups(TTempTree& tree, int count) {
    std::vector<TResultGroupFacts> groups;
    for (int i = 0; i < count; ++i) {
        const std::string content = "bytes " + std::to_string(i);
        TResultGroupFacts group;
        group.Files.push_back(FactsOnDisk(tree.File("keep/" + std::to_string(i), content)));
        group.Files.push_back(FactsOnDisk(tree.File("copy/" + std::to_string(i), content)));
        groups.push_back(std::move(group));
    }
    return groups;
}

TEST(JournalBatchesTest, IntentsReachTheDiskBeforeTheirBatchActsAndResultsAfter) {
    TTempTree tree;
    const std::vector<TResultGroupFacts> groups = Groups(tree, 130);
    TRealFolders real;
    const TActionPlan plan = MakeActionPlan(groups, {}, real);
    TRecordingJournal journal;
    TActionRun run(groups, plan, {TActionKind::Trash, {}, false}, nullptr);
    run.JournalTo(journal);
    while (run.Step()) {
    }
    EXPECT_EQ(run.DoneCount(), 130u);
    EXPECT_EQ(journal.written.size(), 130u) << "intents written";
    EXPECT_EQ(journal.results, 130);
    EXPECT_FALSE(journal.actedBeforeIntentWritten);
    EXPECT_FALSE(journal.resultBeforeIntent);
    // Three batches (64, 64, 2): each batch's intents go with the results of the one before,
    // and the last results on their own.
    EXPECT_EQ(journal.syncs, 4);
}

TEST(JournalBatchesTest, AJournalThatCannotBeWrittenStopsTheActsWithItsReason) {
    TTempTree tree;
    const std::vector<TResultGroupFacts> groups = Groups(tree, 3);
    TRealFolders real;
    const TActionPlan plan = MakeActionPlan(groups, {}, real);
    TRecordingJournal journal;
    journal.fail = true;
    TActionRun run(groups, plan, {TActionKind::Trash, {}, false}, nullptr);
    run.JournalTo(journal);
    while (run.Step()) {
    }
    EXPECT_EQ(run.DoneCount(), 0u);
    for (const TActionOutcome& outcome : run.Outcomes()) {
        EXPECT_EQ(outcome.Reason, "the journal cannot be written: no space left") << outcome.Name;
        EXPECT_TRUE(TTempTree::Exists(outcome.Name)) << outcome.Name;
    }
}

} // namespace
} // namespace parvex
