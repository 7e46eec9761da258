#include "cli/start_folder_check.h"

#include "cli/cli_messages.h"
#include "cli/cli_options.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace parvex {

void RequireStartFolder(const std::string& folder) {
    struct stat info {};
    // The trailing "/" makes stat follow a link to a folder and fail with ENOTDIR on a file.
    const int error = ::stat(folder.c_str(), &info) == 0 ? 0 : errno;
    if (error == 0 && S_ISDIR(info.st_mode))
        return;
    const std::string shown = Quoted(folder);
    if (error == ENOENT)
        throw ECliUsageError("start folder " + shown + " does not exist");
    if (error == 0 || error == ENOTDIR)
        throw ECliUsageError("start folder " + shown + " is not a folder");
    throw ECliUsageError("cannot use start folder " + shown + ": " + std::strerror(error));
}

} // namespace parvex
