#pragma once

#include "file_actions/action_journal.h"
#include "file_actions/journaled_step.h"
#include "platform/all_names_move.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

namespace parvex {

/// The journal of a run written in batches, so that many names take few writes to disk: the
/// intents of a batch are written before any of its names is acted on, their results after the
/// last of them. A batch cut short (a run stopped) has its results written when this goes, the
/// names not acted on recorded as such.
class TJournalBatches {
public:
    /// The most names one batch holds.
    static constexpr std::size_t kBatchSize = 64;

    explicit TJournalBatches(TActionJournal& journal) : journal_(journal) {}
    ~TJournalBatches();
    TJournalBatches(const TJournalBatches&) = delete;
    TJournalBatches& operator=(const TJournalBatches&) = delete;

    /// Chooses the targets of steps before their intents are written.
    TStepReserver& Reserver() { return reserver_; }
    /// True while step `step` lies in the batch begun last.
    bool Holds(std::size_t step) const { return step >= begin_ && step < end_; }
    /// Begins the batch of steps `begin` up to `end` with the intents of those that act (the
    /// others have none) and writes them together with the results of the batch before.
    void Begin(std::size_t begin, std::size_t end, std::vector<TStepIntent> intents);
    /// The target the intent of `step` names; empty when it has none.
    std::string TargetOf(std::size_t step) const;
    /// Carries out the intent of `step` and records its result; when the batch's intents could
    /// not be written, nothing is done and the reason says so.
    TActionDone CarryOut(std::size_t step);
    /// Moves the names of one file, the steps `steps` (its first name first), together to the
    /// targets their intents name, and records their results.
    TNamesMove MoveAllNames(const std::vector<std::size_t>& steps);
    /// Writes the results recorded so far, the steps with an intent and no act recorded as not
    /// acted on.
    void Finish();

private:
    void RecordResults();

    TActionJournal& journal_;
    TStepReserver reserver_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::map<std::size_t, TStepIntent> intents_;
    bool open_ = false;     ///< a batch was begun and its results are not written yet
    std::string unwritten_; ///< why the batch's intents could not be written
};

} // namespace parvex
