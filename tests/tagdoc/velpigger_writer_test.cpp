#include "VelPigger/velpigger.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

namespace parvex {
namespace {

TVelPigger* AddChild(TVelPigger& Parent, std::string_view Name) {
    auto* child = new TVelPigger(&Parent);
    child->SetName(Name);
    return child;
}

TEST(VelPiggerWriterTest, SettingsExampleIsWrittenAsSevenLines) {
    TVelPigger root;
    root.SetName("SETTINGS");
    root.SetAttr("DEFAULT_PATH", "C:\\");
    TVelPigger* keys = AddChild(root, "COMPARE_COND");
    keys->SetAttr("NAME", "Y");
    keys->SetAttr("SIZE", "Y");
    AddChild(*AddChild(root, "LAST_USED_EXTS"), "LIST_ITEM")->SetAttr("VAL", "*.*");
    EXPECT_EQ(root.SaveToText(), "\r\n"
                                 "<SETTINGS DEFAULT_PATH=\"C:\\\">\r\n"
                                 "\t<COMPARE_COND NAME=\"Y\" SIZE=\"Y\"/>\r\n"
                                 "\t<LAST_USED_EXTS>\r\n"
                                 "\t\t<LIST_ITEM VAL=\"*.*\"/>\r\n"
                                 "\t</LAST_USED_EXTS>\r\n"
                                 "</SETTINGS>");
}

// Each line's indent comes from the element's place when it is written, also for a subtree
// written on its own and after moving a subtree to another depth.
TEST(VelPiggerWriterTest, IndentsFollowTheDepthAtWritingTime) {
    constexpr int kLevels = 1000;
    TVelPigger root;
    root.SetName("A");
    TVelPigger* node = &root;
    for (int i = 1; i < kLevels; ++i) {
        node = AddChild(*node, "A");
    }
    std::string expected;
    for (int level = 0; level < kLevels; ++level) {
        expected += "\r\n" + std::string(level, '\t') + (level + 1 < kLevels ? "<A>" : "<A/>");
    }
    for (int level = kLevels - 2; level >= 0; --level) {
        expected += "\r\n" + std::string(level, '\t') + "</A>";
    }
    EXPECT_EQ(root.SaveToText(), expected);
    EXPECT_EQ(node->SaveToText(), "\r\n" + std::string(kLevels - 1, '\t') + "<A/>");

    TVelPigger other;
    other.SetName("B");
    node->SetParent(&other);
    EXPECT_EQ(other.SaveToText(), "\r\n<B>\r\n\t<A/>\r\n</B>");
    EXPECT_EQ(node->Indent(), "\r\n\t");
}

TEST(VelPiggerWriterTest, LayoutOfSingleElements) {
    const struct {
        const char* what;
        std::string text;
        std::string written;
    } cases[] = {
        {"empty root", "", "\r\n<SETTINGS/>"},
        {"text alone", "some text", "\r\n<SETTINGS>some text\r\n</SETTINGS>"},
        {"escaped text", "<%\">", "\r\n<SETTINGS>%3C%25%22%3E\r\n</SETTINGS>"},
    };
    for (const auto& c : cases) {
        TVelPigger root;
        root.SetName("SETTINGS");
        root.SetText(c.text);
        EXPECT_EQ(root.SaveToText(), c.written) << c.what;
    }
    TVelPigger root;
    root.SetName("SETTINGS");
    EXPECT_EQ(root.SaveToText().size(), 13u);
}

TEST(VelPiggerWriterTest, AnUnnamedElementIsNotWrittenNorAnythingBelowIt) {
    TVelPigger root;
    root.SetName("R");
    AddChild(*AddChild(root, ""), "LOST")->SetAttr("V", "1");
    AddChild(root, "KEPT");
    EXPECT_EQ(root.SaveToText(), "\r\n<R>\r\n\t<KEPT/>\r\n</R>");
    TVelPigger unnamed;
    AddChild(unnamed, "CHILD");
    EXPECT_EQ(unnamed.SaveToText(), "");
}

TEST(VelPiggerCodecTest, EncodeEscapesControlsQuotePercentAndAngleBrackets) {
    const struct {
        std::string plain, encoded;
    } cases[] = {
        {std::string("\x00\x01\x08", 3), "%00%01%08"},
        {"\x0B\x0C\x0E\x1F", "%0B%0C%0E%1F"},
        {"\t\n\r ", "\t\n\r "},
        {"\"%<>", "%22%25%3C%3E"},
        {"&'/=\\", "&'/=\\"},
        {"\x7F\x80\xFF", "\x7F\x80\xFF"},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TVelPigger::EncodeText(c.plain), c.encoded);
        EXPECT_EQ(TVelPigger::DecodeText(c.encoded), c.plain);
    }
}

TEST(VelPiggerCodecTest, DecodeTakesAnyTwoCharactersAfterPercent) {
    const struct {
        std::string encoded, decoded;
    } cases[] = {
        {"%3C", "<"},     {"%3c", "\\"}, // lower-case hex is not hex: 3*16 + ('c' - 48 - 7)
        {"%41%4a", "Aj"},                // 4*16 + (97 - 55)
        {"%%41", "T1"},                  // "%%4" is (37-48)*16 + 4 modulo 256
        {"x%4", "x%4"},                  // too short: kept as it is
        {"%", "%"},       {"50%", "50%"}, {"%FF", "\xFF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TVelPigger::DecodeText(c.encoded), c.decoded)
            << "DecodeText(" << c.encoded << ")";
    }
}

class VelPiggerFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder =
            std::filesystem::temp_directory_path() / ("parvex-writer-" + std::to_string(getpid()));
        std::filesystem::create_directories(folder);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    std::string ReadFile(const std::filesystem::path& Path) {
        std::ifstream in(Path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::filesystem::path folder;
};

TEST_F(VelPiggerFileTest, SaveToFileWritesTheTextAndTruncates) {
    const auto file = folder / "doc.set";
    std::ofstream(file) << "an older and much longer content than the new one";
    TVelPigger root;
    root.SetName("SETTINGS");
    root.SaveToFile(file);
    EXPECT_EQ(ReadFile(file), "\r\n<SETTINGS/>");
    root.Clear();
    root.SaveToFile(file);
    EXPECT_EQ(std::filesystem::file_size(file), 0u);
}

TEST_F(VelPiggerFileTest, SaveToFileInAMissingFolderCannotCreate) {
    const std::string file = (folder / "missing" / "doc.set").string();
    TVelPigger root;
    root.SetName("SETTINGS");
    try {
        root.SaveToFile(file);
        FAIL() << "saved into a missing folder";
    } catch (const EFileStreamError& error) {
        EXPECT_EQ(error.what(), "Cannot create file " + file);
    }
}

TEST(VelPiggerStreamTest, SaveToStreamWritesNothingForAnUnnamedRoot) {
    std::ostringstream out;
    TVelPigger root;
    root.SaveToStream(out);
    EXPECT_EQ(out.str(), "");
    root.SetName("A");
    root.SaveToStream(out);
    EXPECT_EQ(out.str(), "\r\n<A/>");
}

} // namespace
} // namespace parvex
