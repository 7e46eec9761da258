#include "platform/text_escape.h"

namespace parvex {

void AppendEscapedForText(std::string& out, std::string_view bytes) {
    static constexpr char HexDigits[] = "0123456789abcdef";
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte != 0x7f && c != '\\') {
            out += c;
            continue;
        }
        out += '\\';
        switch (c) {
        case '\n':
            out += 'n';
            break;
        case '\t':
            out += 't';
            break;
        case '\r':
            out += 'r';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            out += 'x';
            out += HexDigits[byte >> 4];
            out += HexDigits[byte & 0xf];
        }
    }
}

std::string EscapedForText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    AppendEscapedForText(out, bytes);
    return out;
}

} // namespace parvex
