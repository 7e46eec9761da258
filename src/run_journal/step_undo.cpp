#include "run_journal/step_undo.h"

#include "file_actions/file_action.h"
#include "platform/file_io.h"
#include "platform/freedesktop_trash.h"
#include "platform/hard_link_replace.h"
#include "platform/name_facts.h"
#include "platform/no_replace_move.h"
#include "platform/separate_name.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace parvex {
namespace {

constexpr std::string_view kTaken = "its place is taken by another file";
constexpr std::string_view kAlreadyBack = "it is already back in its place";

std::pair<std::uint64_t, std::uint64_t> KeyOf(const TNameFacts& facts) {
    return {facts.Id.Device, facts.Id.Inode};
}

bool SameLook(const TNameFacts& now, const TNameFacts& before) {
    return now.Size == before.Size && now.ModifiedNs == before.ModifiedNs;
}

// Why the place of a name may not be filled: something is there. A file of the size and
// modification time the name had is the file put back (an inode number alone proves nothing: a
// file replaced by a link gave its number free).
std::string WhyTaken(const std::optional<TNameFacts>& place, const TNameFacts& before) {
    if (!place)
        return {};
    return std::string(SameLook(*place, before) ? kAlreadyBack : kTaken);
}

std::string Failure(const std::string& what, int error) {
    return what + ": " + std::strerror(error);
}

// The folder of a name whose folder went since is made again.
void MakeFolderOf(const std::string& name) {
    std::error_code ignored;
    std::filesystem::create_directories(FolderOf(name), ignored);
}

// The name comes back as another name of the name of its file put back before.
std::string LinkBack(const std::string& putBack, const std::string& name) {
    MakeFolderOf(name);
    if (::link(putBack.c_str(), name.c_str()) == 0)
        return {};
    return errno == EEXIST ? std::string(kTaken)
                           : Failure("it cannot be linked to " + putBack, errno);
}

std::string UndoTrash(const TStepRecord& record, const TNameFacts& before, TPutBackNames& putBack) {
    const std::string& name = record.Intent.Name;
    if (std::string taken = WhyTaken(NameFactsOf(name), before); !taken.empty())
        return taken;
    const std::optional<TNameFacts> entry = NameFactsOf(record.Where);
    if (!entry || entry->Id != before.Id) {
        if (const auto first = putBack.find(KeyOf(before)); first != putBack.end())
            return LinkBack(first->second, name);
        return "it is no longer in the trash";
    }
    MakeFolderOf(name);
    if (!RestoreTrashEntry(record.Where, name))
        return errno == EEXIST ? std::string(kTaken)
                               : Failure("it cannot be taken out of the trash", errno);
    putBack.emplace(KeyOf(before), name);
    return {};
}

std::string UndoMove(const TStepRecord& record, const TNameFacts& before, TPutBackNames& putBack) {
    const std::string& name = record.Intent.Name;
    if (std::string taken = WhyTaken(NameFactsOf(name), before); !taken.empty())
        return taken;
    const auto first = putBack.find(KeyOf(before));
    const std::optional<TNameFacts> moved = NameFactsOf(record.Where);
    // Across file systems the move made a copy: the same size and time stand for the same file.
    if (!moved || !(moved->Id == before.Id || SameLook(*moved, before))) {
        if (first != putBack.end())
            return LinkBack(first->second, name);
        return "it is no longer at " + record.Where + " as it was moved";
    }
    const std::optional<TNameFacts> firstNow =
        first != putBack.end() ? NameFactsOf(first->second) : std::nullopt;
    if (firstNow && firstNow->Id != moved->Id) {
        // A second copy made by the move across file systems: the name comes back as a link to
        // the first, and the copy goes.
        std::string linked = LinkBack(first->second, name);
        if (linked.empty())
            ::unlink(record.Where.c_str());
        return linked;
    }
    MakeFolderOf(name);
    if (!MoveWithoutReplacing(record.Where, name))
        return errno == EEXIST ? std::string(kTaken) : Failure("it cannot be moved back", errno);
    putBack.emplace(KeyOf(before), name);
    return {};
}

std::string UndoHardLink(const TStepRecord& record, const TNameFacts& before,
                         TPutBackNames& putBack) {
    const std::string& name = record.Intent.Name;
    if (!record.Intent.Kept)
        return "the journal does not say which copy was kept";
    const TNameFacts& kept = *record.Intent.Kept;
    const std::optional<TNameFacts> place = NameFactsOf(name);
    if (place && place->Id != kept.Id)
        return WhyTaken(place, before);
    if (const auto first = putBack.find(KeyOf(before)); first != putBack.end()) {
        if (!place)
            return LinkBack(first->second, name);
        TLinkOutcome linked = ReplaceWithHardLinkVia(first->second, name, TemporaryLinkName(name));
        return linked.Linked ? std::string() : linked.Reason;
    }
    const std::optional<TNameFacts> now = place ? place : NameFactsOf(record.Intent.Target);
    if (!now || now->Id != kept.Id)
        return "the kept copy " + record.Intent.Target + " is gone";
    if (!SameLook(*now, kept))
        return "the kept copy changed since: its bytes may no longer be the old ones";
    if (!place) {
        if (std::string linked = LinkBack(record.Intent.Target, name); !linked.empty())
            return linked;
    }
    std::string separated = SeparateName(name, TemporaryLinkName(name), before);
    if (!separated.empty()) {
        if (!place)
            ::unlink(name.c_str());
        return separated;
    }
    putBack.emplace(KeyOf(before), name);
    return {};
}

// True when the info file of a trash entry is the one the step wrote: it records the step's path.
bool InfoFileOfStep(const std::string& info, const std::string& recordedPath) {
    std::ifstream in(info, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return text.starts_with("[Trash Info]\nPath=" + PercentEncodePath(recordedPath) + "\n");
}

} // namespace

bool Undoable(const std::string& action) {
    return action == ActionWord(TActionKind::Trash) || action == ActionWord(TActionKind::Move) ||
           action == ActionWord(TActionKind::HardLink);
}

TStepState SettleOnDisk(const TStepIntent& intent) {
    const std::optional<TNameFacts>& before = intent.Before;
    const std::optional<TNameFacts> name = NameFactsOf(intent.Name);
    const std::optional<TNameFacts> target = NameFactsOf(intent.Target);
    if (intent.Action == ActionWord(TActionKind::Trash)) {
        if (target && before && target->Id == before->Id)
            return TStepState::Done;
        const std::string info = TrashInfoFileOf(intent.Target);
        if (!target && InfoFileOfStep(info, intent.RecordedPath))
            ::unlink(info.c_str());
        return TStepState::NotDone;
    }
    if (intent.Action == ActionWord(TActionKind::Move)) {
        const bool arrived =
            target && before && (target->Id == before->Id || SameLook(*target, *before));
        return arrived && !name ? TStepState::Done : TStepState::NotDone;
    }
    if (intent.Action == ActionWord(TActionKind::HardLink) && intent.Kept) {
        const std::optional<TNameFacts> temporary = NameFactsOf(intent.Temporary);
        if (temporary && temporary->Id == intent.Kept->Id)
            ::unlink(intent.Temporary.c_str());
        const bool linked = name && before && name->Id == intent.Kept->Id && before->Id != name->Id;
        return linked ? TStepState::Done : TStepState::NotDone;
    }
    return TStepState::NotDone;
}

void NoteLeftInPlace(const TStepRecord& record, TPutBackNames& putBack) {
    const std::optional<TNameFacts> now = NameFactsOf(record.Intent.Name);
    if (record.Intent.Before && now && SameUnchangedFile(*now, *record.Intent.Before))
        putBack.emplace(KeyOf(*record.Intent.Before), record.Intent.Name);
}

std::string UndoStep(const TStepRecord& record, TPutBackNames& putBack) {
    if (!record.Intent.Before)
        return "the journal does not know the file as it was";
    const TNameFacts& before = *record.Intent.Before;
    if (record.Intent.Action == ActionWord(TActionKind::Trash))
        return UndoTrash(record, before, putBack);
    if (record.Intent.Action == ActionWord(TActionKind::Move))
        return UndoMove(record, before, putBack);
    return UndoHardLink(record, before, putBack);
}

} // namespace parvex
