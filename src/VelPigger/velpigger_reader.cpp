// The lenient reader of the tag document text form.
#include "VelPigger/name_rules.h"
#include "VelPigger/velpigger.h"
#include "platform/text_case.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <istream>
#include <limits>
#include <sstream>
#include <system_error>

namespace parvex {

namespace {

const char* const kSyntaxError = "Syntax error";
const char* const kUnclosedTag = "Unclosed tag: ";

// Deeper nesting is refused with "Syntax error" at the "<" of the element that would go too
// deep: the reader, the writer and the destructor recurse once per level, so unbounded depth
// could exhaust the stack.
constexpr int kMaxDepth = 1000;
thread_local int tReadDepth = 0;

std::string NormaliseLineBreaks(const std::string& Raw) {
    std::string text;
    text.reserve(Raw.size() + 2);
    bool lineOpen = false;
    for (std::size_t i = 0; i < Raw.size(); ++i) {
        const char c = Raw[i];
        if (c == '\0') {
            break;
        }
        if (c == '\r' || c == '\n') {
            text += "\r\n";
            lineOpen = false;
            if (c == '\r' && i + 1 < Raw.size() && Raw[i + 1] == '\n') {
                ++i;
            }
        } else {
            text += c;
            lineOpen = true;
        }
    }
    if (lineOpen) {
        text += "\r\n";
    }
    return text;
}

} // namespace

/// The shared reading steps over one text, with 1-based positions; a node's ReadElement uses it.
class TVelPiggerReader {
public:
    TVelPiggerReader(TVelPigger& Node, const std::string& Source)
        : node(Node), text(Source), length(static_cast<std::int32_t>(Source.size())) {}

    void ReadElement(std::int32_t& P) {
        node.SetName(ReadTagName(P));
        while (ReadAttr(P)) {
        }
        SkipBlanks(P);
        if (At(P) == '/' && At(P + 1) == '>') {
            P += 2;
            return;
        }
        ++P;
        if (At(P - 1) != '>') {
            Fail(kSyntaxError, P);
        }
        while (ReadContent(P)) {
        }
        ReadClosingTag(P);
    }

private:
    // The character at a 1-based position; outside the text it reads as NUL, like the
    // terminator of the string the format was designed on.
    char At(std::int32_t P) const { return P >= 1 && P <= length ? text[P - 1] : '\0'; }

    [[noreturn]] void Fail(const std::string& Message, std::int32_t Position) {
        node.Error(Message, Position);
        throw EVelPiggerError(Message, Position);
    }

    void SkipBlanks(std::int32_t& P) const {
        while (P < length && IsBlank(At(P))) {
            ++P;
        }
    }

    std::int32_t FindAnyOf(std::string_view Set, std::int32_t From) const {
        for (std::int32_t i = std::max<std::int32_t>(From, 1); i <= length; ++i) {
            if (Set.find(text[i - 1]) != std::string_view::npos) {
                return i;
            }
        }
        return 0;
    }

    std::string_view Slice(std::int32_t First, std::int32_t Last) const {
        return std::string_view(text).substr(First - 1, Last >= First ? Last - First + 1 : 0);
    }

    std::string_view ReadWord(std::int32_t& P) const {
        static constexpr std::string_view kWordEnd(" =/>\r\n\t");
        const std::int32_t end = FindAnyOf(kWordEnd, P);
        if (end == 0) {
            return {};
        }
        const std::string_view word = Slice(P, end - 1);
        P = end;
        return word;
    }

    std::string ReadTagName(std::int32_t& P) {
        static constexpr std::string_view kNameEnd(" />\r\n\t");
        const std::int32_t open = FindAnyOf("<", P);
        if (open == 0) {
            Fail(kSyntaxError, P);
        }
        std::int32_t start = open + 1;
        SkipBlanks(start);
        const std::int32_t end = FindAnyOf(kNameEnd, start);
        if (end == 0) {
            Fail(kSyntaxError, P);
        }
        P = end;
        return UpperAscii(Slice(start, end - 1));
    }

