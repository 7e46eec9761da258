#include "file_actions/file_action.h"

#include "platform/freedesktop_trash.h"
#include "platform/hard_link_replace.h"
#include "platform/safe_move.h"

#include <cerrno>
#include <cstring>
#include <utility>

namespace parvex {

std::string_view ActionWord(TActionKind kind) {
    switch (kind) {
    case TActionKind::Trash:
        return "trash";
    case TActionKind::Move:
        return "move";
    case TActionKind::HardLink:
        break;
    }
    return "hardlink";
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
    case TActionKind::HardLink:
        break;
    }
    TLinkOutcome outcome = ReplaceWithHardLink(target, name);
    return {outcome.Linked, target, std::move(outcome.Reason)};
}

} // namespace parvex
