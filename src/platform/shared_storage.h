#pragma once

#include <cstdint>
#include <string>

namespace parvex {

/// What became of asking the kernel to let a copy share the storage of its kept file.
enum class TShareResult {
    Shared,        ///< the copy's bytes are now stored once, with the kept file's
    AlreadyShared, ///< every byte of the copy was already stored with the kept file's
    TooSmall,      ///< a file stored inside the file system's metadata has no storage to share
    Changed,       ///< the two files no longer hold the same bytes (or sizes)
    Refused,       ///< the file system or the files do not allow it; Reason says why
};

/// The outcome of ShareStorage.
struct TShareOutcome {
    TShareResult Result = TShareResult::Refused;
    std::int64_t BytesShared = 0; ///< bytes the kernel found equal and now shares
    std::string Reason;           ///< why nothing (or not all) was shared
};

/// True when the file system holding the file or folder at `path` can let files share storage
/// (Btrfs, XFS and the other copy-on-write file systems Linux dedupes on). An XFS made without
/// reflink says so only when asked to share: its files are then refused one by one.
bool FileSystemCanShare(const std::string& path);

/// Lets the file at the exact path `copy` share the storage of the file at `kept`. Both are
/// opened read-only without following links, and the kernel compares their bytes before it
/// shares any (FIDEDUPERANGE), so a copy changed since it was compared is never lost: it is
/// reported as Changed. Names, owners, modes and times of both files stay as they were.
TShareOutcome ShareStorage(const std::string& kept, const std::string& copy);

/// What ShareStorage would do, changing nothing: every check it makes before it asks the kernel
/// (Shared with the copy's size when it would ask), and Refused where the file system is not
/// one that shares. Only the kernel's own comparison tells whether the bytes are still equal.
TShareOutcome ForeseeSharedStorage(const std::string& kept, const std::string& copy);

} // namespace parvex
