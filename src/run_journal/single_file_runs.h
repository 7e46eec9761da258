#pragma once

#include "platform/freedesktop_trash.h"
#include "platform/safe_move.h"

#include <string>

namespace parvex {

/// Moves the file at the exact path `path` to the trash as a run of its own, journalled in the
/// runs folder `folder`; refused when its journal cannot be written.
TTrashOutcome TrashAsRun(const std::string& folder, const std::string& path);

/// Moves the file at `source` to `destination` as a run of its own, journalled in `folder`. A
/// file at the destination goes to the trash as the run's first step (put back when the move
/// then fails), so that an undo brings both back. Refused, changing nothing, when the journal
/// cannot be written or the destination is not a file.
TMoveOutcome MoveAsRun(const std::string& folder, const std::string& source,
                       const std::string& destination);

} // namespace parvex
