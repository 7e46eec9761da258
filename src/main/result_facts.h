#pragma once

#include "main/result_data.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <vector>

namespace parvex {

/// A group of a result as the actions library and the result document take it: its files in the
/// order found, marks included, and the row of each in the group.
struct TGroupFacts {
    TResultGroupFacts Facts;
    std::vector<std::size_t> Rows;
};

/// The facts of the group at `group` of `result`.
TGroupFacts GroupFactsOf(const TResultData& result, std::size_t group);

/// The groups of a result that hold a marked file, as the actions library takes them, with the
/// place of each in the result and the row of each of their files.
struct TMarkedGroups {
    std::vector<TResultGroupFacts> Facts;
    std::vector<std::size_t> Places;
    std::vector<std::vector<std::size_t>> Rows;
};

/// The groups of `result` with a marked file.
TMarkedGroups MarkedGroupsOf(const TResultData& result);

} // namespace parvex
