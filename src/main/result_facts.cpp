#include "main/result_facts.h"

#include <algorithm>
#include <numeric>

namespace parvex {

std::vector<std::size_t> FoundOrderOf(const TResultGroup& group) {
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

std::vector<TResultGroupFacts> ResultFacts(const TResultData& result, std::stop_token stop) {
    std::vector<TResultGroupFacts> groups(result.GroupCount());
    for (std::size_t g = 0; g < groups.size() && !stop.stop_requested(); ++g) {
        groups[g].Name = result.GroupName(g).toStdString();
        for (const std::size_t f : FoundOrderOf(result.Group(g)))
            groups[g].Files.push_back(FileFactsOf(result, g, f));
    }
    return groups;
}

} // namespace parvex
