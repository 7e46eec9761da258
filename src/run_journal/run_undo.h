#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace parvex {

/// What an undo made of one name.
struct TUndoLine {
    std::string Action; ///< the word of the action undone
    std::string Name;   ///< the exact path put back, or not
    bool PutBack = false;
    std::string Reason; ///< why not, when not
};

/// What an undo of a run did.
struct TUndoReport {
    std::string Id;
    /// False when there was no such run; nothing was done then.
    bool Found = false;
    /// One line per name the undo handled, the last done first.
    std::vector<TUndoLine> Lines;
    std::size_t PutBackCount() const;
    std::size_t SkippedCount() const { return Lines.size() - PutBackCount(); }
};

/// Undoes the run `id` of the runs folder `folder` as far as it went: its steps are undone from
/// the last to the first; those with an intent and no result are first learnt on disk. Steps an
/// earlier undo put back are left alone; those it skipped are tried again. Throws
/// std::runtime_error (or ESqliteError) when the journal cannot be read or written.
TUndoReport UndoRun(const std::string& folder, const std::string& id);

} // namespace parvex
