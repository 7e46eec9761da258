#include "file_actions/mark_rules.h"

#include <algorithm>
#include <tuple>

namespace parvex {

std::size_t KeptByRule(const std::vector<TMarkable>& files, TKeepRule rule) {
    // A key that is smaller for the better copy, the found order breaking ties.
    const auto key = [rule](const TMarkable& file) {
        switch (rule) {
        case TKeepRule::Newest:
            return std::tuple(-file.Moment, std::size_t{0}, file.FoundRank);
        case TKeepRule::Oldest:
            return std::tuple(file.Moment, std::size_t{0}, file.FoundRank);
        case TKeepRule::ShortestPath:
            return std::tuple(std::int64_t{0}, file.PathLength, file.FoundRank);
        case TKeepRule::FirstFound:
            break;
        }
        return std::tuple(std::int64_t{0}, std::size_t{0}, file.FoundRank);
    };
    std::size_t best = 0;
    for (std::size_t i = 1; i < files.size(); ++i) {
        if (key(files[i]) < key(files[best]))
            best = i;
    }
    return best;
}

bool KeepOneUnmarked(std::vector<TMarkable>& files) {
    if (files.empty() || !std::ranges::all_of(files, &TMarkable::Marked))
        return false;
    const auto first = std::ranges::min_element(files, {}, &TMarkable::FoundRank);
    first->Marked = false;
    return true;
}

bool MarkAllButOne(std::vector<TMarkable>& files, TKeepRule rule) {
    if (files.empty())
        return false;
    const std::size_t kept = KeptByRule(files, rule);
    for (std::size_t i = 0; i < files.size(); ++i)
        files[i].Marked = i != kept && !files[i].Protected;
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
