#include "_compearer/size_text.h"

#include <limits>

namespace parvex {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::int64_t UnitOf(char letter) {
    switch (letter) {
    case 'K':
    case 'k':
        return 1000;
    case 'M':
    case 'm':
        return 1000 * 1000;
    case 'G':
    case 'g':
        return 1000 * 1000 * 1000;
    default:
        return 0;
    }
}

} // namespace

std::optional<std::int64_t> ParseSizeText(std::string_view text) {
    std::int64_t unit = 1;
    if (!text.empty() && !IsDigit(text.back()) && text.back() != '.') {
        unit = UnitOf(text.back());
        if (unit == 0)
            return std::nullopt;
        text.remove_suffix(1);
    }
    const std::size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view fraction =
        dot == std::string_view::npos ? std::string_view() : text.substr(dot + 1);
    if ((whole.empty() && fraction.empty()) || (dot != std::string_view::npos && fraction.empty()))
        return std::nullopt;
    // Exact integer arithmetic: the fraction's digits must come to whole bytes.
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    std::int64_t bytes = 0;
    for (const char c : whole) {
        if (!IsDigit(c) || bytes > (kMax - (c - '0')) / 10)
            return std::nullopt;
        bytes = bytes * 10 + (c - '0');
    }
    if (bytes > kMax / unit)
        return std::nullopt;
    bytes *= unit;
    std::int64_t place = unit;
    for (const char c : fraction) {
        if (!IsDigit(c))
            return std::nullopt;
        const std::int64_t digit = c - '0';
        if (digit != 0 && place < 10)
            return std::nullopt;
        place /= 10;
        if (bytes > kMax - digit * place)
            return std::nullopt;
        bytes += digit * place;
    }
    return bytes;
}

} // namespace parvex
