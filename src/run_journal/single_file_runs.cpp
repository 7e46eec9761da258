#include "run_journal/single_file_runs.h"

#include "file_actions/journaled_step.h"
#include "platform/name_facts.h"
#include "run_journal/run_journal.h"

#include <cerrno>
#include <exception>
#include <memory>
#include <sys/stat.h>

namespace parvex {
namespace {

std::unique_ptr<TRunJournal> StartJournal(const std::string& folder, std::string& reason) {
    try {
        return std::make_unique<TRunJournal>(folder, "window");
    } catch (const std::exception& error) {
        reason = std::string("the journal cannot be written: ") + error.what();
        return nullptr;
    }
}

} // namespace

TTrashOutcome TrashAsRun(const std::string& folder, const std::string& path) {
    TTrashOutcome outcome;
    const std::unique_ptr<TRunJournal> journal = StartJournal(folder, outcome.Reason);
    if (!journal)
        return outcome;
    TStepReserver reserver;
    TActionDone done = CarryOutJournaled(*journal, reserver, TActionKind::Trash, 0, path, {});
    outcome.Trashed = done.Done;
    outcome.Entry = std::move(done.Target);
    outcome.Reason = std::move(done.Reason);
    return outcome;
}

TMoveOutcome MoveAsRun(const std::string& folder, const std::string& source,
                       const std::string& destination) {
    const std::optional<TNameFacts> from = NameFactsOf(source);
    const std::optional<TNameFacts> to = NameFactsOf(destination);
    if (from && to && from->Id == to->Id)
        return TMoveOutcome::SameFile;
    if (!from || !S_ISREG(from->Mode) || (to && !S_ISREG(to->Mode))) {
        errno = from ? EISDIR : ENOENT;
        return TMoveOutcome::Failed;
    }
    std::string reason;
    const std::unique_ptr<TRunJournal> journal = StartJournal(folder, reason);
    if (!journal) {
        errno = EIO;
        return TMoveOutcome::Failed;
    }
    TStepReserver reserver;
    std::size_t step = 0;
    std::string trashed;
    if (to) {
        const TActionDone done =
            CarryOutJournaled(*journal, reserver, TActionKind::Trash, step++, destination, {});
        if (!done.Done) {
            errno = EEXIST;
            return TMoveOutcome::Failed;
        }
        trashed = done.Target;
    }
    const TActionDone moved =
        CarryOutJournaled(*journal, reserver, TActionKind::Move, step, source, destination);
    if (moved.Done)
        return TMoveOutcome::Moved;
    const int error = errno;
    // The file that stood in the way comes back: the move it made room for did not happen.
    if (!trashed.empty())
        (void)RestoreTrashEntry(trashed, destination);
    errno = error;
    return TMoveOutcome::Failed;
}

} // namespace parvex
