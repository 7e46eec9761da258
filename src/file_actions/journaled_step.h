#pragma once

#include "file_actions/action_journal.h"
#include "file_actions/file_action.h"

#include <set>
#include <string>

namespace parvex {

/// Chooses the targets of steps before they act, each free on disk and not promised to an
/// earlier step, so that intents can name them.
class TStepReserver {
public:
    /// The intent of step `step` doing `kind` to the exact path `name`; `target` is the path in
    /// the folder for a move and the kept copy's name for a hard link (unused for the trash).
    TStepIntent Reserve(TActionKind kind, std::size_t step, const std::string& name,
                        const std::string& target);

private:
    std::set<std::string> promised_;
};

/// Carries out `intent` with the target it names; a target another took meanwhile is refused,
/// never replaced.
TActionDone CarryOutIntent(const TStepIntent& intent);

/// One step carried out in a journal of its own batch: the intent written, the act, the result
/// written. When the intent cannot be written, nothing is done and the reason says why.
TActionDone CarryOutJournaled(TActionJournal& journal, TStepReserver& reserver, TActionKind kind,
                              std::size_t step, const std::string& name, const std::string& target);

} // namespace parvex
