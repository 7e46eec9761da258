#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// Whether c counts as a blank in tag documents: any character of code 0 to 32.
inline bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

/// Text with leading and trailing blanks (codes 0 to 32) removed.
std::string_view TrimBlanks(std::string_view Text);

/// Text with a to z turned into A to Z; every other byte unchanged.
std::string UpperAscii(std::string_view Text);

/// Whether two names are equal when the case of a to z is ignored.
bool SameTextAscii(std::string_view Left, std::string_view Right);

} // namespace parvex
