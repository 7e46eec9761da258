#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// Writes every byte of `data` to `fd`, retrying short and interrupted writes; false on an error.
[[nodiscard]] bool WriteAll(int fd, std::string_view data);

/// The folder part of `path` without a trailing "/": "/" for a file in the root, "." for a bare
/// name.
std::string FolderOf(const std::string& path);

} // namespace parvex
