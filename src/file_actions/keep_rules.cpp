#include "file_actions/keep_rules.h"

#include "platform/file_mask.h"

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace parvex {
namespace {

struct TRuleName {
    TKeepRuleKind Kind;
    std::string_view Name;
};

constexpr std::array<TRuleName, 7> kRuleNames{{{TKeepRuleKind::Newest, "newest"},
                                               {TKeepRuleKind::Oldest, "oldest"},
                                               {TKeepRuleKind::ShortestPath, "shortest-path"},
                                               {TKeepRuleKind::LongestPath, "longest-path"},
                                               {TKeepRuleKind::First, "first"},
                                               {TKeepRuleKind::In, "in:"},
                                               {TKeepRuleKind::Glob, "glob:"}}};

bool TakesArgument(TKeepRuleKind kind) {
    return kind == TKeepRuleKind::In || kind == TKeepRuleKind::Glob;
}

// The candidates whose key is best by `better` (a strict order: better(a, b) when a is
// preferred to b); all of them when no key is better than another.
template <typename Key, typename Better>
std::vector<std::size_t> Best(const std::vector<std::size_t>& candidates, Key key, Better better) {
    std::vector<std::size_t> best;
    for (const std::size_t candidate : candidates) {
        if (!best.empty() && better(key(best.front()), key(candidate)))
            continue;
        if (!best.empty() && better(key(candidate), key(best.front())))
            best.clear();
        best.push_back(candidate);
    }
    return best;
}

} // namespace

std::optional<TKeepRule> ParseKeepRule(std::string_view text) {
    for (const TRuleName& rule : kRuleNames) {
        if (!TakesArgument(rule.Kind)) {
            if (text == rule.Name)
                return TKeepRule{rule.Kind, {}};
        } else if (text.starts_with(rule.Name) && text.size() > rule.Name.size()) {
            return TKeepRule{rule.Kind, std::string(text.substr(rule.Name.size()))};
        }
    }
    return std::nullopt;
}

std::string KeepRuleText(const TKeepRule& rule) {
    const auto named = std::ranges::find(kRuleNames, rule.Kind, &TRuleName::Kind);
    return std::string(named->Name) + rule.Argument;
}

TKeepRules::TKeepRules(std::vector<TKeepRule> rules, TRealFolders& real)
    : rules_(std::move(rules)) {
    for (const TKeepRule& rule : rules_)
        folders_.push_back(rule.Kind == TKeepRuleKind::In ? TFolderSet({rule.Argument}, real)
                                                          : TFolderSet());
}

TKeepChoice TKeepRules::Choose(const std::vector<TResultFileFacts>& files,
                               TRealFolders& real) const {
    std::vector<std::size_t> candidates(files.size());
    for (std::size_t i = 0; i < files.size(); ++i)
        candidates[i] = i;
    for (std::size_t r = 0; r < rules_.size() && candidates.size() > 1; ++r) {
        const TKeepRule& rule = rules_[r];
        const auto time = [&files](std::size_t i) { return files[i].ModifiedNs; };
        const auto length = [&files](std::size_t i) { return files[i].Path.size(); };
        switch (rule.Kind) {
        case TKeepRuleKind::Newest:
            candidates = Best(candidates, time, std::greater<>());
            break;
        case TKeepRuleKind::Oldest:
            candidates = Best(candidates, time, std::less<>());
            break;
        case TKeepRuleKind::ShortestPath:
            candidates = Best(candidates, length, std::less<>());
            break;
        case TKeepRuleKind::LongestPath:
            candidates = Best(candidates, length, std::greater<>());
            break;
        case TKeepRuleKind::First:
            candidates.resize(1);
            break;
        case TKeepRuleKind::In:
            candidates = Best(
                candidates, [&](std::size_t i) { return folders_[r].Holds(files[i].Path, real); },
                std::greater<>());
            break;
        case TKeepRuleKind::Glob:
            candidates = Best(
                candidates,
                [&](std::size_t i) { return MatchesFileMask(files[i].Path, rule.Argument); },
                std::greater<>());
            break;
        }
        if (candidates.size() == 1)
            return {candidates.front(), KeepRuleText(rule), rule.Kind == TKeepRuleKind::First};
    }
    return {candidates.front(), "first", candidates.size() > 1};
}

} // namespace parvex
