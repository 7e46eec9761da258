#include "_compearer/compare_keys.h"

namespace parvex {

bool* CompareKeyNamed(TCompareKeys& keys, std::string_view name) {
    if (name == "name")
        return &keys.Name;
    if (name == "size")
        return &keys.Size;
    if (name == "time")
        return &keys.Time;
    if (name == "content")
        return &keys.Content;
    return nullptr;
}

const bool* CompareKeyNamed(const TCompareKeys& keys, std::string_view name) {
    return CompareKeyNamed(const_cast<TCompareKeys&>(keys), name);
}

TCompareKeysParse ParseCompareKeys(std::string_view text) {
    TCompareKeysParse result;
    if (text == "none") {
        result.Valid = true;
        return result;
    }
    while (true) {
        const std::size_t comma = text.find(',');
        const std::string_view piece = text.substr(0, comma);
        bool* key = CompareKeyNamed(result.Keys, piece);
        if (key == nullptr) {
            result.Keys = {};
            result.BadPiece = piece;
            return result;
        }
        *key = true;
        if (comma == std::string_view::npos) {
            result.Valid = true;
            return result;
        }
        text.remove_prefix(comma + 1);
    }
}

std::string FormatCompareKeys(const TCompareKeys& keys) {
    std::string text;
    for (const std::string_view name : CompareKeyNames) {
        if (!*CompareKeyNamed(keys, name))
            continue;
        if (!text.empty())
            text += ',';
        text += name;
    }
    return text.empty() ? "none" : text;
}

TCompareKeys WithSettingsDialogRules(TCompareKeys keys) {
    if (!keys.Name && !keys.Size && !keys.Time && !keys.Content)
        keys.Name = true;
    if (keys.Content)
        keys.Size = true;
    return keys;
}

} // namespace parvex
