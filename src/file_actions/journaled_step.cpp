#include "file_actions/journaled_step.h"

#include "platform/freedesktop_trash.h"
#include "platform/hard_link_replace.h"
#include "platform/no_replace_move.h"

#include <cerrno>
#include <cstring>
#include <ctime>

namespace parvex {

TStepIntent TStepReserver::Reserve(TActionKind kind, std::size_t step, const std::string& name,
                                   const std::string& target) {
    TStepIntent intent;
    intent.Step = step;
    intent.Action = ActionWord(kind);
    intent.Name = name;
    intent.Before = NameFactsOf(name);
    const auto promised = [this](const std::string& path) { return promised_.contains(path); };
    switch (kind) {
    case TActionKind::Trash: {
        const TTrashPlace place = TrashPlaceOf(name);
        intent.RecordedPath = place.RecordedPath;
        intent.Reason = place.Reason;
        if (!place.Folder.empty()) {
            intent.Target = FreeTrashEntry(place.Folder, name, promised);
            if (intent.Target.empty())
                intent.Reason = "no free name in the trash";
        }
        break;
    }
    case TActionKind::Move:
        intent.Target = target;
        break;
    case TActionKind::HardLink:
        intent.Target = target;
        intent.Kept = NameFactsOf(target);
        intent.Temporary = TemporaryLinkName(name, promised);
        break;
    }
    promised_.insert(intent.Target);
    promised_.insert(intent.Temporary);
    return intent;
}

TActionDone CarryOutIntent(const TStepIntent& intent) {
    if (!intent.Reason.empty())
        return {false, {}, intent.Reason};
    if (intent.Action == ActionWord(TActionKind::Trash)) {
        TTrashOutcome outcome =
            TrashFileAs(intent.Name, intent.Target, intent.RecordedPath, std::time(nullptr));
        if (outcome.SlotTaken)
            return {false, intent.Target, "its place in the trash was taken meanwhile"};
        return {outcome.Trashed, std::move(outcome.Entry), std::move(outcome.Reason)};
    }
    if (intent.Action == ActionWord(TActionKind::Move)) {
        if (MoveWithoutReplacing(intent.Name, intent.Target))
            return {true, intent.Target, {}};
        if (errno == EEXIST)
            return {false, intent.Target, "its place in the folder was taken meanwhile"};
        return {false, intent.Target,
                std::string("it could not be moved: ") + std::strerror(errno)};
    }
    TLinkOutcome outcome = ReplaceWithHardLinkVia(intent.Target, intent.Name, intent.Temporary);
    return {outcome.Linked, intent.Target, std::move(outcome.Reason)};
}

TActionDone CarryOutJournaled(TActionJournal& journal, TStepReserver& reserver, TActionKind kind,
                              std::size_t step, const std::string& name,
                              const std::string& target) {
    const TStepIntent intent = reserver.Reserve(kind, step, name, target);
    journal.Intend(intent);
    if (!journal.Sync())
        return {false, {}, "the journal cannot be written: " + journal.Error()};
    TActionDone done = CarryOutIntent(intent);
    journal.Record(step, done);
    // The act is done either way; a result that cannot be written is learnt on disk at undo.
    (void)journal.Sync();
    return done;
}

} // namespace parvex
