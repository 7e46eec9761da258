#include "platform/hard_link_replace.h"

#include "platform/file_io.h"

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

TLinkOutcome ReplaceWithHardLink(const std::string& kept, const std::string& duplicate) {
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
    const std::string folder = FolderOf(duplicate);
    const std::string base = folder + "/.parvex-link-" + std::to_string(::getpid()) + "-";
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const std::string temporary = base + std::to_string(attempt);
        if (::link(kept.c_str(), temporary.c_str()) != 0) {
            if (errno == EEXIST)
                continue;
            return Refused("no link can be made", errno);
        }
        if (::rename(temporary.c_str(), duplicate.c_str()) != 0) {
            const int error = errno;
            ::unlink(temporary.c_str());
            return Refused("the link cannot take the file's place", error);
        }
        return {true, {}};
    }
    return {false, "no free temporary name in the folder"};
}

} // namespace parvex
