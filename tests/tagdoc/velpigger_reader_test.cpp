#include "VelPigger/velpigger.h"
#include "tree_dump.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>
#include <vector>

namespace parvex {
namespace {

using test::DumpText;
using test::DumpTree;
using test::Escaped;

std::string Resaved(const std::string& Text) {
    TVelPigger root;
    root.LoadFromText(Text);
    return root.SaveToText();
}

std::string NestedText(int Depth) {
    std::string text;
    for (int i = 0; i < Depth; ++i) {
        text += "<A>";
    }
    for (int i = 0; i < Depth; ++i) {
        text += "</A>";
    }
    return text;
}

TEST(VelPiggerReaderTest, EveryErrorWithItsMessageAndPosition) {
    const struct {
        const char* what;
        std::string text;
        std::string message;
        std::int32_t position;
    } cases[] = {
        {"no start tag", "abc", "Syntax error", 1},
        {"only blanks", "  \r\n", "Syntax error", 4},
        {"name runs to the end", "xx<ABC", "Syntax error", 1},
        {"lone <", "<", "Syntax error", 1},
        {"neither /> nor >", "<A/x>", "Syntax error", 4},
        {"stray character after attributes", "<A B=\"1\"/ >", "Syntax error", 10},
        {"quoted value not closed", "<A B=\"xyz", "Syntax error", 6},
        {"unquoted value to the end", "<A B=xyz", "Syntax error", 6},
        {"= at the end", "<A B=", "Syntax error", 6},
        {"content without <", "<A>text", "Syntax error", 4},
        {"content of blanks", "<A>  ", "Syntax error", 5},
        {"ends after a child", "<A><B/>", "Syntax error", 8},
        {"ends after a child and a line break", "<A><B/>\r\n", "Syntax error", 9},
        {"ends inside a start tag", "<A B", "Syntax error", 4},
        {"ends inside a start tag after a blank", "<A ", "Syntax error", 3},
        {"ends after a value", "<A B=\"1\"", "Syntax error", 8},
        {"ends inside a start tag, with line break", "<R>\r\n\t<A B\r\n", "Syntax error", 12},
        {"end tag of another element", "<A><B></A></B>", "Unclosed tag: B", 7},
        {"end tag not closed by >", "<A></A x>", "Unclosed tag: A", 4},
        {"blank after </", "<A></ A>", "Unclosed tag: A", 4},
        {"end tag cut off", "<A></A", "Unclosed tag: A", 4},
        {"nested too deep", NestedText(1002), "Syntax error", 3004},
    };
    for (const auto& c : cases) {
        TVelPigger root;
        try {
            root.LoadFromText(c.text);
            ADD_FAILURE() << c.what << ": loaded without error as " << DumpTree(root);
        } catch (const EVelPiggerError& error) {
            EXPECT_EQ(error.what(), c.message) << c.what;
            EXPECT_EQ(error.Position, c.position) << c.what;
        }
    }
}

TEST(VelPiggerReaderTest, AFailedReadKeepsWhatWasReadSoFar) {
    TVelPigger root;
    EXPECT_THROW(root.LoadFromText("<R A=\"1\">text<C B=\"2\"><D/>"), EVelPiggerError);
    EXPECT_EQ(DumpTree(root), "R[A=\"1\"]\"text\"{C[B=\"2\"]{D[]}}");
}

TEST(VelPiggerReaderTest, LenientReadingAsWrittenBack) {
    const struct {
        const char* what;
        std::string text;
        std::string written;
    } cases[] = {
        {"text gets its own end-tag line", "<A>text</A>", "\r\n<A>text\r\n</A>"},
        {"text loses outer blanks", "<A>  x y \t\r\n</A>", "\r\n<A>x y\r\n</A>"},
        {"only blanks is no text", "<A> \r\n\t </A>", "\r\n<A/>"},
        {"values keep blanks", "<A V=\"  x  \"/>", "\r\n<A V=\"  x  \"/>"},
        {"lower-case names", "<a b=\"1\"><c/></a>", "\r\n<A B=\"1\">\r\n\t<C/>\r\n</A>"},
        {"end tag in other case", "<Ab></aB>", "\r\n<AB/>"},
        {"blanks after <", "<  A/>", "\r\n<A/>"},
        {"blanks before end tag's >", "<A></A \r\n >", "\r\n<A/>"},
        {"attribute without =", "<A B/>", "\r\n<A B=\"\"/>"},
        {"unquoted value", "<A B=x C = y/>", "\r\n<A B=\"x\" C=\"y\"/>"},
        {"= without a name", "<A =\"v\"/>", "\r\n<A =\"v\"/>"},
        {"repeated attribute", "<A B=\"1\" B=\"2\"/>", "\r\n<A B=\"1\" B=\"2\"/>"},
        {"apostrophe is no quote", "<A B='x y'/>", "\r\n<A B=\"'x\" Y'=\"\"/>"},
        {"quoted value holds < > /", "<A B=\"</>\"/>", "\r\n<A B=\"%3C/%3E\"/>"},
        {"lower-case hex", "<A B=\"%3c\"/>", "\r\n<A B=\"\\\"/>"},
        {"junk around the root", "junk<A/>more<B/>", "\r\n<A/>"},
        {"pieces are joined", "<A>x<B/> y </A>", "\r\n<A>xy\r\n\t<B/>\r\n</A>"},
        {"empty text", "", ""},
        {"empty root name", "</>", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Resaved(c.text), c.written) << c.what;
    }
}

TEST(VelPiggerReaderTest, EscapedCharactersSurviveAWriteAndRead) {
    TVelPigger root;
    root.SetName("R");
    const std::string special = std::string("\x00\x01\x1F\"%<>", 7) + "\xE9\xFF";
    root.SetText(special + " mid " + special);
    root.SetAttr("V", special + " \t\r\n" + special);
    TVelPigger copy;
    copy.LoadFromText(root.SaveToText());
    EXPECT_EQ(DumpTree(copy), DumpTree(root));
}

TEST(VelPiggerReaderTest, EmptyTextLeavesAnUnnamedNode) {
    TVelPigger root;
    root.LoadFromText("<OLD/>");
    EXPECT_NO_THROW(root.LoadFromText(""));
    EXPECT_EQ(DumpTree(root), "[]");
}

TEST(VelPiggerReaderTest, NestingUpToTheLimitLoads) {
    TVelPigger root;
    root.LoadFromText(NestedText(1001));
    int depth = 0;
    for (const TVelPigger* node = &root; node->ChildCount() > 0; node = node->GetChild(0)) {
        ++depth;
    }
    EXPECT_EQ(depth, 1000);
}

TEST(VelPiggerStreamTest, LineBreaksAreNormalisedAndNulEndsTheText) {
    const struct {
        const char* what;
        std::string bytes;
        std::string dump;
    } cases[] = {
        {"lone CR in a value", "<A V=\"a\rb\"/>", "A[V=\"a\\x0D\\x0Ab\"]"},
        {"lone LF in a value", "<A V=\"a\nb\"/>", "A[V=\"a\\x0D\\x0Ab\"]"},
        {"LF CR is two breaks", "<A V=\"a\n\rb\"/>", "A[V=\"a\\x0D\\x0A\\x0D\\x0Ab\"]"},
        {"CR LF stays", "<A V=\"a\r\nb\"/>", "A[V=\"a\\x0D\\x0Ab\"]"},
        {"NUL cuts", std::string("<A/>\0<B", 7), "A[]"},
        {"NUL first", std::string("\0<A/>", 5), "[]"},
    };
    for (const auto& c : cases) {
        std::istringstream in(c.bytes);
        TVelPigger root;
        root.LoadFromStream(in);
        EXPECT_EQ(DumpTree(root), c.dump) << c.what;
    }
}

TEST(VelPiggerStreamTest, ReadsFromTheCurrentPosition) {
    std::istringstream in("<SKIPPED/><A/>");
    in.seekg(10);
    TVelPigger root;
    root.LoadFromStream(in);
    EXPECT_EQ(root.Name(), "A");
}

// A truncated document must either load completely or fail with a reader error, at every length.
TEST(VelPiggerStreamTest, EveryPrefixOfADocumentLoadsOrFails) {
    TVelPigger full;
    full.LoadFromText("<SETTINGS DEFAULT_PATH=\"/home/u/\">\r\n\t<COMPARE_COND NAME=\"Y\"/>"
                      "\r\n\t<DONT_SEARCH_IN>\r\n\t\t<LIST_ITEM VAL=\"/tmp/\"/>\r\n\t\t<LIST_ITEM/>"
                      "\r\n\t</DONT_SEARCH_IN>\r\n</SETTINGS>");
    const std::string text = full.SaveToText();
    int loaded = 0;
    for (std::size_t length = 1; length <= text.size(); ++length) {
        std::istringstream in(text.substr(0, length));
        TVelPigger root;
        try {
            root.LoadFromStream(in);
            ++loaded;
            EXPECT_EQ(DumpTree(root), DumpTree(full)) << "prefix of " << length;
        } catch (const EVelPiggerError&) {
        }
    }
    EXPECT_EQ(loaded, 1);
}

TEST(VelPiggerFileLoadTest, MissingFileCannotBeOpened) {
    const std::string file = "/nonexistent-parvex-folder/doc.set";
    TVelPigger root;
    try {
        root.LoadFromFile(file);
        FAIL() << "loaded a missing file";
    } catch (const EFileStreamError& error) {
        EXPECT_EQ(error.what(), "Cannot open file " + file);
    }
    EXPECT_THROW(root.LoadFromFile(std::filesystem::temp_directory_path()), EFileStreamError);
}

// A reader that builds its own tree: skips "SKIP" elements, records loaded children and refuses
// text pieces containing "no", and turns errors into its own exception.
class TRecordingNode : public TVelPigger {
public:
    explicit TRecordingNode(std::vector<std::string>& Log, TVelPigger* Parent = nullptr)
        : TVelPigger(Parent), log(Log) {}
    TVelPigger* Create(TVelPigger* Parent) const override {
        return new TRecordingNode(log, Parent);
    }

protected:
    TVelPigger* CreateChild(const std::string& TagName) override {
        log.push_back("create " + TagName);
        return TagName == "SKIP" ? nullptr : new TRecordingNode(log, this);
    }
    void ChildLoaded(TVelPigger* Child) override { log.push_back("loaded " + Child->Name()); }
    bool AcceptText(const std::string& Piece) override {
        log.push_back("text " + Piece);
        return Piece.find("no") == std::string::npos;
    }
    void Error(const std::string& Message, std::int32_t Position) override {
        throw std::runtime_error(Message + " at " + std::to_string(Position));
    }

private:
    std::vector<std::string>& log;
};

TEST(VelPiggerHooksTest, ReaderCallsTheHooksOfADerivedClass) {
    std::vector<std::string> log;
    TRecordingNode root(log);
    root.LoadFromText("<R>yes<A>inner<SKIP><B/></SKIP></A>no<SKIP/>more</R>");
    EXPECT_EQ(log, (std::vector<std::string>{"text yes", "create A", "text inner", "create SKIP",
                                             "loaded A", "text no", "create SKIP", "text more"}));
    EXPECT_EQ(DumpTree(root), "R[]\"yesmore\"{A[]\"inner\"}");

    try {
        root.LoadFromText("<R><A></R>");
        FAIL() << "mismatched end tag loaded";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "Unclosed tag: A at 7");
    }
}

} // namespace
} // namespace parvex
