#pragma once

#include "file_actions/action_plan.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace parvex {

/// What a plan made by keep rules would do to a result, in figures.
struct TKeepPreview {
    /// The files it acts on: the ones the window marks.
    std::size_t Files = 0;
    /// The space acting on them frees: the size of each such file whose every name was found.
    std::int64_t Bytes = 0;
    /// The groups where a copy under a protected folder is the one that stays.
    std::size_t ProtectedGroups = 0;
    /// The groups where the copies were tied until the found order chose.
    std::size_t FoundOrderGroups = 0;

    friend bool operator==(const TKeepPreview&, const TKeepPreview&) = default;
};

/// The figures of `plan`, made for `groups`.
TKeepPreview PreviewOfPlan(const TActionPlan& plan, std::span<const TResultGroupFacts> groups);

/// Whether the plan acts on each file, group after group, each group's files in found order.
std::vector<bool> ActedOn(const TActionPlan& plan);

} // namespace parvex
