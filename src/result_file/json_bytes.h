#pragma once

#include <nlohmann/json_fwd.hpp>
#include <optional>
#include <string>
#include <string_view>

namespace parvex {

/// True when the bytes are well-formed UTF-8: no overlong forms, no surrogates, nothing above
/// U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

/// The bytes in standard base64 (RFC 4648, with "=" padding).
std::string Base64Of(std::string_view bytes);

/// The bytes of standard base64 text (RFC 4648, with "=" padding); nothing when the text is not
/// such base64.
std::optional<std::string> BytesOfBase64(std::string_view text);

/// Puts exact bytes into a JSON object: as the string member `key` when they are valid UTF-8,
/// else as `key` followed by "_b64" holding their base64, so that every byte survives.
void SetBytesMember(nlohmann::ordered_json& object, const std::string& key, std::string_view bytes);

/// Reads what SetBytesMember put: the string member `key`, else the base64 of `key` followed by
/// "_b64"; nothing when neither is there as such.
std::optional<std::string> GetBytesMember(const nlohmann::ordered_json& object,
                                          const std::string& key);

} // namespace parvex
