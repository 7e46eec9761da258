#include "platform/file_mask.h"

#include "platform/text_case.h"

namespace parvex {

namespace {

// Length of the character that starts at name[i]: a whole UTF-8 sequence when the bytes form
// one, otherwise the single byte, so that "?" stands for one character of any name.
std::size_t CharacterLength(std::string_view name, std::size_t i) {
    const auto lead = static_cast<unsigned char>(name[i]);
    std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (lead >= 0xF8 || i + length > name.size())
        return 1;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(name[i + k]) & 0xC0) != 0x80)
            return 1;
    return length;
}

} // namespace

bool MatchesFileMask(std::string_view name, std::string_view mask) {
    if (mask.empty())
        return false;
    if (mask == "*.*")
        return true;
    // Iterative wildcard match that backtracks only to the last "*": linear in practice.
    std::size_t n = 0, m = 0;
    std::size_t starMask = std::string_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && mask[m] == '?') {
            n += CharacterLength(name, n);
            ++m;
        } else if (m < mask.size() && UpperAsciiLetter(mask[m]) == UpperAsciiLetter(name[n])) {
            ++n;
            ++m;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            starName += CharacterLength(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

} // namespace parvex
