#include "file_actions/plan_count.h"

#include <algorithm>
#include <set>
#include <utility>

namespace parvex {

TPlanCount CountPlan(const std::vector<TResultGroupFacts>& groups, const TActionPlan& plan) {
    TPlanCount count;
    std::set<std::pair<std::uint64_t, std::uint64_t>> counted;
    for (const TPlanGroup& group : plan.Groups) {
        const std::vector<TResultFileFacts>& files = groups[group.Group].Files;
        // A name of the file that stays keeps its space in use.
        const auto stays = [&](const TFileId& id) {
            return std::ranges::any_of(group.Files, [&](const TPlanFile& other) {
                return other.Decision != TPlanDecision::Act && files[other.File].Id == id;
            });
        };
        for (const TPlanFile& planned : group.Files) {
            const TResultFileFacts& file = files[planned.File];
            if (planned.Decision == TPlanDecision::Skip) {
                ++count.Skipped;
                count.Protected += planned.Protected ? 1 : 0;
            }
            if (planned.Decision != TPlanDecision::Act)
                continue;
            ++count.Files;
            count.OtherNames += file.OtherNames.size();
            if (!file.AllNamesFound)
                ++count.NamesOutside;
            else if (file.Id.Known() && !stays(file.Id) &&
                     counted.emplace(file.Id.Device, file.Id.Inode).second)
                count.Bytes += file.Size;
        }
    }
    return count;
}

} // namespace parvex
