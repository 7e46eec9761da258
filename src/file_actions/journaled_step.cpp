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
    intent.Kind = kind;
    intent.Action = ActionWord(kind);
    intent.Name = name;
    intent.Before = NameFactsOf(name);
    intent.Target = target;
    const auto promised = [this](const std::string& path) { return promised_.contains(path); };
    if (kind == TActionKind::Trash) {
        const TTrashPlace place = TrashPlaceOf(name);
        intent.RecordedPath = place.RecordedPath;
        intent.Reason = place.Reason;
        if (!place.Folder.empty()) {
            intent.Target = FreeTrashEntry(place.Folder, name, promised);
            if (intent.Target.empty())
                intent.Reason = "no free name in the trash";
        }
    } else if (kind == TActionKind::HardLink) {
        intent.Kept = NameFactsOf(target);
        intent.Temporary = TemporaryLinkName(name, promised);
    }
    promised_.insert(intent.Target);
    promised_.insert(intent.Temporary);
    return intent;
}

// Actions that reserve nothing (they make no new name) are carried out as they are unjournalled.
TActionDone CarryOutIntent(const TStepIntent& intent) {
    if (!intent.Reason.empty())
        return {false, {}, intent.Reason};
    if (intent.Kind == TActionKind::Trash) {
        TTrashOutcome outcome =
            TrashFileAs(intent.Name, intent.Target, intent.RecordedPath, std::time(nullptr));
        if (outcome.SlotTaken)
            return {false, intent.Target, "its place in the trash was taken meanwhile"};
        return {outcome.Trashed, std::move(outcome.Entry), std::move(outcome.Reason)};
    }
    if (intent.Kind == TActionKind::Move) {
        if (MoveWithoutReplacing(intent.Name, intent.Target))
            return {true, intent.Target, {}};
        if (errno == EEXIST)
            return {false, intent.Target, "its place in the folder was taken meanwhile"};
        return {false, intent.Target, std::strerror(errno)};
    }
    if (intent.Kind == TActionKind::HardLink) {
        TLinkOutcome outcome = ReplaceWithHardLinkVia(intent.Target, intent.Name, intent.Temporary);
        return {outcome.Linked, intent.Target, std::move(outcome.Reason)};
    }
    return CarryOut(intent.Kind, intent.Name, intent.Target);
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