    bool ReadAttr(std::int32_t& P) {
        SkipBlanks(P);
        if (At(P) == '/' || At(P) == '>') {
            return false;
        }
        const std::int32_t start = P;
        std::string name = UpperAscii(ReadWord(P));
        SkipBlanks(P);
        std::string value;
        if (At(P) == '=') {
            ++P;
            SkipBlanks(P);
            value = ReadAttrValue(P);
        } else if (P == start) {
            // Nothing could be read: the text ends inside the start tag.
            Fail(kSyntaxError, length);
        }
        node.FAttrNames.push_back(std::move(name));
        node.FAttrValues.push_back(std::move(value));
        return true;
    }

    std::string ReadAttrValue(std::int32_t& P) {
        SkipBlanks(P);
        if (At(P) == '"') {
            const std::int32_t close = FindAnyOf("\"", P + 1);
            if (close == 0) {
                Fail(kSyntaxError, P);
            }
            const std::string_view raw = Slice(P + 1, close - 1);
            P = close + 1;
            return TVelPigger::DecodeText(raw);
        }
        const std::int32_t end = FindAnyOf(" >/\n\r\t", P);
        if (end == 0) {
            Fail(kSyntaxError, P);
        }
        const std::string_view raw = Slice(P, end - 1);
        P = end;
        return TVelPigger::DecodeText(raw);
    }

    bool ReadContent(std::int32_t& P) {
        SkipBlanks(P);
        const std::int32_t open = FindAnyOf("<", P);
        if (open == 0) {
            Fail(kSyntaxError, P);
        }
        if (open > P) {
            AddText(Slice(P, open - 1));
            P = open;
        }
        if (At(P + 1) == '/') {
            return false;
        }
        std::int32_t nameEnd = P;
        const std::string tagName = ReadTagName(nameEnd);
        if (tReadDepth >= kMaxDepth) {
            Fail(kSyntaxError, P);
        }
        ++tReadDepth;
        struct DepthGuard {
            ~DepthGuard() { --tReadDepth; }
        } guard;
        if (TVelPigger* child = node.CreateChild(tagName)) {
            child->ReadElement(text, P);
            node.ChildLoaded(child);
        } else {
            TVelPigger skipped;
            skipped.ReadElement(text, P);
        }
        return true;
    }

    void AddText(std::string_view Piece) {
        const std::string decoded = TVelPigger::DecodeText(TrimBlanks(Piece));
        if (!decoded.empty() && node.AcceptText(decoded)) {
            node.FText += decoded;
        }
    }

    void ReadClosingTag(std::int32_t& P) {
        const std::int32_t tagStart = P;
        P += 2;
        const std::string_view name = ReadWord(P);
        if (!EqualsIgnoringAsciiCase(name, node.FName)) {
            Fail(kUnclosedTag + node.FName, tagStart);
        }
        SkipBlanks(P);
        if (At(P) != '>') {
            Fail(kUnclosedTag + node.FName, tagStart);
        }
        ++P;
    }

    TVelPigger& node;
    const std::string& text;
    const std::int32_t length;
};

void TVelPigger::ReadElement(const std::string& Source, std::int32_t& Pos) {
    TVelPiggerReader(*this, Source).ReadElement(Pos);
}

void TVelPigger::LoadFromText(const std::string& Source) {
    Clear();
    if (Source.empty()) {
        return;
    }
    if (Source.size() >= static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        // Positions are 32-bit; a text beyond them cannot be a settings document.
        Error(kSyntaxError, 1);
        throw EVelPiggerError(kSyntaxError, 1);
    }
    std::int32_t position = 1;
    while (position < static_cast<std::int32_t>(Source.size()) &&
           IsBlank(Source[static_cast<std::size_t>(position - 1)])) {
        ++position;
    }
    ReadElement(Source, position);
}

void TVelPigger::LoadFromStream(std::istream& Stream) {
    std::ostringstream raw;
    if (Stream.peek() != std::char_traits<char>::eof()) {
        raw << Stream.rdbuf();
    }
    if (Stream.bad()) {
        throw EFileStreamError("Stream read error");
    }
    LoadFromText(NormaliseLineBreaks(raw.str()));
}

void TVelPigger::LoadFromFile(const std::string& FileName) {
    std::error_code ignored;
    std::ifstream file;
    if (!std::filesystem::is_directory(FileName, ignored)) {
        file.open(FileName, std::ios::binary);
    }
    if (!file.is_open()) {
        throw EFileStreamError("Cannot open file " + FileName);
    }
    LoadFromStream(file);
}

} // namespace parvex
