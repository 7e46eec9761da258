#include "platform/start_folder.h"

#include "platform/unique_fd.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>

namespace parvex {

TStartFolderCheck CheckStartFolder(const std::string& folder) {
    using enum TStartFolderProblem;
    if (folder.find('\0') != std::string::npos)
        return {Missing, ENOENT};
    struct stat facts {};
    // The trailing "/" makes stat follow a link to a folder and fail with ENOTDIR on a file.
    if (::stat(folder.c_str(), &facts) != 0) {
        const int error = errno;
        if (error == ENOENT)
            return {Missing, error};
        return {error == ENOTDIR ? NotAFolder : Unreachable, error};
    }
    if (!S_ISDIR(facts.st_mode))
        return {NotAFolder, ENOTDIR};
    // The search reads the folder's entries first of all; a folder that lets nobody list it would
    // only end in an empty result.
    const TUniqueFd listing(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return {Unlistable, errno};
    return {};
}

} // namespace parvex
