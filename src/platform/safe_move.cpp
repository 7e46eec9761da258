#include "platform/safe_move.h"

#include "platform/file_io.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

// Keeps the reason of a failure (errno) through the calls that undo a half-done step.
class TKeptReason {
public:
    TKeptReason() : error_(errno) {}
    ~TKeptReason() { errno = error_; }
    TKeptReason(const TKeptReason&) = delete;
    TKeptReason& operator=(const TKeptReason&) = delete;

private:
    int error_;
};

// Puts the complete copy `temporary` in the destination's place and removes the source. The
// old destination is kept under a second name until the source is gone: a source that cannot
// be removed (a read-only folder) puts it back, so that a failed move changes nothing.
bool ReplaceKeepingOld(const std::string& temporary, const std::string& destination,
                       const std::string& source) {
    const std::string kept = temporary + ".old";
    struct stat info {};
    const bool hadDestination = ::lstat(destination.c_str(), &info) == 0;
    // A second name keeps the destination in place all along; where the file system allows no
    // hard link, it steps aside for the moment of the swap.
    bool linked = false;
    if (hadDestination) {
        linked = ::link(destination.c_str(), kept.c_str()) == 0;
        if (!linked && ::rename(destination.c_str(), kept.c_str()) != 0)
            return false;
    }
    if (::rename(temporary.c_str(), destination.c_str()) != 0) {
        const TKeptReason reason;
        if (linked)
            ::unlink(kept.c_str());
        else if (hadDestination)
            ::rename(kept.c_str(), destination.c_str());
        return false;
    }
    if (::unlink(source.c_str()) == 0) {
        if (hadDestination)
            ::unlink(kept.c_str());
        return true;
    }
    // Should even the way back fail, the old destination stays beside it under the kept name:
    // nothing is lost.
    const TKeptReason reason;
    if (hadDestination)
        ::rename(kept.c_str(), destination.c_str());
    else
        ::unlink(destination.c_str());
    return false;
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
    const bool complete =
        CopyAll(in.Get(), out.Get()) && ::fchmod(out.Get(), sourceInfo.st_mode & 07777) == 0 &&
        ::futimens(out.Get(), times) == 0 && ::fsync(out.Get()) == 0 && out.Close();
    if (!complete || !ReplaceKeepingOld(temporary, destination, source)) {
        const TKeptReason reason;
        ::unlink(temporary.c_str());
        return TMoveOutcome::Failed;
    }
    return TMoveOutcome::Moved;
}

} // namespace

TMoveOutcome SafeMoveFile(const std::string& source, const std::string& destination) {
    struct stat sourceInfo {};
    if (::lstat(source.c_str(), &sourceInfo) != 0)
        return TMoveOutcome::Failed;
    if (!S_ISREG(sourceInfo.st_mode)) {
        errno = S_ISDIR(sourceInfo.st_mode) ? EISDIR : EINVAL;
        return TMoveOutcome::Failed;
    }
    struct stat destinationInfo {};
    if (::stat(destination.c_str(), &destinationInfo) == 0) {
        if (destinationInfo.st_dev == sourceInfo.st_dev &&
            destinationInfo.st_ino == sourceInfo.st_ino)
            return TMoveOutcome::SameFile;
        if (S_ISDIR(destinationInfo.st_mode)) {
            errno = EISDIR;
            return TMoveOutcome::Failed;
        }
    }
    if (::rename(source.c_str(), destination.c_str()) == 0)
        return TMoveOutcome::Moved;
    if (errno != EXDEV)
        return TMoveOutcome::Failed;
    return CopyThenRemove(source, destination, sourceInfo);
}

} // namespace parvex
