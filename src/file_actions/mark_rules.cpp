#include "file_actions/mark_rules.h"

#include <algorithm>
#include <numeric>

namespace parvex {

bool KeepOneUnmarked(std::vector<TMarkable>& files) {
    if (files.empty() || !std::ranges::all_of(files, &TMarkable::Marked))
        return false;
    const auto first = std::ranges::min_element(files, {}, &TMarkable::FoundRank);
    first->Marked = false;
    return true;
}

bool MarkAsPlanned(std::vector<TMarkable>& files, const TPlanGroup& plan) {
    // The plan counts the files in found order.
    std::vector<std::size_t> found(files.size());
    std::iota(found.begin(), found.end(), std::size_t{0});
    std::ranges::sort(found, {}, [&files](std::size_t f) { return files[f].FoundRank; });
    for (const TPlanFile& file : plan.Files) {
        TMarkable& markable = files[found[file.File]];
        markable.Marked = file.Decision == TPlanDecision::Act && !markable.Protected;
    }
    return KeepOneUnmarked(files);
}

bool MarkCovered(std::vector<TMarkable>& files, const std::vector<bool>& covered) {
    for (std::size_t i = 0; i < files.size() && i < covered.size(); ++i) {
        if (covered[i] && !files[i].Protected)
            files[i].Marked = true;
    }
    return KeepOneUnmarked(files);
}

bool InvertMarks(std::vector<TMarkable>& files) {
    for (TMarkable& file : files)
        file.Marked = !file.Marked && !file.Protected;
    return KeepOneUnmarked(files);
}

} // namespace parvex
