#include "file_actions/action_run.h"

#include "file_actions/check_before_acting.h"
#include "platform/actions_log.h"
#include "platform/all_names_move.h"
#include "platform/free_name.h"

#include <algorithm>
#include <utility>

namespace parvex {

TActionRun::TActionRun(const std::vector<TResultGroupFacts>& groups, const TActionPlan& plan,
                       TRunChoices choices, TActionsLog* log)
    : groups_(groups), plan_(plan), choices_(std::move(choices)), log_(log) {
    for (std::size_t g = 0; g < plan_.Groups.size(); ++g) {
        for (const TPlanFile& file : plan_.Groups[g].Files) {
            if (file.Decision == TPlanDecision::Stays)
                continue;
            const TResultFileFacts& facts = groups_[plan_.Groups[g].Group].Files[file.File];
            const std::string skip = file.Decision == TPlanDecision::Skip ? file.Why : "";
            work_.push_back({g, file.File, facts.Path, skip});
            // Storage belongs to the file, not to one of its names.
            if (choices_.Kind == TActionKind::Share)
                continue;
            for (const std::string& other : facts.OtherNames)
                work_.push_back({g, file.File, other, skip});
        }
    }
}

const TResultFileFacts& TActionRun::FileOf(const TWork& work) const {
    return groups_[plan_.Groups[work.PlanGroup].Group].Files[work.File];
}

// The plan's kept copy while it is unchanged, else the next copy that stays and is unchanged.
// Only groups with a kept copy have files to act on.
std::size_t TActionRun::ChooseStaying(std::size_t planGroup) const {
    const TPlanGroup& group = plan_.Groups[planGroup];
    const std::vector<TResultFileFacts>& files = groups_[group.Group].Files;
    if (UnchangedSinceSearch(files[*group.Kept].Path, files[*group.Kept]))
        return *group.Kept;
    for (const TPlanFile& file : group.Files) {
        if (file.Decision == TPlanDecision::Stays &&
            UnchangedSinceSearch(files[file.File].Path, files[file.File]))
            return file.File;
    }
    // The check before acting says that the copy that stays changed.
    return *group.Kept;
}

std::string TActionRun::TargetFor(const std::string& name, const std::string& keptName) {
    switch (choices_.Kind) {
    case TActionKind::Trash:
        return {};
    case TActionKind::Move:
        break;
    case TActionKind::HardLink:
    case TActionKind::Share:
        return keptName;
    }
    // A dry run moves nothing, so the names it promised are kept apart by hand.
    std::string target =
        FreePathIn(choices_.MoveFolder, name.substr(name.rfind('/') + 1),
                   [this](const std::string& path) { return targetsPromised_.contains(path); });
    targetsPromised_.insert(target);
    return target;
}

void TActionRun::CountDone(const TWork& work) {
    ++doneCount_;
    const TResultFileFacts& file = FileOf(work);
    const std::size_t done = ++namesDone_[{plan_.Groups[work.PlanGroup].Group, work.File}];
    if (choices_.Kind != TActionKind::Share && file.AllNamesFound &&
        done == 1 + file.OtherNames.size())
        bytesFreed_ += file.Size;
}

bool TActionRun::AtFileStart() const {
    return Finished() || work_[next_].Name == FileOf(work_[next_]).Path;
}

const TResultFileFacts& TActionRun::Staying(std::size_t planGroup) {
    if (stayingGroup_ != planGroup) {
        stayingGroup_ = planGroup;
        staying_ = ChooseStaying(planGroup);
    }
    return groups_[plan_.Groups[planGroup].Group].Files[staying_];
}

void TActionRun::JournalTo(TActionJournal& journal) {
    if (!choices_.DryRun)
        journal_ = std::make_unique<TJournalBatches>(journal);
}

// The intents of the next batch, with their targets chosen, written before any of it acts. A
// batch ends where a file does, as a move takes all names of a file at once.
void TActionRun::PrepareBatch() {
    std::size_t end = std::min(work_.size(), next_ + TJournalBatches::kBatchSize);
    while (end < work_.size() && work_[end].Name != FileOf(work_[end]).Path)
        ++end;
    std::vector<TStepIntent> intents;
    for (std::size_t step = next_; step < end; ++step) {
        const TWork& work = work_[step];
        if (!work.Skip.empty())
            continue;
        const std::string& keptName = Staying(work.PlanGroup).Path;
        intents.push_back(journal_->Reserver().Reserve(choices_.Kind, step, work.Name,
                                                       TargetFor(work.Name, keptName)));
    }
    journal_->Begin(next_, end, std::move(intents));
}

void TActionRun::Log(const TActionOutcome& outcome) {
    if (log_ != nullptr && !log_->Append(ActionWord(choices_.Kind), outcome.Name, outcome.Target) &&
        logError_.empty())
        logError_ = log_->Error();
}

void TActionRun::Act(const TWork& work, TActionOutcome& outcome) {
    if (!work.Skip.empty()) {
        outcome.Reason = work.Skip;
        return;
    }
    const TResultFileFacts& kept = Staying(work.PlanGroup);
    outcome.Reason =
        WhyNotActNow(work.Name, FileOf(work), kept.Path, kept, choices_.Kind != TActionKind::Share);
    if (!outcome.Reason.empty())
        return;
    const auto step = static_cast<std::size_t>(&work - work_.data());
    const std::string target =
        journal_ ? journal_->TargetOf(step) : TargetFor(work.Name, kept.Path);
    if (choices_.Kind == TActionKind::Move && target.empty()) {
        outcome.Reason = "no free name in the folder";
        return;
    }
    TActionDone done = choices_.DryRun ? Foresee(choices_.Kind, work.Name, target)
                       : journal_  ? journal_->CarryOut(step)
                                   : CarryOut(choices_.Kind, work.Name, target);
    outcome.Done = done.Done;
    outcome.Target = std::move(done.Target);
    outcome.Reason = std::move(done.Reason);
    outcome.BytesShared = done.BytesShared;
    outcome.SharesStorage = done.SharesStorage;
    if (outcome.Done && !choices_.DryRun)
        Log(outcome);
}

// The names of the file whose first name is work_[first] that pass their checks move together;
// the outcome of each of its names is decided here.
void TActionRun::MoveAllNamesOf(std::size_t first) {
    const TWork& work = work_[first];
    const TResultFileFacts& file = FileOf(work);
    const TResultFileFacts& kept = Staying(work.PlanGroup);
    std::vector<std::size_t> movable;
    std::vector<std::string> names;
    for (std::size_t w = first; w <= first + file.OtherNames.size(); ++w) {
        TActionOutcome& outcome = decided_[w];
        outcome.Group = plan_.Groups[work.PlanGroup].Group;
        outcome.File = work.File;
        outcome.Name = work_[w].Name;
        outcome.Reason = WhyNotActNow(outcome.Name, file, kept.Path, kept);
        if (outcome.Reason.empty()) {
            movable.push_back(w);
            names.push_back(outcome.Name);
        }
    }
    if (choices_.DryRun) {
        for (const std::size_t w : movable) {
            TActionOutcome& outcome = decided_[w];
            outcome.Target = TargetFor(outcome.Name, kept.Path);
            outcome.Done = !outcome.Target.empty();
            if (!outcome.Done)
                outcome.Reason = "no free name in the folder";
        }
        return;
    }
    if (names.empty())
        return;
    const TNamesMove moved = MoveNames(movable, names);
    for (std::size_t n = 0; n < movable.size(); ++n) {
        TActionOutcome& outcome = decided_[movable[n]];
        outcome.Done = moved.Moved;
        if (!moved.Moved) {
            outcome.Reason = moved.Reason;
            continue;
        }
        outcome.Target = moved.Targets[n];
        Log(outcome);
    }
}

// The names of one file moved together: to the targets their intents name when journalled.
TNamesMove TActionRun::MoveNames(const std::vector<std::size_t>& steps,
                                 const std::vector<std::string>& names) {
    if (!journal_)
        return MoveAllNames(names, choices_.MoveFolder);
    return journal_->MoveAllNames(steps);
}

bool TActionRun::Step() {
    if (Finished())
        return false;
    if (journal_ && !journal_->Holds(next_))
        PrepareBatch();
    const std::size_t place = next_++;
    const TWork& work = work_[place];
    const TResultFileFacts& file = FileOf(work);
    if (choices_.Kind == TActionKind::Move && work.Skip.empty() && !file.OtherNames.empty() &&
        work.Name == file.Path)
        MoveAllNamesOf(place);
    if (auto decided = decided_.extract(place)) {
        outcomes_.push_back(std::move(decided.mapped()));
    } else {
        TActionOutcome outcome;
        outcome.Group = plan_.Groups[work.PlanGroup].Group;
        outcome.File = work.File;
        outcome.Name = work.Name;
        Act(work, outcome);
        bytesShared_ += outcome.BytesShared;
        outcomes_.push_back(std::move(outcome));
    }
    if (outcomes_.back().Done)
        CountDone(work);
    if (journal_ && Finished())
        journal_->Finish();
    return true;
}

} // namespace parvex
