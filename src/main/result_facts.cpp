#include "main/result_facts.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace parvex {

std::vector<std::size_t> FoundOrderOf(const TResultGroup& group) {
    std::vector<std::size_t> rows(group.Files.size());
    std::iota(rows.begin(), rows.end(), std::size_t{0});
    std::ranges::sort(rows, {}, [&group](std::size_t f) { return group.Files[f].FoundRank; });
    return rows;
}

TGroupFacts GroupFactsOf(const TResultData& result, std::size_t group) {
    const TResultGroup& g = result.Group(group);
    TGroupFacts facts;
    facts.Facts.Name = result.GroupName(group).toStdString();
    facts.Rows = FoundOrderOf(g);
    for (const std::size_t f : facts.Rows) {
        const TResultFile& file = g.Files[f];
        TResultFileFacts& fileFacts = facts.Facts.Files.emplace_back();
        fileFacts.Path = result.FilePath(group, f).toStdString();
        fileFacts.Size = file.Found.Size;
        fileFacts.ModifiedNs = file.ModifiedNs;
        fileFacts.Id = file.Found.Id;
        fileFacts.AllNamesFound = file.AllNamesFound;
        fileFacts.OtherNames = result.OtherNamesOf(group, f);
        fileFacts.Marked = file.Marked;
    }
    return facts;
}

std::vector<TResultGroupFacts> ResultFacts(const TResultData& result, std::stop_token stop) {
    std::vector<TResultGroupFacts> groups(result.GroupCount());
    for (std::size_t g = 0; g < groups.size() && !stop.stop_requested(); ++g)
        groups[g] = std::move(GroupFactsOf(result, g).Facts);
    return groups;
}

TMarkedGroups MarkedGroupsOf(const TResultData& result) {
    TMarkedGroups marked;
    for (std::size_t group = 0; group < result.GroupCount(); ++group) {
        if (result.Group(group).MarkedCount == 0)
            continue;
        TGroupFacts facts = GroupFactsOf(result, group);
        marked.Facts.push_back(std::move(facts.Facts));
        marked.Places.push_back(group);
        marked.Rows.push_back(std::move(facts.Rows));
    }
    return marked;
}

} // namespace parvex
