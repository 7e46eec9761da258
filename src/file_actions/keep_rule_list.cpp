#include "file_actions/keep_rule_list.h"

#include <algorithm>
#include <utility>

namespace parvex {

TKeepRuleList::TKeepRuleList(const std::vector<std::string>& texts) {
    for (const std::string& text : texts)
        lines_.push_back({text, ParseKeepRule(text)});
}

std::vector<std::string> TKeepRuleList::Texts() const {
    std::vector<std::string> texts;
    for (const TKeepRuleLine& line : lines_)
        texts.push_back(line.Text);
    return texts;
}

std::optional<std::vector<TKeepRule>> TKeepRuleList::Rules() const {
    if (lines_.empty() || UnknownCount() > 0)
        return std::nullopt;
    std::vector<TKeepRule> rules;
    for (const TKeepRuleLine& line : lines_)
        rules.push_back(*line.Rule);
    return rules;
}

std::size_t TKeepRuleList::UnknownCount() const {
    return static_cast<std::size_t>(
        std::ranges::count_if(lines_, [](const TKeepRuleLine& line) { return !line.Rule; }));
}

std::size_t TKeepRuleList::Add(const TKeepRule& rule) {
    lines_.push_back({KeepRuleText(rule), rule});
    return lines_.size() - 1;
}

void TKeepRuleList::Remove(std::size_t line) {
    if (line < lines_.size())
        lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(line));
}

std::size_t TKeepRuleList::Move(std::size_t line, bool up) {
    if (line >= lines_.size() || (up && line == 0) || (!up && line + 1 == lines_.size()))
        return line;
    const std::size_t other = up ? line - 1 : line + 1;
    std::swap(lines_[line], lines_[other]);
    return other;
}

} // namespace parvex
