#include "platform/safe_move.h"

#include "platform/file_io.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

bool CopyContent(int from, int to) {
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        if (!WriteAll(to, std::string_view(buffer.data(), static_cast<std::size_t>(got))))
            return false;
    }
}

// Across file systems: the copy goes into a temporary file in the destination's folder, so that
// the final rename is atomic and a full disk or a read error never leaves a truncated
// destination behind.
TMoveOutcome CopyThenRemove(const std::string& source, const std::string& destination,
                            const struct stat& sourceInfo) {
    TUniqueFd in(::open(source.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!in)
        return TMoveOutcome::Failed;
    std::string temporary = FolderOf(destination) + "/.parvex-move-XXXXXX";
    TUniqueFd out(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!out)
        return TMoveOutcome::Failed;
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    // Keeping the owner needs privileges; without them the mover owns the copy, as with mv(1).
    if (::fchown(out.Get(), sourceInfo.st_uid, sourceInfo.st_gid) != 0) {
    }
    const bool complete = CopyContent(in.Get(), out.Get()) &&
                          ::fchmod(out.Get(), sourceInfo.st_mode & 07777) == 0 &&
                          ::futimens(out.Get(), times) == 0 && ::fsync(out.Get()) == 0 &&
                          out.Close() && ::rename(temporary.c_str(), destination.c_str()) == 0;
    if (!complete) {
        ::unlink(temporary.c_str());
        return TMoveOutcome::Failed;
    }
    // The destination is complete; a source that cannot be removed leaves two copies, which
    // loses nothing and is reported as a move that did not happen.
    return ::unlink(source.c_str()) == 0 ? TMoveOutcome::Moved : TMoveOutcome::Failed;
}

} // namespace

TMoveOutcome SafeMoveFile(const std::string& source, const std::string& destination) {
    struct stat sourceInfo {};
    if (::lstat(source.c_str(), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode))
        return TMoveOutcome::Failed;
    struct stat destinationInfo {};
    if (::stat(destination.c_str(), &destinationInfo) == 0) {
        if (destinationInfo.st_dev == sourceInfo.st_dev &&
            destinationInfo.st_ino == sourceInfo.st_ino)
            return TMoveOutcome::SameFile;
        if (S_ISDIR(destinationInfo.st_mode))
            return TMoveOutcome::Failed;
    }
    if (::rename(source.c_str(), destination.c_str()) == 0)
        return TMoveOutcome::Moved;
    if (errno != EXDEV)
        return TMoveOutcome::Failed;
    return CopyThenRemove(source, destination, sourceInfo);
}

} // namespace parvex
