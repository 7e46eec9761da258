#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// A text in single quotes, escaped as in the text format, for a one-line message.
std::string Quoted(std::string_view text);

/// The standard error line (with its line break) for a file or folder that could not be read.
std::string UnreadMessage(std::string_view path, std::string_view reason);

} // namespace parvex
