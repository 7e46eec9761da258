#include "platform/file_status.h"

#include "platform/unique_fd.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace parvex {

bool EntryExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::int64_t WritableFileSize(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return 0;
    // Look before opening: a path that has become a FIFO or a device since the search must
    // not be opened at all (opening some devices has side effects).
    struct stat before {};
    if (::lstat(path.c_str(), &before) != 0 || !S_ISREG(before.st_mode))
        return 0;
    // Opening for writing is what tells a file the user may change from one they may not.
    const TUniqueFd fd(
        ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
    if (!fd)
        return 0;
    struct stat opened {};
    if (::fstat(fd.Get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return 0;
    return opened.st_size;
}

} // namespace parvex
