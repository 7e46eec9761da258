#include "main/result_document_text.h"

#include "main/result_facts.h"
#include "result_file/json_result.h"

namespace parvex {

std::string ResultDocumentText(const TResultData& result, const TResultSearch& search,
                               const std::vector<TSkippedEntry>& skipped, bool complete) {
    TJsonResult document(search);
    for (const std::size_t group : result.FoundOrder()) {
        const TResultGroup& g = result.Group(group);
        if (g.Files.size() < 2)
            continue;
        document.AddGroup(result.GroupName(group).toStdString());
        for (const std::size_t f : FilesInFoundOrder(g))
            document.AddFile(FileFactsOf(result, group, f));
    }
    for (const TSkippedEntry& entry : skipped)
        document.AddSkipped(entry.Path, entry.Reason);
    return document.Text(complete);
}

} // namespace parvex
