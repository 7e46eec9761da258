#include "platform/text_case.h"

#include <algorithm>

namespace parvex {

std::string UpperAscii(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(), UpperAsciiLetter);
    return upper;
}

bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return UpperAsciiLetter(x) == UpperAsciiLetter(y);
           });
}

} // namespace parvex
