#include "main/result_document_text.h"

#include "main/result_facts.h"
#include "result_file/json_result.h"

namespace parvex {

std::string ResultDocumentText(const TResultData& result, const TResultSearch& search,
                               const std::vector<TSkippedEntry>& skipped, bool complete) {
    TJsonResult document(search);
    for (const std::size_t group : result.FoundOrder()) {
        if (result.Group(group).Files.size() < 2)
            continue;
        TGroupFacts facts = GroupFactsOf(result, group);
        document.AddGroup(facts.Facts.Name);
        for (const TResultFileFacts& file : facts.Facts.Files)
            document.AddFile(file);
    }
    for (const TSkippedEntry& entry : skipped)
        document.AddSkipped(entry.Path, entry.Reason);
    return document.Text(complete);
}

} // namespace parvex
