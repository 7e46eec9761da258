#include "platform/atomic_file.h"

#include "platform/file_io.h"
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {

namespace {

// The mode a newly created file would get, or the mode of the file being replaced.
mode_t ModeFor(const std::string& FileName) {
    struct stat info {};
    if (stat(FileName.c_str(), &info) == 0) {
        return info.st_mode & 07777;
    }
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

void SyncFolder(const std::string& Folder) {
    const TUniqueFd folder(open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder) {
        fsync(folder.Get());
    }
}

} // namespace

std::string ResolvedTarget(const std::string& FileName) {
    struct stat info {};
    if (lstat(FileName.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
        return FileName;
    }
    char* resolved = realpath(FileName.c_str(), nullptr);
    if (resolved == nullptr) {
        return FileName;
    }
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool WriteFileAtomically(const std::string& FileName, std::string_view Contents) {
    const std::string target = ResolvedTarget(FileName);
    std::string temporary = target + ".XXXXXX";
    TUniqueFd file(mkostemp(temporary.data(), O_CLOEXEC));
    if (!file) {
        return false;
    }
    const bool written = WriteAll(file.Get(), Contents) &&
                         fchmod(file.Get(), ModeFor(target)) == 0 && fsync(file.Get()) == 0;
    const bool closed = file.Close();
    if (!written || !closed || std::rename(temporary.c_str(), target.c_str()) != 0) {
        const int error = errno;
        unlink(temporary.c_str());
        errno = error;
        return false;
    }
    SyncFolder(FolderOf(target));
    return true;
}

} // namespace parvex
