#include "file_actions/found_file.h"

#include "platform/file_times.h"

#include <sys/stat.h>

namespace parvex {
std::optional<TFoundFile> FoundFileOnDisk(const std::string& path) {
    struct stat facts {};
    if (::lstat(path.c_str(), &facts) != 0 || !S_ISREG(facts.st_mode))
        return std::nullopt;
    return TFoundFile{FileIdOf(facts), static_cast<std::int64_t>(facts.st_size),
                      FileTimeCode(facts.st_mtime)};
}

} // namespace parvex
