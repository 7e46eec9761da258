#pragma once

#include "run_journal/run_file.h"

#include <optional>
#include <string>
#include <vector>

namespace parvex {

/// The runs journalled in `folder`, the newest first; a file that cannot be read is left out.
std::vector<TRunSummary> ListRuns(const std::string& folder);

/// The newest run of `runs` (newest first) that no undo has run on and that did something an
/// undo puts back (a run that only shared storage has nothing to put back).
std::optional<TRunSummary> NewestRunToUndo(const std::vector<TRunSummary>& runs);

} // namespace parvex
