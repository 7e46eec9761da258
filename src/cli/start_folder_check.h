#pragma once

#include <string>

namespace parvex {

/// Throws ECliUsageError unless the start folder (ending in "/") is an existing folder.
void RequireStartFolder(const std::string& folder);

} // namespace parvex
