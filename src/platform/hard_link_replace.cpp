#include "platform/hard_link_replace.h"

#include "platform/file_io.h"
#include "platform/file_status.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace parvex {
namespace {

TLinkOutcome Refused(const std::string& what, int error) {
    return {false, what + ": " + std::strerror(error)};
}

} // namespace

std::string TemporaryLinkName(const std::string& duplicate,
                              const std::function<bool(const std::string&)>& alsoTaken) {
    const std::string base = FolderOf(duplicate) + "/.parvex-link-" + std::to_string(::getpid());
    for (int attempt = 0;; ++attempt) {
        std::string candidate = base + "-" + std::to_string(attempt);
        if (!EntryExists(candidate) && !(alsoTaken && alsoTaken(candidate)))
            return candidate;
    }
}

TLinkOutcome ReplaceWithHardLinkVia(const std::string& kept, const std::string& duplicate,
                                    const std::string& temporary) {
    struct stat keptFacts {};
    struct stat duplicateFacts {};
    if (::lstat(kept.c_str(), &keptFacts) != 0)
        return Refused("the kept copy cannot be reached", errno);
    if (::lstat(duplicate.c_str(), &duplicateFacts) != 0)
        return Refused("the file cannot be reached", errno);
    if (keptFacts.st_dev != duplicateFacts.st_dev)
        return {false, "the kept copy is on another file system"};
    if (keptFacts.st_ino == duplicateFacts.st_ino)
        return {true, {}};
    if (::link(kept.c_str(), temporary.c_str()) != 0)
        return Refused("no link can be made", errno);
    if (::rename(temporary.c_str(), duplicate.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        return Refused("the link cannot take the file's place", error);
    }
    return {true, {}};
}

TLinkOutcome ReplaceWithHardLink(const std::string& kept, const std::string& duplicate) {
    return ReplaceWithHardLinkVia(kept, duplicate, TemporaryLinkName(duplicate));
}

} // namespace parvex
