#pragma once

#include <span>
#include <type_traits>

namespace parvex {

/// Calls `run` with every maximal run of neighbouring elements of the contiguous container
/// `items` that share the key of the run's first element (`sameKey(first, element)`), as a span,
/// in order. `run` may return bool: false ends the walk at once. True unless a run ended it.
template <class TContainer, class TSameKey, class TRun>
bool ForEachRun(TContainer& items, TSameKey sameKey, TRun run) {
    // A span rather than a ranges subrange: clang 14 cannot check libstdc++ 12's range concepts.
    using TElement = std::remove_reference_t<decltype(*items.data())>;
    const std::span<TElement> all(items.data(), items.size());
    for (std::size_t begin = 0; begin < all.size();) {
        std::size_t end = begin + 1;
        while (end < all.size() && sameKey(all[begin], all[end]))
            ++end;
        const std::span<TElement> same = all.subspan(begin, end - begin);
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
