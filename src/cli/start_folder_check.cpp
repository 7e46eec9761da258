#include "cli/start_folder_check.h"

#include "cli/cli_messages.h"
#include "cli/cli_options.h"
#include "platform/start_folder.h"

#include <cstring>

namespace parvex {

void RequireStartFolder(const std::string& folder) {
    const TStartFolderCheck check = CheckStartFolder(folder);
    const std::string shown = Quoted(folder);
    switch (check.Problem) {
    case TStartFolderProblem::None:
    // A folder that cannot be listed is searched all the same: the run reports it as not read
    // and ends with the status of an incomplete result.
    case TStartFolderProblem::Unlistable:
        return;
    case TStartFolderProblem::Missing:
        throw ECliUsageError("start folder " + shown + " does not exist");
    case TStartFolderProblem::NotAFolder:
        throw ECliUsageError("start folder " + shown + " is not a folder");
    case TStartFolderProblem::Unreachable:
        break;
    }
    throw ECliUsageError("cannot use start folder " + shown + ": " + std::strerror(check.Error));
}

} // namespace parvex
