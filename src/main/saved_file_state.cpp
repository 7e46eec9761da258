#include "main/saved_file_state.h"

#include "platform/file_times.h"

#include <sys/stat.h>

namespace parvex {

TSavedFileCheck CheckSavedFile(const TResultFileFacts& saved, bool sameHost) {
    TSavedFileCheck check;
    struct stat now {};
    if (::lstat(saved.Path.c_str(), &now) != 0 || !S_ISREG(now.st_mode))
        return check;
    const TFileId id = FileIdOf(now);
    // On another host the same files may sit on other devices (a copy, a network mount): only
    // size and time tell there.
    if (static_cast<std::int64_t>(now.st_size) != saved.Size ||
        NanosecondsOf(now.st_mtim) != saved.ModifiedNs || (sameHost && !(id == saved.Id))) {
        check.State = TFileState::Changed;
        return check;
    }
    check.State = TFileState::AsFound;
    check.Now = TFoundFile{id, static_cast<std::int64_t>(now.st_size), FileTimeCode(now.st_mtime)};
    check.AllNamesFound = static_cast<std::uint64_t>(now.st_nlink) <= 1 + saved.OtherNames.size();
    return check;
}

} // namespace parvex
