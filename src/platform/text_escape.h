#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// Appends bytes so that they stay on one line and read back unambiguously: every byte below
/// 0x20, 0x7F and the backslash become \n, \t, \r, \\ or \xHH (lower-case hex); every other
/// byte, also one that is not UTF-8, is appended as it is.
void AppendEscapedForText(std::string& out, std::string_view bytes);

/// The bytes escaped as AppendEscapedForText does.
std::string EscapedForText(std::string_view bytes);

} // namespace parvex
