#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace parvex {

class TVelPigger;

/// A named list of keep rules, as their texts (a text that names no rule is kept as it is).
struct TKeepPreset {
    std::string Name;
    std::vector<std::string> Rules;

    friend bool operator==(const TKeepPreset&, const TKeepPreset&) = default;
};

/// The saved lists of keep rules and the one used last, kept in the settings document: the
/// section "KEEP_RULES", one child per preset with its rules in order.
class TKeepPresets {
public:
    /// The section of the settings document that holds the presets.
    static constexpr const char* Section = "KEEP_RULES";

    /// The presets under `root`; none when it has no such section.
    static TKeepPresets Read(const TVelPigger& root);
    /// Replaces the section under `root` by these presets.
    void Write(TVelPigger& root) const;

    const std::vector<TKeepPreset>& All() const { return presets_; }
    /// The preset named `name`; nullptr when there is none.
    const TKeepPreset* Find(std::string_view name) const;
    /// Keeps `rules` under `name`, in place of a preset of that name or as the last one; false
    /// (nothing kept) for an empty name.
    bool Save(const std::string& name, std::vector<std::string> rules);
    /// Gives the preset `from` the name `to`; false when there is no `from`, or `to` is empty or
    /// names another preset.
    bool Rename(const std::string& from, const std::string& to);
    /// Takes out the preset `name`.
    void Remove(const std::string& name);

    /// The name of the preset used last; empty for none.
    const std::string& LastUsed() const { return lastUsed_; }
    void SetLastUsed(std::string name) { lastUsed_ = std::move(name); }

private:
    std::vector<TKeepPreset> presets_;
    std::string lastUsed_;
};

} // namespace parvex
