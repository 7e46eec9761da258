#pragma once

#include "file_actions/keep_preview.h"
#include "file_actions/keep_rules.h"
#include "result_file/result_document.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

namespace parvex {

/// Plans for lists of keep rules over one result, made on a thread of its own so that whoever
/// asks never waits: the result's facts are gathered there once, and a newer request
/// supersedes one that is waiting or half done.
class TKeepPlanner {
public:
    /// A finished plan: the request it answers, its figures, and whether it acts on each file
    /// (ActedOn).
    struct TOutcome {
        std::uint64_t Request = 0;
        TKeepPreview Figures;
        std::shared_ptr<const std::vector<bool>> Acted;
    };
    /// Gathers the result's groups (files in found order); it may stop early, with anything,
    /// once `stop` is requested.
    using TFacts = std::function<std::vector<TResultGroupFacts>(std::stop_token stop)>;
    /// Receives each finished plan, on the planner's thread.
    using TDone = std::function<void(TOutcome outcome)>;

    /// Plans with the protected folders `protectedFolders`, as MakeActionPlan does.
    TKeepPlanner(TFacts facts, std::vector<std::string> protectedFolders, TDone done);
    /// Stops the thread: work in hand is dropped.
    ~TKeepPlanner();
    TKeepPlanner(const TKeepPlanner&) = delete;
    TKeepPlanner& operator=(const TKeepPlanner&) = delete;

    /// Asks for the plan of `rules`; the number of the request, which its outcome carries.
    std::uint64_t Request(std::vector<TKeepRule> rules);

    /// How many groups are planned between two looks for a newer request.
    static constexpr std::size_t kGroupsPerSlice = 1024;

private:
    void Run(std::stop_token stop);
    // The plan for the request `number`; nothing once a newer one or the stop came.
    std::optional<TOutcome> Plan(std::uint64_t number, const std::vector<TKeepRule>& rules,
                                 const std::vector<TResultGroupFacts>& groups,
                                 const std::stop_token& stop);

    TFacts facts_;
    TDone done_;
    TPlanChoices choices_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::optional<std::vector<TKeepRule>> pending_;
    std::atomic<std::uint64_t> latest_ = 0;
    // Last: the thread starts once everything it uses is there.
    std::jthread thread_;
};

} // namespace parvex
