#include "file_actions/bulk_run.h"

#include "platform/actions_log.h"
#include "platform/same_content.h"

#include <algorithm>
#include <utility>

namespace parvex {
namespace {

bool SameFile(const TBulkFile& a, const TBulkFile& b) {
    return a.Found && b.Found && a.Found->Id == b.Found->Id;
}

} // namespace

TBulkCount CountActedOn(const std::vector<TBulkGroup>& groups) {
    TBulkCount count;
    std::set<std::pair<std::uint64_t, std::uint64_t>> counted;
    for (const TBulkGroup& group : groups) {
        for (const TBulkFile& file : group.Marked) {
            if (file.Protected) {
                ++count.Protected;
                continue;
            }
            ++count.Files;
            count.OtherNames += file.OtherNames.size();
            if (!file.AllNamesFound)
                ++count.NamesOutside;
            if (!file.Found || !file.AllNamesFound)
                continue;
            // Another name of the file that stays keeps its space in use.
            const auto keeps = [&file](const TBulkFile& other) { return SameFile(file, other); };
            if (std::ranges::any_of(group.Unmarked, keeps) ||
                std::ranges::any_of(group.Marked, [&keeps](const TBulkFile& other) {
                    return other.Protected && keeps(other);
                }))
                continue;
            if (counted.emplace(file.Found->Id.Device, file.Found->Id.Inode).second)
                count.Bytes += file.Found->Size;
        }
    }
    return count;
}

TBulkAct EachName(TNameAct act) {
    return [act = std::move(act)](const std::vector<std::string>& names, const std::string& kept,
                                  std::vector<std::string>& targets, std::string& reason) {
        for (const std::string& name : names) {
            std::string target;
            std::string why;
            if (!act(name, kept, target, why)) {
                if (targets.empty()) {
                    reason = std::move(why);
                    return false;
                }
                reason = "its other name " + name + " stays: " + why;
                return true;
            }
            targets.push_back(std::move(target));
        }
        return true;
    };
}

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
    // Every name of the file that the search found goes with it, as long as it still names it.
    std::vector<std::string> names{file.Path};
    for (const std::string& name : file.OtherNames) {
        if (UnchangedSinceFound(name, file.Found))
            names.push_back(name);
    }
    TBulkOutcome outcome{file, false, {}, {}};
    outcome.Done = act_(names, kept_->Path, outcome.Targets, outcome.Reason);
    if (outcome.Done) {
        ++doneCount_;
        // A name that stayed, or one outside the search, keeps the space in use.
        if (!file.AllNamesFound)
            ++doneOutside_;
        else if (outcome.Reason.empty() &&
                 freedIds_.emplace(file.Found->Id.Device, file.Found->Id.Inode).second)
            bytesFreed_ += file.Found->Size;
        for (std::size_t n = 0; n < names.size() && log_ != nullptr; ++n) {
            const std::string target = n < outcome.Targets.size() ? outcome.Targets[n] : "";
            if (!log_->Append(action_, names[n], target) && logError_.empty())
                logError_ = log_->Error();
        }
    }
    outcomes_.push_back(std::move(outcome));
}

} // namespace parvex
