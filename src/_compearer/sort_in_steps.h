#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace parvex {

/// Sorts `items` in blocks, then merges the blocks pairwise, calling `between()` after every
/// step: a million rows take about a tenth of a second to sort, longer than the window may go
/// without its messages, while no single step here takes more than a few milliseconds.
template <class T, class TBetween> void SortInSteps(std::vector<T>& items, TBetween between) {
    constexpr std::size_t kBlock = std::size_t{1} << 16;
    const std::size_t count = items.size();
    const auto at = [&items](std::size_t place) {
        return items.begin() + static_cast<std::ptrdiff_t>(place);
    };
    for (std::size_t start = 0; start < count; start += kBlock) {
        std::sort(at(start), at(std::min(start + kBlock, count)));
        between();
    }
    for (std::size_t width = kBlock; width < count; width *= 2) {
        for (std::size_t start = 0; start + width < count; start += 2 * width) {
            std::inplace_merge(at(start), at(start + width),
                               at(std::min(start + 2 * width, count)));
            between();
        }
    }
}

} // namespace parvex
