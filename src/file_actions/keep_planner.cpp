#include "file_actions/keep_planner.h"

#include "file_actions/real_folders.h"

#include <algorithm>
#include <utility>

namespace parvex {

TKeepPlanner::TKeepPlanner(TFacts facts, std::vector<std::string> protectedFolders, TDone done)
    : facts_(std::move(facts)), done_(std::move(done)) {
    choices_.ProtectedFolders = std::move(protectedFolders);
    thread_ = std::jthread([this](std::stop_token stop) { Run(std::move(stop)); });
}

TKeepPlanner::~TKeepPlanner() {
    thread_.request_stop();
    thread_.join();
}

std::uint64_t TKeepPlanner::Request(std::vector<TKeepRule> rules) {
    std::uint64_t number = 0;
    {
        const std::scoped_lock lock(mutex_);
        pending_ = std::move(rules);
        number = ++latest_;
    }
    wake_.notify_one();
    return number;
}

void TKeepPlanner::Run(std::stop_token stop) {
    std::optional<std::vector<TResultGroupFacts>> groups;
    while (!stop.stop_requested()) {
        std::unique_lock lock(mutex_);
        if (!wake_.wait(lock, stop, [this] { return pending_.has_value(); }))
            break;
        // The facts are gathered once the first request came, before it is taken: requests
        // made meanwhile leave only the newest to plan.
        if (!groups) {
            lock.unlock();
            groups = facts_(stop);
            lock.lock();
        }
        const std::vector<TKeepRule> rules = std::move(*pending_);
        pending_.reset();
        const std::uint64_t number = latest_;
        lock.unlock();
        if (std::optional<TOutcome> outcome = Plan(number, rules, *groups, stop))
            done_(std::move(*outcome));
    }
}

std::optional<TKeepPlanner::TOutcome>
TKeepPlanner::Plan(std::uint64_t number, const std::vector<TKeepRule>& rules,
                   const std::vector<TResultGroupFacts>& groups, const std::stop_token& stop) {
    TPlanChoices choices = choices_;
    choices.Rules = rules;
    TRealFolders real;
    TOutcome outcome;
    outcome.Request = number;
    auto acted = std::make_shared<std::vector<bool>>();
    // Groups are planned each on their own, so a plan made slice by slice is the plan of the
    // whole result.
    for (std::size_t start = 0; start < groups.size(); start += kGroupsPerSlice) {
        if (stop.stop_requested() || latest_ != number)
            return std::nullopt;
        const std::span<const TResultGroupFacts> slice =
            std::span(groups).subspan(start, std::min(kGroupsPerSlice, groups.size() - start));
        const TActionPlan plan = MakeActionPlan(slice, choices, real);
        const TKeepPreview figures = PreviewOfPlan(plan, slice);
        outcome.Figures.Files += figures.Files;
        outcome.Figures.Bytes += figures.Bytes;
        outcome.Figures.ProtectedGroups += figures.ProtectedGroups;
        outcome.Figures.FoundOrderGroups += figures.FoundOrderGroups;
        const std::vector<bool> sliceActed = ActedOn(plan);
        acted->insert(acted->end(), sliceActed.begin(), sliceActed.end());
    }
    outcome.Acted = std::move(acted);
    return outcome;
}

} // namespace parvex
