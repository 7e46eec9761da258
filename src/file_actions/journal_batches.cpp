#include "file_actions/journal_batches.h"

#include <utility>

namespace parvex {

TJournalBatches::~TJournalBatches() {
    Finish();
}

// The results of the batch begun last, the steps with an intent and no act recorded as not
// acted on.
void TJournalBatches::RecordResults() {
    if (unwritten_.empty()) {
        for (const auto& [step, intent] : intents_)
            journal_.Record(step, {false, {}, "not acted on"});
    }
    intents_.clear();
}

void TJournalBatches::Finish() {
    if (!open_)
        return;
    open_ = false;
    RecordResults();
    // The acts are done either way; results that cannot be written are learnt on disk at undo.
    (void)journal_.Sync();
}

void TJournalBatches::Begin(std::size_t begin, std::size_t end, std::vector<TStepIntent> intents) {
    // The results of the batch before reach the disk with the intents of this one: one write,
    // and still every result is there before anything else is acted on.
    RecordResults();
    open_ = true;
    begin_ = begin;
    end_ = end;
    unwritten_.clear();
    for (TStepIntent& intent : intents) {
        journal_.Intend(intent);
        const std::size_t step = intent.Step;
        intents_.emplace(step, std::move(intent));
    }
    if (!journal_.Sync())
        unwritten_ = "the journal cannot be written: " + journal_.Error();
}

std::string TJournalBatches::TargetOf(std::size_t step) const {
    const auto found = intents_.find(step);
    return found == intents_.end() ? std::string() : found->second.Target;
}

TActionDone TJournalBatches::CarryOut(std::size_t step) {
    const auto found = intents_.find(step);
    if (found == intents_.end())
        return {false, {}, "it has no intent in the journal"};
    if (!unwritten_.empty())
        return {false, {}, unwritten_};
    TActionDone done = CarryOutIntent(found->second);
    journal_.Record(step, done);
    intents_.erase(found);
    return done;
}

TNamesMove TJournalBatches::MoveAllNames(const std::vector<std::size_t>& steps) {
    TNamesMove moved;
    std::vector<std::string> names;
    std::vector<std::string> targets;
    for (const std::size_t step : steps) {
        const auto found = intents_.find(step);
        if (found == intents_.end()) {
            moved.Reason = "it has no intent in the journal";
            return moved;
        }
        names.push_back(found->second.Name);
        targets.push_back(found->second.Target);
    }
    if (!unwritten_.empty()) {
        moved.Reason = unwritten_;
        return moved;
    }
    moved = MoveAllNamesTo(names, targets);
    for (std::size_t n = 0; n < steps.size(); ++n) {
        journal_.Record(steps[n], {moved.Moved, targets[n], moved.Reason});
        intents_.erase(steps[n]);
    }
    return moved;
}

} // namespace parvex
