#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace parvex {

/// What a bulk run does to each file acted on.
enum class TActionKind {
    Trash,    ///< moves it to the trash
    Move,     ///< moves it into a folder, under a free name
    HardLink, ///< replaces it by a hard link to the copy that stays
    Share     ///< lets it share its storage with the copy that stays; both files remain
};

/// The word the actions log and parvex-cli use for an action: "trash", "move", "hardlink" or
/// "share".
std::string_view ActionWord(TActionKind kind);

/// What became of acting on one name.
struct TActionDone {
    bool Done = false;
    /// Where the name went: the trash entry, the path in the folder, or the copy linked to.
    std::string Target;
    /// Why it was not done, when it was not.
    std::string Reason;
    /// Bytes of the file that now share their storage with the copy that stays (Share only).
    std::int64_t BytesShared = 0;
    /// The file's storage is shared with the copy that stays: shared now, or already before.
    bool SharesStorage = false;
};

/// Carries out `kind` on the exact path `name`: `target` is the free path in the folder for a
/// move and the name of the copy that stays for a hard link or shared storage (unused for the
/// trash).
TActionDone CarryOut(TActionKind kind, const std::string& name, const std::string& target);

/// What CarryOut would do, changing nothing: done, with its target, except that sharing storage
/// first looks whether the files share it already or cannot.
TActionDone Foresee(TActionKind kind, const std::string& name, const std::string& target);

} // namespace parvex
