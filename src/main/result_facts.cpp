#include "main/result_facts.h"

#include <algorithm>
#include <numeric>

namespace parvex {

std::vector<std::size_t> FilesInFoundOrder(const TResultGroup& group) {
    std::vector<std::size_t> files(group.Files.size());
    std::iota(files.begin(), files.end(), std::size_t{0});
    std::ranges::sort(files, {}, [&group](std::size_t f) { return group.Files[f].FoundRank; });
    return files;
}

TResultFileFacts FileFactsOf(const TResultData& result, std::size_t group, std::size_t file) {
    const TResultFile& row = result.Group(group).Files[file];
    TResultFileFacts facts;
    facts.Path = result.FilePath(group, file).toStdString();
    facts.Size = row.Found.Size;
    facts.ModifiedNs = row.ModifiedNs;
    facts.Id = row.Found.Id;
    facts.AllNamesFound = row.AllNamesFound;
    facts.OtherNames = result.OtherNamesOf(group, file);
    facts.Marked = row.Marked;
    return facts;
}

TMarkedGroups MarkedGroupsOf(const TResultData& result) {
    TMarkedGroups marked;
    for (std::size_t group = 0; group < result.GroupCount(); ++group) {
        const TResultGroup& g = result.Group(group);
        if (g.MarkedCount == 0)
            continue;
        TResultGroupFacts facts;
        facts.Name = result.GroupName(group).toStdString();
        std::vector<std::uint32_t> ranks;
        for (const std::size_t f : FilesInFoundOrder(g)) {
            facts.Files.push_back(FileFactsOf(result, group, f));
            ranks.push_back(g.Files[f].FoundRank);
        }
        marked.Groups.push_back(std::move(facts));
        marked.Places.push_back(group);
        marked.Ranks.push_back(std::move(ranks));
    }
    return marked;
}

} // namespace parvex
