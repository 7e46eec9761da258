// Plans for keep rules made on the planner's own thread: the same as the plan of the whole
// result, gathered once, newer requests superseding older ones, and a stop that ends it all.
#include "file_actions/keep_planner.h"

#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>

namespace parvex {
namespace {

// Groups of three copies: sizes and times vary so that each rule decides somewhere.
std::vector<TResultGroupFacts> Groups(std::size_t count) {
    std::vector<TResultGroupFacts> groups(count);
    for (std::size_t g = 0; g < count; ++g) {
        for (int c = 0; c < 3; ++c) {
            TResultFileFacts file;
            file.Path = "/nowhere/" + std::string(c + g % 3, 'd') + "/" + std::to_string(g);
            file.Size = static_cast<std::int64_t>(g + 1);
            file.ModifiedNs = static_cast<std::int64_t>((g * 7 + c * 3) % 4);
            groups[g].Files.push_back(file);
        }
    }
    return groups;
}

// What the planner delivered, and a way to wait for a given request's outcome.
class TDelivered {
public:
    void Take(TKeepPlanner::TOutcome outcome) {
        const std::scoped_lock lock(mutex_);
        outcomes_.push_back(std::move(outcome));
        arrived_.notify_all();
    }
    void WaitFor(std::uint64_t request) {
        std::unique_lock lock(mutex_);
        arrived_.wait(lock,
                      [&] { return !outcomes_.empty() && outcomes_.back().Request >= request; });
    }
    std::vector<TKeepPlanner::TOutcome> Outcomes() {
        const std::scoped_lock lock(mutex_);
        return outcomes_;
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<TKeepPlanner::TOutcome> outcomes_;
};

TEST(KeepPlannerTest, EachOutcomeIsThePlanOfTheWholeResultAndTheFactsAreGatheredOnce) {
    // More groups than one slice, and a last slice that is not full.
    const std::vector<TResultGroupFacts> groups = Groups(TKeepPlanner::kGroupsPerSlice * 2 + 5);
    int gathered = 0;
    TDelivered delivered;
    TKeepPlanner planner(
        [&](std::stop_token) {
            ++gathered;
            return groups;
        },
        {}, [&](TKeepPlanner::TOutcome outcome) { delivered.Take(std::move(outcome)); });
    const std::vector<std::vector<TKeepRule>> lists{
        {{TKeepRuleKind::Newest, {}}},
        {{TKeepRuleKind::Oldest, {}}, {TKeepRuleKind::LongestPath, {}}},
        {{TKeepRuleKind::Glob, "*/dd/*"}, {TKeepRuleKind::ShortestPath, {}}}};
    for (const auto& rules : lists) {
        const std::uint64_t request = planner.Request(rules);
        delivered.WaitFor(request);
        const TKeepPlanner::TOutcome outcome = delivered.Outcomes().back();
        TRealFolders real;
        TPlanChoices choices;
        choices.Rules = rules;
        const TActionPlan whole = MakeActionPlan(groups, choices, real);
        EXPECT_EQ(outcome.Request, request);
        EXPECT_EQ(outcome.Figures, PreviewOfPlan(whole, groups))
            << KeepRuleText(rules.front()) << ": " << outcome.Figures.Files << " files";
        ASSERT_NE(outcome.Acted, nullptr);
        EXPECT_EQ(*outcome.Acted, ActedOn(whole)) << KeepRuleText(rules.front());
    }
    EXPECT_EQ(gathered, 1);
}

TEST(KeepPlannerTest, RequestsMadeWhileTheFactsAreGatheredLeaveOnlyTheNewestToPlan) {
    std::mutex mutex;
    std::condition_variable released;
    bool go = false;
    TDelivered delivered;
    TKeepPlanner planner(
        [&](std::stop_token) {
            std::unique_lock lock(mutex);
            released.wait(lock, [&] { return go; });
            return Groups(10);
        },
        {}, [&](TKeepPlanner::TOutcome outcome) { delivered.Take(std::move(outcome)); });
    planner.Request({{TKeepRuleKind::Newest, {}}});
    planner.Request({{TKeepRuleKind::Oldest, {}}});
    const std::uint64_t last = planner.Request({{TKeepRuleKind::First, {}}});
    {
        const std::scoped_lock lock(mutex);
        go = true;
    }
    released.notify_all();
    delivered.WaitFor(last);
    const auto outcomes = delivered.Outcomes();
    ASSERT_EQ(outcomes.size(), 1u) << "the first outcome answers request " << outcomes[0].Request;
    EXPECT_EQ(outcomes[0].Request, last);
}

TEST(KeepPlannerTest, EndingThePlannerStopsTheGatheringAndDeliversNothing) {
    bool delivered = false;
    bool gathering = false;
    std::mutex mutex;
    std::condition_variable_any changed;
    {
        TKeepPlanner planner(
            [&](std::stop_token stop) {
                std::unique_lock lock(mutex);
                gathering = true;
                changed.notify_all();
                changed.wait(lock, stop, [] { return false; });
                return Groups(10);
            },
            {}, [&](TKeepPlanner::TOutcome) { delivered = true; });
        planner.Request({{TKeepRuleKind::Newest, {}}});
        std::unique_lock lock(mutex);
        changed.wait(lock, [&] { return gathering; });
    }
    EXPECT_FALSE(delivered);
}

} // namespace
} // namespace parvex
