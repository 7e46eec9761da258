#pragma once

#include <string>
#include <string_view>

namespace parvex {

/// The compare keys that make two files identical: a file agrees with another on every key
/// that is on.
struct TCompareKeys {
    bool Name = false;
    bool Size = false;
    bool Time = false;
    bool Content = false;

    friend bool operator==(const TCompareKeys&, const TCompareKeys&) = default;
};

/// The keys' names in their display order: "name", "size", "time", "content".
inline constexpr std::string_view CompareKeyNames[] = {"name", "size", "time", "content"};

/// The switch of the key called `name` (one of CompareKeyNames), or nullptr for another text.
bool* CompareKeyNamed(TCompareKeys& keys, std::string_view name);
/// The switch of the key called `name`, read only, or nullptr for another text.
const bool* CompareKeyNamed(const TCompareKeys& keys, std::string_view name);

/// The result of reading a key list: the keys, or the first piece that names no key.
struct TCompareKeysParse {
    bool Valid = false;
    TCompareKeys Keys;
    std::string BadPiece; ///< when not Valid: the piece that names no key (empty for an empty one)
};

/// Reads "none" or a comma-separated list of key names ("size,content"); repeats are allowed.
TCompareKeysParse ParseCompareKeys(std::string_view text);

/// The keys as a list that ParseCompareKeys reads back: "name,size,time,content" order, or
/// "none".
std::string FormatCompareKeys(const TCompareKeys& keys);

/// The keys as the settings dialog keeps them: with no key on, "name" comes back on, and
/// "content" brings "size" on (equal content implies equal size, and sizes are far cheaper
/// to compare first).
TCompareKeys WithSettingsDialogRules(TCompareKeys keys);

} // namespace parvex
