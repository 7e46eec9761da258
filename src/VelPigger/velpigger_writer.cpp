// The written layout of a tag document and the percent encoding of values and texts.
#include "VelPigger/velpigger.h"

#include <fstream>
#include <ostream>

namespace parvex {

namespace {

bool NeedsEscape(unsigned char c) {
    if (c < 32) {
        return c != '\t' && c != '\n' && c != '\r';
    }
    return c == '"' || c == '%' || c == '<' || c == '>';
}

int HexDigitValue(char c) {
    const int code = static_cast<unsigned char>(c);
    return code >= 65 ? code - 48 - 7 : code - 48;
}

} // namespace

std::string TVelPigger::EncodeText(std::string_view Plain) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(Plain.size());
    for (const char c : Plain) {
        const auto code = static_cast<unsigned char>(c);
        if (NeedsEscape(code)) {
            encoded += '%';
            encoded += kHex[code >> 4];
            encoded += kHex[code & 15];
        } else {
            encoded += c;
        }
    }
    return encoded;
}

std::string TVelPigger::DecodeText(std::string_view Encoded) {
    // The two characters after "%" are taken as digits without any check, so "%3c" is not "<";
    // a "%" too close to the end to have two of them is kept as it is, with what follows.
    std::string decoded;
    decoded.reserve(Encoded.size());
    std::size_t i = 0;
    while (i < Encoded.size()) {
        if (Encoded[i] == '%' && i + 2 < Encoded.size()) {
            const int value = 16 * HexDigitValue(Encoded[i + 1]) + HexDigitValue(Encoded[i + 2]);
            decoded += static_cast<char>(static_cast<unsigned char>(value));
            i += 3;
        } else {
            decoded += Encoded[i];
            ++i;
        }
    }
    return decoded;
}

// Depth is the number of ancestors below the node written first; the indent of each line is
// made here, as it is written.
void TVelPigger::WriteElement(std::string& Out, std::size_t Depth) const {
    if (FName.empty()) {
        return;
    }
    const auto indent = [&Out, Depth] {
        Out += "\r\n";
        Out.append(Depth, '\t');
    };
    indent();
    Out += '<';
    Out += FName;
    for (std::size_t i = 0; i < FAttrNames.size(); ++i) {
        Out += ' ';
        Out += FAttrNames[i];
        Out += "=\"";
        Out += EncodeText(FAttrValues[i]);
        Out += '"';
    }
    if (FChildren.empty() && FText.empty()) {
        Out += "/>";
        return;
    }
    Out += '>';
    Out += EncodeText(FText);
    for (const TVelPigger* child : FChildren) {
        child->WriteElement(Out, Depth + 1);
    }
    indent();
    Out += "</";
    Out += FName;
    Out += '>';
}

std::string TVelPigger::SaveToText() const {
    // One growing buffer; std::string grows geometrically, so large documents stay linear.
    std::string text;
    WriteElement(text, AncestorCount());
    return text;
}

void TVelPigger::SaveToStream(std::ostream& Stream) const {
    const std::string text = SaveToText();
    if (text.empty()) {
        return;
    }
    Stream.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!Stream) {
        throw EFileStreamError("Stream write error");
    }
}

void TVelPigger::SaveToFile(const std::string& FileName) const {
    std::ofstream file(FileName, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) {
        throw EFileStreamError("Cannot create file " + FileName);
    }
    SaveToStream(file);
    file.close();
    if (file.fail()) {
        throw EFileStreamError("Stream write error");
    }
}

} // namespace parvex
