#include "file_actions/file_outcomes.h"

namespace parvex {

std::vector<TFileOutcome> OutcomesByFile(const std::vector<TActionOutcome>& outcomes,
                                         const std::vector<TResultGroupFacts>& groups) {
    std::vector<TFileOutcome> files;
    for (const TActionOutcome& outcome : outcomes) {
        // A run handles the names of a file one after the other.
        if (files.empty() || files.back().Group != outcome.Group ||
            files.back().File != outcome.File) {
            const TResultFileFacts& facts = groups[outcome.Group].Files[outcome.File];
            files.push_back({outcome.Group, outcome.File, {}, {}, !facts.AllNamesFound});
        }
        if (outcome.Done)
            files.back().Done.push_back(outcome.Name);
        else
            files.back().NotDone.push_back(outcome);
    }
    return files;
}

} // namespace parvex
