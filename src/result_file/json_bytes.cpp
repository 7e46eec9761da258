#include "result_file/json_bytes.h"

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

std::optional<std::string> BytesOfBase64(std::string_view text) {
    if (text.size() % 4 != 0)
        return std::nullopt;
    const auto value = [](char c) -> int {
        if (c >= 'A' && c <= 'Z')
            return c - 'A';
        if (c >= 'a' && c <= 'z')
            return c - 'a' + 26;
        if (c >= '0' && c <= '9')
            return c - '0' + 52;
        if (c == '+')
            return 62;
        if (c == '/')
            return 63;
        return -1;
    };
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        // "=" pads only the end of the last quartet: "xx==" or "xxx=".
        const std::size_t padding = !last ? 0 : text[i + 2] == '=' ? 2 : text[i + 3] == '=' ? 1 : 0;
        if (padding == 2 && text[i + 3] != '=')
            return std::nullopt;
        std::uint32_t quartet = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const int digit = k < 4 - padding ? value(text[i + k]) : 0;
            if (digit < 0)
                return std::nullopt;
            quartet = quartet << 6 | static_cast<std::uint32_t>(digit);
        }
        bytes += static_cast<char>(quartet >> 16 & 0xFF);
        if (padding < 2)
            bytes += static_cast<char>(quartet >> 8 & 0xFF);
        if (padding < 1)
            bytes += static_cast<char>(quartet & 0xFF);
    }
    return bytes;
}

void SetBytesMember(nlohmann::ordered_json& object, const std::string& key,
                    std::string_view bytes) {
    if (IsValidUtf8(bytes))
        object[key] = std::string(bytes);
    else
        object[key + "_b64"] = Base64Of(bytes);
}

} // namespace parvex

namespace parvex {

std::optional<std::string> GetBytesMember(const nlohmann::ordered_json& object,
                                          const std::string& key) {
    if (!object.is_object())
        return std::nullopt;
    if (const auto text = object.find(key); text != object.end())
        return text->is_string() ? std::optional(text->get<std::string>()) : std::nullopt;
    const auto base64 = object.find(key + "_b64");
    if (base64 == object.end() || !base64->is_string())
        return std::nullopt;
    return BytesOfBase64(base64->get_ref<const std::string&>());
}

} // namespace parvex
