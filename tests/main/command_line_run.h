#pragma once

#include "file_actions/file_action.h"

#include <string>

namespace parvex::test {

/// Runs `kind` on the copies `kept` and `copy` as parvex-cli runs it, journalled as its run;
/// `folder` is where a move puts the copy. Empty when done, else why not.
std::string RunAsTheCommandLine(TActionKind kind, const std::string& kept, const std::string& copy,
                                const std::string& folder);

} // namespace parvex::test
