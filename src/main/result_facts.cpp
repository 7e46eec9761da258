#include "main/result_facts.h"

#include <algorithm>
#include <numeric>

namespace parvex {

TGroupFacts GroupFactsOf(const TResultData& result, std::size_t group) {
    const TResultGroup& g = result.Group(group);
    TGroupFacts facts;
    facts.Facts.Name = result.GroupName(group).toStdString();
    facts.Rows.resize(g.Files.size());
    std::iota(facts.Rows.begin(), facts.Rows.end(), std::size_t{0});
    std::ranges::sort(facts.Rows, {}, [&g](std::size_t f) { return g.Files[f].FoundRank; });
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

} // namespace parvex
