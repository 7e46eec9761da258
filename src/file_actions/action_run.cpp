#include "file_actions/action_run.h"

#include "file_actions/check_before_acting.h"
#include "platform/actions_log.h"
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
    if (file.AllNamesFound && done == 1 + file.OtherNames.size())
        bytesFreed_ += file.Size;
}

const TResultFileFacts& TActionRun::StayingFile(std::size_t planGroup) {
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

// The intents of the next batch, with their targets chosen, written before any of it acts.
void TActionRun::PrepareBatch() {
    const std::size_t end = std::min(work_.size(), next_ + TJournalBatches::kBatchSize);
    std::vector<TStepIntent> intents;
    for (std::size_t step = next_; step < end; ++step) {
        const TWork& work = work_[step];
        if (!work.Skip.empty())
            continue;
        const std::string& keptName = StayingFile(work.PlanGroup).Path;
        intents.push_back(journal_->Reserver().Reserve(choices_.Kind, step, work.Name,
                                                       TargetFor(work.Name, keptName)));
    }
    journal_->Begin(next_, end, std::move(intents));
}

void TActionRun::Act(std::size_t step, TActionOutcome& outcome) {
    const TWork& work = work_[step];
    if (!work.Skip.empty()) {
        outcome.Reason = work.Skip;
        return;
    }
    const TResultFileFacts& kept = StayingFile(work.PlanGroup);
    outcome.Reason = WhyNotActNow(work.Name, FileOf(work), kept.Path, kept);
    if (!outcome.Reason.empty())
        return;
    const std::string target =
        journal_ ? journal_->TargetOf(step) : TargetFor(work.Name, kept.Path);
    if (choices_.Kind == TActionKind::Move && target.empty()) {
        outcome.Reason = "no free name in the folder";
        return;
    }
    if (choices_.DryRun) {
        outcome.Done = true;
        outcome.Target = target;
        return;
    }
    TActionDone done =
        journal_ ? journal_->CarryOut(step) : CarryOut(choices_.Kind, work.Name, target);
    outcome.Done = done.Done;
    outcome.Target = std::move(done.Target);
    outcome.Reason = std::move(done.Reason);
    if (outcome.Done && log_ != nullptr &&
        !log_->Append(ActionWord(choices_.Kind), work.Name, outcome.Target) && logError_.empty())
        logError_ = log_->Error();
}

bool TActionRun::Step() {
    if (Finished())
        return false;
    if (journal_ && !journal_->Holds(next_))
        PrepareBatch();
    const std::size_t step = next_++;
    const TWork& work = work_[step];
    TActionOutcome outcome;
    outcome.Group = plan_.Groups[work.PlanGroup].Group;
    outcome.File = work.File;
    outcome.Name = work.Name;
    Act(step, outcome);
    outcomes_.push_back(std::move(outcome));
    if (outcomes_.back().Done)
        CountDone(work);
    if (journal_ && Finished())
        journal_->Finish();
    return true;
}

} // namespace parvex
