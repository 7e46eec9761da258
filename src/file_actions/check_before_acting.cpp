#include "file_actions/check_before_acting.h"

#include "platform/file_status.h"
#include "platform/file_times.h"
#include "platform/same_content.h"

#include <sys/stat.h>

namespace parvex {

bool UnchangedSinceSearch(const std::string& name, const TResultFileFacts& found) {
    struct stat now {};
    if (::lstat(name.c_str(), &now) != 0 || !S_ISREG(now.st_mode))
        return false;
    return (!found.Id.Known() || FileIdOf(now) == found.Id) &&
           static_cast<std::int64_t>(now.st_size) == found.Size &&
           NanosecondsOf(now.st_mtim) == found.ModifiedNs;
}

std::string WhyNotActNow(const std::string& name, const TResultFileFacts& file,
                         const std::string& keptName, const TResultFileFacts& kept,
                         bool compareBytes) {
    if (!UnchangedSinceSearch(name, file))
        return EntryExists(name) ? "changed since the search" : "no longer there";
    if (!UnchangedSinceSearch(keptName, kept))
        return "the copy that stays changed since the search";
    if (file.Id.Known() && file.Id == kept.Id)
        return "another name of the copy that stays";
    if (!compareBytes)
        return {};
    switch (CompareContent(name, keptName)) {
    case TContentMatch::Same:
        return {};
    case TContentMatch::Different:
        return "its content no longer equals the copy that stays";
    case TContentMatch::Unreadable:
        break;
    }
    return "it or the copy that stays cannot be read";
}

} // namespace parvex
