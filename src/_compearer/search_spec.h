#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// The full patterns of a SearchSpec text (start folder, then masks separated by ";"),
/// in scan order. A ";" inside an existing start folder belongs to the folder.
std::vector<std::string> SplitSearchSpec(const std::string& spec);

/// Length of the folder part of a pattern: up to and including its last "/".
std::size_t FolderPartLength(std::string_view pattern);

} // namespace parvex
