#pragma once

#include <string>

namespace parvex {

/// What became of replacing a file by a hard link.
struct TLinkOutcome {
    bool Linked = false; ///< `duplicate` is now another name of `kept`
    std::string Reason;  ///< why not, when not
};

/// Replaces the file at the exact path `duplicate` by a hard link to `kept`. Both must be on one
/// file system. The link is made under a free temporary name in the duplicate's folder and then
/// renamed over the duplicate, so a failure at any point leaves the duplicate as it was.
[[nodiscard]] TLinkOutcome ReplaceWithHardLink(const std::string& kept,
                                               const std::string& duplicate);

} // namespace parvex
