#pragma once

#include "run_journal/run_file.h"

#include <string>

namespace parvex {

/// Undoes the run `id` of the runs folder `folder`, the newest not yet undone when `id` is
/// empty, writing one line per name to standard output and a summary to standard error; the
/// exit status: 0 all put back, 3 something skipped, 2 no such run, 1 a journal that cannot be
/// read or written.
int RunUndo(const std::string& folder, const std::string& id);

/// Lists the runs of `folder` on standard output, the newest first; the exit status.
int RunListRuns(const std::string& folder);

/// The line --list-runs writes for `run`: ID, start (local time), what ran it, what it did and
/// whether an undo ran on it, separated by TABs.
std::string RunListLine(const TRunSummary& run);

} // namespace parvex
