#include "platform/no_replace_move.h"

#include "platform/file_io.h"
#include "platform/file_status.h"
#include "platform/safe_move.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

// A name beside `destination` that nothing holds, for the copy across file systems.
std::string FreeNameBeside(const std::string& destination) {
    const std::string base = FolderOf(destination) + "/.parvex-place-" + std::to_string(::getpid());
    for (int attempt = 0;; ++attempt) {
        std::string candidate = base + "-" + std::to_string(attempt);
        if (!EntryExists(candidate))
            return candidate;
    }
}

} // namespace

bool RenameWithoutReplacing(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    if (EntryExists(to)) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool MoveWithoutReplacing(const std::string& source, const std::string& destination) {
    if (RenameWithoutReplacing(source, destination))
        return true;
    if (errno != EXDEV)
        return false;
    const std::string beside = FreeNameBeside(destination);
    if (SafeMoveFile(source, beside) != TMoveOutcome::Moved)
        return false;
    if (::link(beside.c_str(), destination.c_str()) == 0) {
        ::unlink(beside.c_str());
        return true;
    }
    int error = errno;
    // A file system without hard links: the plain rename, asked first whether the place is free.
    if (error != EEXIST && !EntryExists(destination)) {
        if (::rename(beside.c_str(), destination.c_str()) == 0)
            return true;
        error = errno;
    }
    (void)SafeMoveFile(beside, source);
    errno = error;
    return false;
}

} // namespace parvex
