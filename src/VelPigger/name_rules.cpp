#include "VelPigger/name_rules.h"

#include <algorithm>

namespace parvex {

namespace {

char UpperAsciiChar(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

std::string_view TrimBlanks(std::string_view Text) {
    while (!Text.empty() && IsBlank(Text.front())) {
        Text.remove_prefix(1);
    }
    while (!Text.empty() && IsBlank(Text.back())) {
        Text.remove_suffix(1);
    }
    return Text;
}

std::string UpperAscii(std::string_view Text) {
    std::string upper(Text);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAsciiChar);
    return upper;
}

bool SameTextAscii(std::string_view Left, std::string_view Right) {
    return std::equal(Left.begin(), Left.end(), Right.begin(), Right.end(),
                      [](char a, char b) { return UpperAsciiChar(a) == UpperAsciiChar(b); });
}

} // namespace parvex
