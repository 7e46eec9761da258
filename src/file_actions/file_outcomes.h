#pragma once

#include "file_actions/action_run.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <string>
#include <vector>

namespace parvex {

/// What became of one file of a run, all its names together.
struct TFileOutcome {
    std::size_t Group = 0; ///< the group's place in the result
    std::size_t File = 0;  ///< the file's place in its group
    /// The names acted on, in the order handled.
    std::vector<std::string> Done;
    /// The names skipped or failed, each with why.
    std::vector<TActionOutcome> NotDone;
    /// Some names of the file lie outside the search: acting on it frees nothing.
    bool NamesOutside = false;
};

/// The outcomes of a run (TActionRun::Outcomes) of a plan for `groups`, file by file in the
/// order handled.
std::vector<TFileOutcome> OutcomesByFile(const std::vector<TActionOutcome>& outcomes,
                                         const std::vector<TResultGroupFacts>& groups);

} // namespace parvex
