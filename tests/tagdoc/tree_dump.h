#pragma once

#include "VelPigger/velpigger.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace parvex::test {

/// A byte string as a C literal body: printable ASCII as is, everything else as \xHH.
inline std::string Escaped(std::string_view Bytes) {
    std::string out;
    for (const char c : Bytes) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 32 && code < 127 && c != '"' && c != '\\') {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            out += hex;
        }
    }
    return out;
}

/// The whole tree in one unambiguous line: NAME[ATTR="v" ...]"text"{children}.
inline std::string DumpTree(const TVelPigger& Node) {
    std::string out = Escaped(Node.Name()) + "[";
    for (std::size_t i = 0; i < Node.AttrNames().size(); ++i) {
        out += (i == 0 ? "" : " ") + Escaped(Node.AttrNames()[i]) + "=\"" +
               Escaped(Node.AttrValues()[i]) + "\"";
    }
    out += "]";
    if (!Node.Text().empty()) {
        out += "\"" + Escaped(Node.Text()) + "\"";
    }
    if (Node.ChildCount() > 0) {
        out += "{";
        for (int i = 0; i < Node.ChildCount(); ++i) {
            out += (i == 0 ? "" : ",") + DumpTree(*Node.GetChild(i));
        }
        out += "}";
    }
    return out;
}

/// The tree read from Text with LoadFromText, dumped.
inline std::string DumpText(const std::string& Text) {
    TVelPigger root;
    root.LoadFromText(Text);
    return DumpTree(root);
}

} // namespace parvex::test
