#include "run_journal/run_list.h"

#include "run_journal/step_undo.h"

#include <algorithm>
#include <exception>
#include <filesystem>
#include <tuple>

namespace parvex {

std::vector<TRunSummary> ListRuns(const std::string& folder) {
    std::vector<TRunSummary> runs;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::filesystem::path& path = entry.path();
        if (path.extension() != ".run")
            continue;
        try {
            if (const auto file = TRunFile::Open(folder, path.stem().string()))
                runs.push_back(file->Summary());
        } catch (const std::exception&) {
            // A damaged journal is no run to list or undo.
        }
    }
    std::ranges::sort(runs, [](const TRunSummary& one, const TRunSummary& two) {
        return std::tie(one.StartedNs, one.Id) > std::tie(two.StartedNs, two.Id);
    });
    return runs;
}

std::optional<TRunSummary> NewestRunToUndo(const std::vector<TRunSummary>& runs) {
    for (const TRunSummary& run : runs) {
        if (run.UndoneNs == 0 &&
            std::ranges::any_of(run.Acted, [](const auto& acted) { return Undoable(acted.first); }))
            return run;
    }
    return std::nullopt;
}

} // namespace parvex
