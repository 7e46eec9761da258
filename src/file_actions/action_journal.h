#pragma once

#include "file_actions/file_action.h"
#include "platform/name_facts.h"

#include <cstddef>
#include <optional>
#include <string>

namespace parvex {

/// What one step of a run is about to do, recorded before it acts so that the step can be
/// undone, or its outcome learnt on disk, even when the run is killed half-way.
struct TStepIntent {
    std::size_t Step = 0;
    TActionKind Kind = TActionKind::Trash;
    /// The action's word, as the journal keeps it (ActionWord).
    std::string Action;
    /// The exact path acted on.
    std::string Name;
    /// Where it goes: the trash entry, the path in the folder, or the name of the copy it becomes
    /// a name of.
    std::string Target;
    /// For a hard link: the free name the link is made under before it takes the name's place.
    std::string Temporary;
    /// For the trash: the path its info file records.
    std::string RecordedPath;
    /// The name's facts right before: identity, size, times, permission bits and owner.
    std::optional<TNameFacts> Before;
    /// For a hard link: the kept copy's facts.
    std::optional<TNameFacts> Kept;
    /// Why no target could be chosen; the step is then not acted on.
    std::string Reason;
};

/// Where a run records its steps. Records reach the disk at Sync only, so that a run writes in
/// batches: intents, then the acts, then their results.
class TActionJournal {
public:
    virtual ~TActionJournal() = default;
    /// Records what a step is about to do.
    virtual void Intend(const TStepIntent& intent) = 0;
    /// Records what became of a step whose intent was recorded.
    virtual void Record(std::size_t step, const TActionDone& done) = 0;
    /// Writes what was recorded to disk; false when it cannot (Error says why).
    [[nodiscard]] virtual bool Sync() = 0;
    /// Why the last Sync failed.
    virtual std::string Error() const = 0;
};

} // namespace parvex
