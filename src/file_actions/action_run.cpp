#include "file_actions/action_run.h"

#include "file_actions/check_before_acting.h"
#include "platform/actions_log.h"
#include "platform/free_name.h"

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

void TActionRun::Act(const TWork& work, TActionOutcome& outcome) {
    if (!work.Skip.empty()) {
        outcome.Reason = work.Skip;
        return;
    }
    if (stayingGroup_ != work.PlanGroup) {
        stayingGroup_ = work.PlanGroup;
        staying_ = ChooseStaying(work.PlanGroup);
    }
    const std::vector<TResultFileFacts>& files = groups_[plan_.Groups[work.PlanGroup].Group].Files;
    const TResultFileFacts& kept = files[staying_];
    outcome.Reason =
        WhyNotActNow(work.Name, FileOf(work), kept.Path, kept, choices_.Kind != TActionKind::Share);
    if (!outcome.Reason.empty())
        return;
    const std::string target = TargetFor(work.Name, kept.Path);
    if (choices_.Kind == TActionKind::Move && target.empty()) {
        outcome.Reason = "no free name in the folder";
        return;
    }
    TActionDone done = choices_.DryRun ? Foresee(choices_.Kind, work.Name, target)
                                       : CarryOut(choices_.Kind, work.Name, target);
    outcome.Done = done.Done;
    outcome.Target = std::move(done.Target);
    outcome.Reason = std::move(done.Reason);
    outcome.BytesShared = done.BytesShared;
    outcome.SharesStorage = done.SharesStorage;
    if (outcome.Done && !choices_.DryRun && log_ != nullptr &&
        !log_->Append(ActionWord(choices_.Kind), work.Name, outcome.Target) && logError_.empty())
        logError_ = log_->Error();
}

bool TActionRun::Step() {
    if (Finished())
        return false;
    const TWork& work = work_[next_++];
    TActionOutcome outcome;
    outcome.Group = plan_.Groups[work.PlanGroup].Group;
    outcome.File = work.File;
    outcome.Name = work.Name;
    Act(work, outcome);
    bytesShared_ += outcome.BytesShared;
    outcomes_.push_back(std::move(outcome));
    if (outcomes_.back().Done)
        CountDone(work);
    return true;
}

} // namespace parvex
