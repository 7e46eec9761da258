#pragma once

#include <functional>
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

/// A temporary name in the folder of `duplicate` that nothing holds and for which `alsoTaken`
/// does not hold, for the link that replaces it.
std::string TemporaryLinkName(const std::string& duplicate,
                              const std::function<bool(const std::string&)>& alsoTaken = {});

/// ReplaceWithHardLink through the chosen temporary name `temporary`; refused, changing nothing,
/// when another took that name meanwhile.
[[nodiscard]] TLinkOutcome ReplaceWithHardLinkVia(const std::string& kept,
                                                  const std::string& duplicate,
                                                  const std::string& temporary);

} // namespace parvex
