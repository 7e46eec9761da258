#pragma once

#include "file_actions/folder_set.h"
#include "result_file/result_document.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parvex {

/// What a keep rule prefers in a group of copies.
enum class TKeepRuleKind {
    Newest,       ///< the latest modification time (to the nanosecond)
    Oldest,       ///< the earliest modification time
    ShortestPath, ///< the fewest bytes in the path
    LongestPath,  ///< the most bytes in the path
    First,        ///< the first found
    In,           ///< a file under the folder Argument (matched by identity)
    Glob,         ///< a file whose whole path matches the file mask Argument
};

/// One keep rule: "newest", "oldest", "shortest-path", "longest-path", "first", "in:DIR" or
/// "glob:PATTERN".
struct TKeepRule {
    TKeepRuleKind Kind = TKeepRuleKind::First;
    std::string Argument;

    friend bool operator==(const TKeepRule&, const TKeepRule&) = default;
};

/// The rule a text names; nothing for a text that is no rule (also "in:" or "glob:" with nothing
/// after the colon).
std::optional<TKeepRule> ParseKeepRule(std::string_view text);

/// The text of a rule, as ParseKeepRule reads it.
std::string KeepRuleText(const TKeepRule& rule);

/// The copy of a group that a list of keep rules keeps, and the rule that decided.
struct TKeepChoice {
    std::size_t Kept = 0;
    /// The text of the rule that picked the copy alone; "first" when only the found order did.
    std::string DecidedBy;
    /// The copies were tied until the found order chose among them ("first" or the end of the
    /// rules).
    bool ByFoundOrder = false;
};

/// An ordered list of keep rules with their folders resolved: the first rule that tells the
/// candidates apart decides, the ones it leaves tied go to the next rule, and the found order
/// ends every tie.
class TKeepRules {
public:
    TKeepRules(std::vector<TKeepRule> rules, TRealFolders& real);

    /// The copy kept among `files` (a group in found order, not empty).
    TKeepChoice Choose(const std::vector<TResultFileFacts>& files, TRealFolders& real) const;
    const std::vector<TKeepRule>& Rules() const { return rules_; }

private:
    std::vector<TKeepRule> rules_;
    // The folder of each "in:" rule, at the rule's place; empty sets for the other rules.
    std::vector<TFolderSet> folders_;
};

} // namespace parvex
