#pragma once

#include <iterator>
#include <ranges>
#include <type_traits>

namespace parvex {

/// Calls `run` with every maximal run of neighbouring elements of `range` that share the key of
/// the run's first element (`sameKey(first, element)`), as a subrange, in order. `run` may
/// return bool: false ends the walk at once. True unless a run ended it.
template <std::ranges::forward_range TRange, class TSameKey, class TRun>
bool ForEachRun(TRange&& range, TSameKey sameKey, TRun run) {
    const auto last = std::ranges::end(range);
    for (auto begin = std::ranges::begin(range); begin != last;) {
        auto end = std::next(begin);
        while (end != last && sameKey(*begin, *end))
            ++end;
        const std::ranges::subrange same(begin, end);
        if constexpr (std::is_void_v<std::invoke_result_t<TRun&, decltype(same)>>) {
            run(same);
        } else if (!run(same)) {
            return false;
        }
        begin = end;
    }
    return true;
}

} // namespace parvex
