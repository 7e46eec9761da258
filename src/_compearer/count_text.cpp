#include "_compearer/count_text.h"

#include <charconv>
#include <system_error>

namespace parvex {

std::optional<int> ParseCountText(std::string_view text, int Largest) {
    // from_chars alone would take a leading minus sign.
    if (text.empty() || text.front() < '0' || text.front() > '9')
        return std::nullopt;
    int count = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, count);
    if (error != std::errc() || stop != end || count > Largest)
        return std::nullopt;
    return count;
}

} // namespace parvex
