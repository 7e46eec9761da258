#include "main/result_document_text.h"

#include "result_file/json_result.h"

#include <algorithm>
#include <numeric>

namespace parvex {

std::string ResultDocumentText(const TResultData& result, const TResultSearch& search,
                               const std::vector<TSkippedEntry>& skipped, bool complete) {
    TJsonResult document(search);
    std::vector<std::size_t> files;
    for (const std::size_t group : result.FoundOrder()) {
        const TResultGroup& g = result.Group(group);
        if (g.Files.size() < 2)
            continue;
        document.AddGroup(result.GroupName(group).toStdString());
        files.resize(g.Files.size());
        std::iota(files.begin(), files.end(), std::size_t{0});
        std::ranges::sort(files, {}, [&g](std::size_t f) { return g.Files[f].FoundRank; });
        for (const std::size_t f : files) {
            const TResultFile& file = g.Files[f];
            TResultFileFacts facts;
            facts.Path = result.FilePath(group, f).toStdString();
            facts.Size = file.Found.Size;
            facts.ModifiedNs = file.ModifiedNs;
            facts.Id = file.Found.Id;
            facts.AllNamesFound = file.AllNamesFound;
            facts.OtherNames = result.OtherNamesOf(group, f);
            facts.Marked = file.Marked;
            document.AddFile(facts);
        }
    }
    for (const TSkippedEntry& entry : skipped)
        document.AddSkipped(entry.Path, entry.Reason);
    return document.Text(complete);
}

} // namespace parvex
