#pragma once

#include <string>

namespace parvex {

/// What keeps a search from starting at a folder.
enum class TStartFolderProblem {
    None,        ///< an existing folder (or a link to one) whose entries can be read
    Missing,     ///< nothing by that name, or a link that leads nowhere
    NotAFolder,  ///< a file, or a path that runs through a file
    Unreachable, ///< the name cannot be looked up: no access to a folder above, a loop of links, a
                 ///< name too long
    Unlistable,  ///< a folder whose entries cannot be read
};

/// The outcome of CheckStartFolder: the problem and, for the last two, the system's error number.
struct TStartFolderCheck {
    TStartFolderProblem Problem = TStartFolderProblem::None;
    int Error = 0;
};

/// Looks at a start folder (exact path bytes, ending in "/") before a search: whether it exists,
/// is a folder and can be listed.
TStartFolderCheck CheckStartFolder(const std::string& folder);

} // namespace parvex
