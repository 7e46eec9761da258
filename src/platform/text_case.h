#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// The letter a to z as A to Z; every other byte unchanged.
constexpr char UpperAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

/// A copy of text with the letters a to z turned into A to Z and every other byte unchanged.
std::string UpperAscii(std::string_view text);

/// True when a and b are equal once the letters a to z are taken as A to Z.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace parvex
