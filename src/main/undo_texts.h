#pragma once

#include "run_journal/run_file.h"
#include "run_journal/run_undo.h"

#include <QString>

namespace parvex {

/// The question before undoing `run`: when it began, what ran it and what it did.
QString UndoQuestion(const TRunSummary& run);

/// The summary of an undo: how many names were put back and how many skipped.
QString UndoSummary(const TUndoReport& report);

/// One line per name an undo handled: put back, or skipped with the reason.
QString UndoDetails(const TUndoReport& report);

} // namespace parvex
