#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// Writes every byte of `data` to `fd`, retrying short and interrupted writes; false on an error.
[[nodiscard]] bool WriteAll(int fd, std::string_view data);

/// Copies every byte from `from` to `to` (both open descriptors), retrying interrupted calls;
/// false on an error, with errno set.
[[nodiscard]] bool CopyAll(int from, int to);

/// `path` made absolute with the working folder (unchanged when absolute); empty when the working
/// folder cannot be learnt.
std::string AbsolutePathOf(const std::string& path);

/// The folder part of `path` without a trailing "/": "/" for a file in the root, "." for a bare
/// name.
std::string FolderOf(const std::string& path);

} // namespace parvex
