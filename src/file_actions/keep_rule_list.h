#pragma once

#include "file_actions/keep_rules.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace parvex {

/// One line of a list of keep rules: its text, and the rule it names; nothing for a text that
/// names no rule, which is kept as it was read.
struct TKeepRuleLine {
    std::string Text;
    std::optional<TKeepRule> Rule;
};

/// An ordered list of keep rules being edited: lines added, removed and moved, texts that name
/// no rule kept until removed.
class TKeepRuleList {
public:
    TKeepRuleList() = default;
    /// The lines of `texts`, in order, each read as a rule.
    explicit TKeepRuleList(const std::vector<std::string>& texts);

    const std::vector<TKeepRuleLine>& Lines() const { return lines_; }
    /// The texts of the lines, in order.
    std::vector<std::string> Texts() const;
    /// The rules in order when there is at least one line and every line names a rule.
    std::optional<std::vector<TKeepRule>> Rules() const;
    /// The number of lines that name no rule.
    std::size_t UnknownCount() const;

    /// Appends a rule; its place.
    std::size_t Add(const TKeepRule& rule);
    /// Takes out the line at `line`; nothing for a place past the end.
    void Remove(std::size_t line);
    /// Swaps the line at `line` with the one before (`up`) or after it; the line's place after
    /// the move (the same at either end).
    std::size_t Move(std::size_t line, bool up);

private:
    std::vector<TKeepRuleLine> lines_;
};

} // namespace parvex
