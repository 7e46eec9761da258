#include "file_actions/keep_preview.h"

namespace parvex {

TKeepPreview PreviewOfPlan(const TActionPlan& plan, std::span<const TResultGroupFacts> groups) {
    TKeepPreview preview;
    for (const TPlanGroup& group : plan.Groups) {
        preview.ProtectedGroups += group.KeptBy == TKeptBy::Protected ? 1 : 0;
        preview.FoundOrderGroups += group.KeptBy == TKeptBy::FoundOrder ? 1 : 0;
        for (const TPlanFile& file : group.Files) {
            if (file.Decision != TPlanDecision::Act)
                continue;
            const TResultFileFacts& facts = groups[group.Group].Files[file.File];
            ++preview.Files;
            preview.Bytes += facts.AllNamesFound ? facts.Size : 0;
        }
    }
    return preview;
}

std::vector<bool> ActedOn(const TActionPlan& plan) {
    std::vector<bool> acted;
    for (const TPlanGroup& group : plan.Groups)
        for (const TPlanFile& file : group.Files)
            acted.push_back(file.Decision == TPlanDecision::Act);
    return acted;
}

} // namespace parvex
