#pragma once

#include "platform/file_id.h"
#include "run_journal/run_file.h"

#include <map>
#include <string>
#include <utility>

namespace parvex {

/// The names an undo has put back so far, by the file they were names of before the run: the
/// first name of a file put back is the one its other names come back as links to.
using TPutBackNames = std::map<std::pair<std::uint64_t, std::uint64_t>, std::string>;

/// True for the actions an undo puts back: the trash, a move, a hard link.
bool Undoable(const std::string& action);

/// Learns on disk which way a step went whose intent was written and whose result never was:
/// Done or NotDone. What it left half made (a trash info file without its file, a temporary
/// link) is removed.
TStepState SettleOnDisk(const TStepIntent& intent);

/// Notes the name of the step `record`, which the run did not act on, as the place its file's
/// other names come back to, while it still holds that file unchanged.
void NoteLeftInPlace(const TStepRecord& record, TPutBackNames& putBack);

/// Puts the name of the done step `record` back: out of the trash, back from the folder, or
/// made a file of its own again; never over anything in its place. Empty when put back, else
/// why not.
std::string UndoStep(const TStepRecord& record, TPutBackNames& putBack);

} // namespace parvex
