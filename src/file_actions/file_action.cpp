#include "file_actions/file_action.h"

#include "platform/freedesktop_trash.h"
#include "platform/hard_link_replace.h"
#include "platform/safe_move.h"
#include "platform/shared_storage.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace parvex {
namespace {

TActionDone SharingDone(TShareOutcome outcome, const std::string& kept) {
    TActionDone done{outcome.Result == TShareResult::Shared, kept, std::move(outcome.Reason)};
    done.BytesShared = outcome.BytesShared;
    done.SharesStorage =
        outcome.Result == TShareResult::Shared || outcome.Result == TShareResult::AlreadyShared;
    return done;
}

} // namespace

std::string_view ActionWord(TActionKind kind) {
    switch (kind) {
    case TActionKind::Trash:
        return "trash";
    case TActionKind::Move:
        return "move";
    case TActionKind::HardLink:
        return "hardlink";
    case TActionKind::Share:
        break;
    }
    return "share";
}

TActionDone CarryOut(TActionKind kind, const std::string& name, const std::string& target) {
    switch (kind) {
    case TActionKind::Trash: {
        TTrashOutcome outcome = TrashFile(name);
        return {outcome.Trashed, std::move(outcome.Entry), std::move(outcome.Reason)};
    }
    case TActionKind::Move:
        switch (SafeMoveFile(name, target)) {
        case TMoveOutcome::Moved:
            return {true, target, {}};
        case TMoveOutcome::SameFile:
            return {false, target, "it is already there"};
        case TMoveOutcome::Failed:
            break;
        }
        return {false, target, std::strerror(errno)};
    case TActionKind::HardLink: {
        TLinkOutcome outcome = ReplaceWithHardLink(target, name);
        return {outcome.Linked, target, std::move(outcome.Reason)};
    }
    case TActionKind::Share:
        break;
    }
    return SharingDone(ShareStorage(target, name), target);
}

TActionDone Foresee(TActionKind kind, const std::string& name, const std::string& target) {
    if (kind == TActionKind::Share)
        return SharingDone(ForeseeSharedStorage(target, name), target);
    return {true, target, {}};
}

} // namespace parvex
