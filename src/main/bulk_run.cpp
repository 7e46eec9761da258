#include "main/bulk_run.h"

#include "platform/actions_log.h"
#include "platform/same_content.h"

#include <utility>

namespace parvex {
TBulkRun::TBulkRun(std::vector<TBulkGroup> groups, TBulkAct act, std::string action,
                   TActionsLog* log)
    : groups_(std::move(groups)), act_(std::move(act)), action_(std::move(action)), log_(log) {
    for (const TBulkGroup& group : groups_)
        total_ += group.Marked.size();
    // Groups without a marked file need no step.
    std::erase_if(groups_, [](const TBulkGroup& group) { return group.Marked.empty(); });
}

void TBulkRun::Skip(const TBulkFile& file, std::string reason) {
    outcomes_.push_back({file, false, {}, std::move(reason)});
}

// The copy that stays is the first unmarked one in found order that is on disk as the search
// found it; a protected one qualifies.
void TBulkRun::ChooseKept() {
    keptChosen_ = true;
    kept_ = nullptr;
    for (const TBulkFile& candidate : groups_[group_].Unmarked) {
        if (UnchangedSinceFound(candidate.Path, candidate.Found)) {
            kept_ = &candidate;
            return;
        }
    }
}

bool TBulkRun::Step() {
    if (Finished())
        return false;
    if (!keptChosen_)
        ChooseKept();
    const TBulkFile& file = groups_[group_].Marked[file_];
    if (kept_ == nullptr)
        Skip(file, "no unchanged copy stays");
    else
        Act(file);
    if (++file_ >= groups_[group_].Marked.size()) {
        ++group_;
        file_ = 0;
        keptChosen_ = false;
    }
    return true;
}

void TBulkRun::Act(const TBulkFile& file) {
    if (file.Protected)
        return Skip(file, "under a protected folder");
    if (!UnchangedSinceFound(file.Path, file.Found))
        return Skip(file,
                    FoundFileOnDisk(file.Path) ? "changed since the search" : "no longer there");
    if (!UnchangedSinceFound(kept_->Path, kept_->Found))
        return Skip(file, "the copy that stays changed since the search");
    if (file.Found->Id == kept_->Found->Id)
        return Skip(file, "another name of the copy that stays");
    switch (CompareContent(file.Path, kept_->Path)) {
    case TContentMatch::Same:
        break;
    case TContentMatch::Different:
        return Skip(file, "its content no longer equals the copy that stays");
    case TContentMatch::Unreadable:
        return Skip(file, "it or the copy that stays cannot be read");
    }
    TBulkOutcome outcome{file, false, {}, {}};
    outcome.Done = act_(file.Path, kept_->Path, outcome.Target, outcome.Reason);
    if (outcome.Done) {
        ++doneCount_;
        if (file.AllNamesFound &&
            freedIds_.emplace(file.Found->Id.Device, file.Found->Id.Inode).second)
            bytesFreed_ += file.Found->Size;
        if (log_ != nullptr && !log_->Append(action_, file.Path, outcome.Target) &&
            logError_.empty())
            logError_ = log_->Error();
    }
    outcomes_.push_back(std::move(outcome));
}

} // namespace parvex
