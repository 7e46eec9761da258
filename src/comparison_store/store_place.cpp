#include "comparison_store/store_place.h"

#include <cerrno>
#include <cstdlib>
#include <sys/stat.h>

namespace parvex {

std::string ComparisonStoreFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/')
        return std::string(cache) + "/parvex/";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.cache/parvex/";
}

std::string ComparisonStorePath(const std::string& folder) {
    return folder + (folder.ends_with('/') ? "" : "/") + "comparisons.sqlite";
}

bool MakeStoreFolder(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1); slash != std::string::npos;
         slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    if (!folder.ends_with('/') && ::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return false;
    struct stat facts {};
    if (::stat(folder.c_str(), &facts) != 0)
        return false;
    if (!S_ISDIR(facts.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    return true;
}

} // namespace parvex
