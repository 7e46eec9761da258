#pragma once

#include "file_actions/action_plan.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parvex {

/// What a plan acts on, counted before it runs.
struct TPlanCount {
    /// The files acted on.
    std::size_t Files = 0;
    /// The space they free: each file once, when every name of it was found and no name of it
    /// stays.
    std::int64_t Bytes = 0;
    /// The files skipped.
    std::size_t Skipped = 0;
    /// Those of them skipped as protected.
    std::size_t Protected = 0;
    /// The other names of the files acted on, which go with them.
    std::size_t OtherNames = 0;
    /// The files acted on some of whose names lie outside the search: acting on them frees
    /// nothing.
    std::size_t NamesOutside = 0;
};

/// Counts what `plan`, made for `groups`, acts on.
TPlanCount CountPlan(const std::vector<TResultGroupFacts>& groups, const TActionPlan& plan);

} // namespace parvex
