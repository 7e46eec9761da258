#include "cli/json_bytes.h"

#include <cstdint>
#include <nlohmann/json.hpp>

namespace parvex {

namespace {

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

} // namespace

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        std::size_t length = 0;
        // The smallest second byte and the largest one for each lead byte keep out overlong
        // forms, surrogates and code points above U+10FFFF.
        unsigned char low = 0x80, high = 0xBF;
        if (lead < 0x80) {
            ++i;
            continue;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (bytes.size() - i < length)
            return false;
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        if (second < low || second > high)
            return false;
        for (std::size_t k = 2; k < length; ++k) {
            if (!IsContinuation(static_cast<unsigned char>(bytes[i + k])))
                return false;
        }
        i += length;
    }
    return true;
}

std::string Base64Of(std::string_view bytes) {
    static constexpr char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    std::size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const std::uint32_t triple = std::uint32_t(static_cast<unsigned char>(bytes[i])) << 16 |
                                     std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8 |
                                     std::uint32_t(static_cast<unsigned char>(bytes[i + 2]));
        for (int shift = 18; shift >= 0; shift -= 6)
            text += kAlphabet[(triple >> shift) & 0x3F];
    }
    const std::size_t left = bytes.size() - i;
    if (left > 0) {
        std::uint32_t triple = std::uint32_t(static_cast<unsigned char>(bytes[i])) << 16;
        if (left == 2)
            triple |= std::uint32_t(static_cast<unsigned char>(bytes[i + 1])) << 8;
        text += kAlphabet[(triple >> 18) & 0x3F];
        text += kAlphabet[(triple >> 12) & 0x3F];
        text += left == 2 ? kAlphabet[(triple >> 6) & 0x3F] : '=';
        text += '=';
    }
    return text;
}

void SetBytesMember(nlohmann::ordered_json& object, const std::string& key,
                    std::string_view bytes) {
    if (IsValidUtf8(bytes))
        object[key] = std::string(bytes);
    else
        object[key + "_b64"] = Base64Of(bytes);
}

} // namespace parvex
