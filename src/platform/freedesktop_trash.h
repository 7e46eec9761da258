#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace parvex {

/// What became of a request to move a file to the trash.
struct TTrashOutcome {
    bool Trashed = false;   ///< the file is in the trash and gone from its place
    std::string Reason;     ///< why it is not, when it is not: the system's text and what failed
    std::string Entry;      ///< the path the file has in the trash's files/ folder, when trashed
    bool SlotTaken = false; ///< refused because another took the entry's name meanwhile
};

/// Where a file goes to the trash: the trash folder and the path its entry records.
struct TTrashPlace {
    std::string Folder;       ///< the trash folder (holding files/ and info/); empty when none
    std::string RecordedPath; ///< absolute, or relative to the top of the trash's mount
    std::string Reason;       ///< why there is no trash for it, when there is none
};

/// Moves the file at the exact path bytes to the freedesktop trash: the user's home trash when
/// the file is on its file system, otherwise the trash at the top of the file's mount.
[[nodiscard]] TTrashOutcome TrashFile(const std::string& path);

/// The trash the file at the exact path bytes goes to, as TrashFile chooses it.
TTrashPlace TrashPlaceOf(const std::string& path);

/// The path in the files/ folder of `trash` of the first free entry for the file at `path`: one
/// that neither files/ nor info/ holds and for which `alsoTaken` does not hold (entries promised
/// to files not trashed yet); empty when none is free.
std::string FreeTrashEntry(const std::string& trash, const std::string& path,
                           const std::function<bool(const std::string&)>& alsoTaken = {});

/// Moves the file at `path` to the chosen trash entry `entry`: its info file is created
/// exclusively, then the file renamed in without replacing anything. When another took the
/// entry's name meanwhile, nothing changes and SlotTaken says so.
[[nodiscard]] TTrashOutcome TrashFileAs(const std::string& path, const std::string& entry,
                                        const std::string& recordedPath, std::time_t deleted);

/// The info file of the trash entry `entry` (a path in a trash's files/ folder).
std::string TrashInfoFileOf(const std::string& entry);

/// Puts the trash entry `entry` back at the exact path `path` without replacing anything, and
/// removes its info file; false with errno EEXIST when the place is taken.
[[nodiscard]] bool RestoreTrashEntry(const std::string& entry, const std::string& path);

/// Moves the file at `path` into the trash folder `trash` (which holds files/ and info/),
/// recording `recordedPath` (absolute, or relative to the top of the trash's mount) and
/// `deleted` as its deletion time. The entry's info
/// file reserves a free name first; a name taken in files/ or info/ moves on to the next one;
/// when the file cannot be renamed in, its info file is removed again.
[[nodiscard]] TTrashOutcome TrashFileInto(const std::string& path, const std::string& trash,
                                          const std::string& recordedPath, std::time_t deleted);

/// The user's home trash folder: $XDG_DATA_HOME/Trash, or ~/.local/share/Trash when
/// XDG_DATA_HOME is unset or not absolute; empty when neither variable gives a folder.
std::string HomeTrashFolder();

/// The trash folder of the mount whose top is `topdir` for user `uid`: $topdir/.Trash/$uid when
/// $topdir/.Trash is a real folder (no link) with the sticky bit, else $topdir/.Trash-$uid.
/// The user's folder is created with mode 0700 when missing and must be a folder of the user's
/// own, not a link. Empty, with `reason` set, when neither can be used.
std::string TopdirTrashFolder(const std::string& topdir, uid_t uid, std::string& reason);

/// The top folder of the mount that holds the existing folder `folder`: the highest folder
/// above it, its real path, on the same device. Empty when `folder` cannot be resolved.
std::string MountTopOf(const std::string& folder);

/// `bytes` percent-encoded for a trash entry's Path: every byte but letters, digits, "-", ".",
/// "_", "~" and "/" becomes "%XX".
std::string PercentEncodePath(std::string_view bytes);

/// The text of a trash entry's info file for `recordedPath` deleted at local time `deleted`.
std::string TrashInfoText(const std::string& recordedPath, std::time_t deleted);

} // namespace parvex
