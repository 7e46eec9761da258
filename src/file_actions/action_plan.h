#pragma once

#include "file_actions/keep_rules.h"
#include "file_actions/real_folders.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

/// What a plan does with one file of a group (all names of it alike).
enum class TPlanDecision {
    Stays, ///< left as it is
    Act,   ///< acted on, once it is checked right before
    Skip   ///< not acted on though it would have been; Why says why
};

/// One file of a group in a plan.
struct TPlanFile {
    std::size_t File = 0; ///< its place in the group's files
    TPlanDecision Decision = TPlanDecision::Stays;
    /// Why it stays ("kept by newest", "under a protected folder", "not marked") or is skipped.
    std::string Why;
    /// Under a protected folder through one of its names.
    bool Protected = false;
};

/// One group of a result in a plan.
struct TPlanGroup {
    std::size_t Group = 0; ///< its place in the result
    /// The copy that stays, which the others are compared with and linked to; nothing when no
    /// copy stays.
    std::optional<std::size_t> Kept;
    /// Every file of the group, in found order.
    std::vector<TPlanFile> Files;
};

/// How a plan chooses what stays.
struct TPlanChoices {
    /// The keep rules, in order; used when the marks are not followed.
    std::vector<TKeepRule> Rules{TKeepRule{}};
    /// Folders whose files are never acted on: a file with any name in one is protected whole,
    /// and a protected copy is the copy of its group that stays.
    std::vector<std::string> ProtectedFolders;
    /// Act on the marked files (TResultFileFacts::Marked) instead of applying the rules.
    bool FollowMarks = false;
    /// When not empty, only files with every name inside this folder are acted on.
    std::string StartFolder;
};

/// What a bulk run does, group by group: the same for the same result and choices, wherever it
/// is made.
struct TActionPlan {
    std::vector<TPlanGroup> Groups;
    /// The protected folders the plan was made with, as given.
    std::vector<std::string> ProtectedFolders;
};

/// The plan for the groups of a result (files in found order). Folders are matched through
/// `real` by identity.
TActionPlan MakeActionPlan(const std::vector<TResultGroupFacts>& groups,
                           const TPlanChoices& choices, TRealFolders& real);

} // namespace parvex
