#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// What a bulk run does to each file acted on.
enum class TActionKind {
    Trash,   ///< moves it to the trash
    Move,    ///< moves it into a folder, under a free name
    HardLink ///< replaces it by a hard link to the copy that stays
};

/// The word the actions log and parvex-cli use for an action: "trash", "move" or "hardlink".
std::string_view ActionWord(TActionKind kind);

/// What became of acting on one name.
struct TActionDone {
    bool Done = false;
    /// Where the name went: the trash entry, the path in the folder, or the copy linked to.
    std::string Target;
    /// Why it was not done, when it was not.
    std::string Reason;
};

/// Carries out `kind` on the exact path `name`: `target` is the free path in the folder for a
/// move and the name of the copy that stays for a hard link (unused for the trash).
TActionDone CarryOut(TActionKind kind, const std::string& name, const std::string& target);

} // namespace parvex
