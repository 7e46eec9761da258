#pragma once

#include "platform/name_facts.h"

#include <string>

namespace parvex {

/// Makes the exact path `name`, now one of several names of a file, a file of its own again that
/// holds the same bytes and has the permission bits, owner (where the user may give it) and
/// times of `look`: a copy written under the free name `temporary` beside it, synced, then
/// renamed over it. Empty when done, else why not; `name` is then as it was.
std::string SeparateName(const std::string& name, const std::string& temporary,
                         const TNameFacts& look);

} // namespace parvex
