#pragma once

#include <string_view>

namespace parvex {

/// Whether c counts as a blank in tag documents: any character of code 0 to 32.
inline bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= 32;
}

/// Text with leading and trailing blanks (codes 0 to 32) removed.
std::string_view TrimBlanks(std::string_view Text);

} // namespace parvex
