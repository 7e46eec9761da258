#include "platform/file_status.h"

#include <sys/stat.h>

namespace parvex {

bool EntryExists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

std::int64_t RegularFileSize(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos)
        return 0;
    // Measuring needs no descriptor: the entry's own facts hold the length. Nothing is opened, so
    // a read-only file is measured like any other, a watcher of the file sees no access and a
    // path that has become a FIFO or a device since the search has nothing done to it.
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return 0;
    return facts.st_size;
}

} // namespace parvex
