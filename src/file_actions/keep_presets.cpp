#include "file_actions/keep_presets.h"

#include "VelPigger/velpigger.h"

#include <algorithm>

namespace parvex {
namespace {

const char* const kPreset = "PRESET";
const char* const kName = "NAME";
const char* const kRule = "RULE";
const char* const kRuleText = "VAL";
const char* const kLastUsed = "LAST";

} // namespace

TKeepPresets TKeepPresets::Read(const TVelPigger& root) {
    TKeepPresets presets;
    const TVelPigger* section = root.FindChild(Section);
    if (section == nullptr)
        return presets;
    presets.lastUsed_ = section->GetAttr(kLastUsed);
    for (int p = 0; p < section->ChildCount(); ++p) {
        const TVelPigger* element = section->GetChild(p);
        TKeepPreset preset{element->GetAttr(kName), {}};
        for (int r = 0; r < element->ChildCount(); ++r)
            preset.Rules.push_back(element->GetChild(r)->GetAttr(kRuleText));
        presets.presets_.push_back(std::move(preset));
    }
    return presets;
}

void TKeepPresets::Write(TVelPigger& root) const {
    TVelPigger* section = root.FindChild(Section);
    if (section == nullptr) {
        section = new TVelPigger(&root);
        section->SetName(Section);
    }
    while (section->ChildCount() > 0)
        delete section->GetChild(section->ChildCount() - 1);
    section->SetAttr(kLastUsed, lastUsed_);
    for (const TKeepPreset& preset : presets_) {
        auto* element = new TVelPigger(section);
        element->SetName(kPreset);
        element->SetAttr(kName, preset.Name);
        for (const std::string& rule : preset.Rules) {
            auto* line = new TVelPigger(element);
            line->SetName(kRule);
            line->SetAttr(kRuleText, rule);
        }
    }
}

const TKeepPreset* TKeepPresets::Find(std::string_view name) const {
    const auto found = std::ranges::find(presets_, name, &TKeepPreset::Name);
    return found == presets_.end() ? nullptr : &*found;
}

bool TKeepPresets::Save(const std::string& name, std::vector<std::string> rules) {
    if (name.empty())
        return false;
    const auto found = std::ranges::find(presets_, name, &TKeepPreset::Name);
    if (found != presets_.end())
        found->Rules = std::move(rules);
    else
        presets_.push_back({name, std::move(rules)});
    return true;
}

bool TKeepPresets::Rename(const std::string& from, const std::string& to) {
    const auto found = std::ranges::find(presets_, from, &TKeepPreset::Name);
    if (found == presets_.end() || to.empty() || (to != from && Find(to) != nullptr))
        return false;
    found->Name = to;
    if (lastUsed_ == from)
        lastUsed_ = to;
    return true;
}

void TKeepPresets::Remove(const std::string& name) {
    std::erase_if(presets_, [&name](const TKeepPreset& preset) { return preset.Name == name; });
    if (lastUsed_ == name)
        lastUsed_.clear();
}

} // namespace parvex
