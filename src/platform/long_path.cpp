#include "platform/long_path.h"

#include "platform/unique_fd.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>

namespace parvex {

int OpenLongPath(const std::string& path, int flags) {
    if (path.size() < PATH_MAX)
        return ::open(path.c_str(), flags);
    // Pieces end at a "/" and stay below PATH_MAX; each is a folder but the last.
    TUniqueFd folder;
    std::size_t begin = 0;
    while (path.size() - begin >= PATH_MAX) {
        const std::size_t slash = path.rfind('/', begin + PATH_MAX - 2);
        if (slash == std::string::npos || slash < begin) {
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string piece = path.substr(begin, slash + 1 - begin);
        const int next = ::openat(folder ? folder.Get() : AT_FDCWD, piece.c_str(),
                                  O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (next < 0)
            return -1;
        folder.Reset(next);
        begin = slash + 1;
    }
    return ::openat(folder ? folder.Get() : AT_FDCWD, path.c_str() + begin, flags);
}

} // namespace parvex
