#pragma once

#include "main/result_data.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace parvex {

/// The places of a group's file rows in the order the search reported them.
std::vector<std::size_t> FilesInFoundOrder(const TResultGroup& group);

/// A file of a result the window shows, as a result document states it.
TResultFileFacts FileFactsOf(const TResultData& result, std::size_t group, std::size_t file);

/// The groups of a result that hold a marked file, as the actions library plans them: each
/// group's files in found order, and where each group and file came from.
struct TMarkedGroups {
    std::vector<TResultGroupFacts> Groups;
    /// Each group's place in the result.
    std::vector<std::size_t> Places;
    /// Each group's files' found ranks, in the order of its facts.
    std::vector<std::vector<std::uint32_t>> Ranks;
};

/// The groups of `result` with a marked file.
TMarkedGroups MarkedGroupsOf(const TResultData& result);

} // namespace parvex
