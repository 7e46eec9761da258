#pragma once

#include <string>
#include <vector>

namespace parvex {

/// What became of the names of one file moved into a folder.
struct TNamesMove {
    bool Moved = false;
    /// Where each name went, in the order given; empty when nothing moved.
    std::vector<std::string> Targets;
    /// Why nothing moved.
    std::string Reason;
};

/// Moves every name of one file (the exact paths `names`, the first name first) into `folder`,
/// each under its own file name or a free one beside it: the first name moves (a rename, or a
/// copy across file systems), then each other name becomes a hard link to it there and only then
/// leaves its place, so the file stays one file with all its names. When a name cannot be linked
/// at the destination, what was done is undone and the reason says why.
TNamesMove MoveAllNames(const std::vector<std::string>& names, const std::string& folder);

/// MoveAllNames to the chosen free paths `targets`, one per name; nothing at a target is ever
/// replaced.
TNamesMove MoveAllNamesTo(const std::vector<std::string>& names,
                          const std::vector<std::string>& targets);

} // namespace parvex
