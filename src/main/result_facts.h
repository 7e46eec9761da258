#pragma once

#include "main/result_data.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <stop_token>
#include <vector>

namespace parvex {

/// The places of a group's file rows in the order the search reported them.
std::vector<std::size_t> FoundOrderOf(const TResultGroup& group);

/// A group of a result as the actions library and the result document take it: its files in the
/// order found, marks included, and the row of each in the group.
struct TGroupFacts {
    TResultGroupFacts Facts;
    std::vector<std::size_t> Rows;
};

/// The facts of the group at `group` of `result`.
TGroupFacts GroupFactsOf(const TResultData& result, std::size_t group);

/// Every group of the result in its default order, each with its files in the order found, as
/// the actions library plans for them; stops early (with the groups so far) once `stop` is
/// requested. The result must not change meanwhile: it may run on another thread.
std::vector<TResultGroupFacts> ResultFacts(const TResultData& result, std::stop_token stop = {});

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
