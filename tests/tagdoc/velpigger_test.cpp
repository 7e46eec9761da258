#include "VelPigger/velpigger.h"
#include "tree_dump.h"

#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace parvex {
namespace {

using test::DumpTree;

// A node class of its own, to see that copies keep the dynamic class of their source.
class TMarkedNode : public TVelPigger {
public:
    using TVelPigger::TVelPigger;
    TVelPigger* Create(TVelPigger* Parent) const override { return new TMarkedNode(Parent); }
    std::string ClassName() const override { return "TMarkedNode"; }
};

class TForeign : public TPersistent {
public:
    std::string ClassName() const override { return "TForeign"; }
};

TVelPigger* AddChild(TVelPigger& Parent, std::string_view Name) {
    auto* child = new TVelPigger(&Parent);
    child->SetName(Name);
    return child;
}

TEST(VelPiggerNameTest, SetNameTrimsBlanksAndUpperCasesAsciiOnly) {
    const struct {
        std::string given, stored;
    } cases[] = {
        {" compare_cond\t", "COMPARE_COND"},
        {"\x01\x1F last_used_exts \r\n", "LAST_USED_EXTS"},
        {"a b", "A B"},
        {"\xC3\xA4rger", "\xC3\xA4RGER"}, // bytes outside a to z never change
        {"   ", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        TVelPigger node;
        node.SetName(c.given);
        EXPECT_EQ(node.Name(), c.stored) << "SetName(\"" << test::Escaped(c.given) << "\")";
    }
}

TEST(VelPiggerNameTest, FindChildUpperCasesButDoesNotTrim) {
    TVelPigger root;
    TVelPigger* section = AddChild(root, "  compare_cond ");
    AddChild(root, "\xC3\xA4"); // a-umlaut, small
    const struct {
        std::string lookup;
        const TVelPigger* expected;
    } cases[] = {
        {"compare_cond", section},  {"COMPARE_COND", section},
        {"Compare_Cond", section},  {" compare_cond", nullptr},
        {"compare_cond ", nullptr}, {"\xC3\x84", nullptr}, // A-umlaut, capital: a different name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(root.FindChild(c.lookup), c.expected) << "FindChild(\"" << c.lookup << "\")";
    }
}

TEST(VelPiggerAttrTest, LookupsUpperCaseTheNameAndTakeTheFirstMatch) {
    TVelPigger node;
    node.SetName("SETTINGS");
    node.SetAttr("default_path", "C:\\");
    node.SetAttr("SIZE", "Y");
    node.SetAttr("\xC3\xA4", "small");
    EXPECT_EQ(node.GetAttr("DEFAULT_PATH"), "C:\\");
    EXPECT_EQ(node.AttrNames(), (std::vector<std::string>{"DEFAULT_PATH", "SIZE", "\xC3\xA4"}));
    EXPECT_EQ(node.GetAttr(" DEFAULT_PATH"), "");
    EXPECT_EQ(node.GetAttr("\xC3\x84"), "");
    EXPECT_EQ(node.GetAttr("missing"), "");

    node.SetAttr("Default_Path", "D:\\WORK\\"); // replaced in place
    EXPECT_EQ(node.AttrNames(), (std::vector<std::string>{"DEFAULT_PATH", "SIZE", "\xC3\xA4"}));
    EXPECT_EQ(node.AttrValues(), (std::vector<std::string>{"D:\\WORK\\", "Y", "small"}));
    EXPECT_EQ(node.SaveToText(),
              "\r\n<SETTINGS DEFAULT_PATH=\"D:\\WORK\\\" SIZE=\"Y\" \xC3\xA4=\"small\"/>");

    node.SetAttr("size", ""); // empty value removes
    node.DeleteAttr("not_there");
    EXPECT_EQ(node.AttrNames(), (std::vector<std::string>{"DEFAULT_PATH", "\xC3\xA4"}));
    EXPECT_EQ(node.GetAttr("SIZE"), "");
    EXPECT_EQ(node.SaveToText(), "\r\n<SETTINGS DEFAULT_PATH=\"D:\\WORK\\\" \xC3\xA4=\"small\"/>");
}

TEST(VelPiggerAttrTest, RepeatedNamesFromTextAreKeptAndTheFirstWins) {
    TVelPigger node;
    node.LoadFromText("<A B=\"1\" B=\"2\"/>");
    EXPECT_EQ(node.GetAttr("b"), "1");
    node.SetAttr("B", "3");
    node.DeleteAttr("B");
    EXPECT_EQ(node.AttrValues(), (std::vector<std::string>{"2"}));
}

TEST(VelPiggerChildrenTest, GetChildOutOfRangeYieldsNone) {
    TVelPigger root;
    AddChild(root, "A");
    const struct {
        int index;
        bool found;
    } cases[] = {{-1, false}, {0, true}, {1, false}, {1000, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(root.GetChild(c.index) != nullptr, c.found) << "GetChild(" << c.index << ")";
    }
}

TEST(VelPiggerChildrenTest, FindNextWalksChildrenOfOneName) {
    TVelPigger root;
    TVelPigger* a0 = AddChild(root, "A");
    TVelPigger* b1 = AddChild(root, "B");
    TVelPigger* a2 = AddChild(root, "A");
    AddChild(root, "C");
    TVelPigger* a4 = AddChild(root, "A");
    TVelPigger strangerA;
    strangerA.SetName("A");
    TVelPigger strangerZ;
    strangerZ.SetName("Z");
    const struct {
        const char* what;
        const TVelPigger* from;
        const TVelPigger* expected;
    } cases[] = {
        {"first A", a0, a2},
        {"second A", a2, a4},
        {"last A", a4, nullptr},
        {"only B", b1, nullptr},
        {"none", nullptr, nullptr},
        {"stranger A", &strangerA, a0},
        {"stranger Z", &strangerZ, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(root.FindNext(c.from), c.expected) << c.what;
    }
}

TEST(VelPiggerChildrenTest, DestroyingChildrenDetachesThemAndKeepsAttributes) {
    TVelPigger root;
    root.SetName("LIST");
    root.SetAttr("KEEP", "Y");
    for (int i = 0; i < 3; ++i) {
        AddChild(root, "LIST_ITEM");
    }
    while (root.ChildCount() > 0) {
        delete root.GetChild(0);
    }
    EXPECT_EQ(DumpTree(root), "LIST[KEEP=\"Y\"]");
}

TEST(VelPiggerChildrenTest, ClearEmptiesNameSoNothingIsWritten) {
    TVelPigger root;
    root.LoadFromText("<A X=\"1\">text<B/></A>");
    TVelPigger* parent = AddChild(root, "P");
    TVelPigger* node = AddChild(*parent, "N");
    node->SetAttr("V", "1");
    node->Clear();
    EXPECT_EQ(DumpTree(*node), "[]");
    EXPECT_EQ(node->SaveToText(), "");
    EXPECT_EQ(node->Parent(), parent);
    EXPECT_EQ(node->Indent(), "\r\n\t\t");
    root.Clear();
    EXPECT_EQ(root.SaveToText(), "");
    root.SetName("A");
    EXPECT_EQ(root.SaveToText(), "\r\n<A/>");
}

TEST(VelPiggerMoveTest, SetParentReindentsTheWholeSubtree) {
    TVelPigger root;
    root.SetName("R");
    TVelPigger* moved = AddChild(root, "M");
    AddChild(*AddChild(*moved, "C"), "G");
    TVelPigger* deep = AddChild(*AddChild(root, "D1"), "D2");

    moved->SetParent(deep);
    EXPECT_EQ(moved->Indent(), "\r\n\t\t\t");
    EXPECT_EQ(moved->GetChild(0)->GetChild(0)->Indent(), "\r\n\t\t\t\t\t");
    EXPECT_EQ(root.SaveToText(), "\r\n<R>"
                                 "\r\n\t<D1>"
                                 "\r\n\t\t<D2>"
                                 "\r\n\t\t\t<M>"
                                 "\r\n\t\t\t\t<C>"
                                 "\r\n\t\t\t\t\t<G/>"
                                 "\r\n\t\t\t\t</C>"
                                 "\r\n\t\t\t</M>"
                                 "\r\n\t\t</D2>"
                                 "\r\n\t</D1>"
                                 "\r\n</R>");

    moved->SetParent(deep); // the same parent: nothing changes
    EXPECT_EQ(deep->ChildCount(), 1);
    moved->SetParent(nullptr);
    std::unique_ptr<TVelPigger> owner(moved);
    EXPECT_EQ(deep->ChildCount(), 0);
    EXPECT_EQ(moved->Indent(), "\r\n");
    EXPECT_EQ(moved->GetChild(0)->Indent(), "\r\n\t");
}

TEST(VelPiggerAssignTest, AssignMakesAnIndependentDeepCopyInOrder) {
    TVelPigger source;
    source.LoadFromText("<S A=\"1\" B=\"2\">top<X V=\"x\"><Y/></X><Z>z</Z></S>");
    TVelPigger holder;
    holder.SetName("H");
    TVelPigger* copy = AddChild(*AddChild(holder, "MID"), "OLD");
    copy->SetAttr("GONE", "Y");
    AddChild(*copy, "GONE_TOO");

    copy->Assign(source);
    EXPECT_EQ(DumpTree(*copy), DumpTree(source));
    EXPECT_EQ(copy->Parent(), holder.GetChild(0));
    EXPECT_EQ(copy->Indent(), "\r\n\t\t");
    EXPECT_EQ(copy->GetChild(0)->GetChild(0)->Indent(), "\r\n\t\t\t\t");

    source.SetAttr("A", "changed");
    source.GetChild(0)->SetName("RENAMED");
    delete source.GetChild(1);
    EXPECT_EQ(DumpTree(*copy), "S[A=\"1\" B=\"2\"]\"top\"{X[V=\"x\"]{Y[]},Z[]\"z\"}");
}

TEST(VelPiggerAssignTest, CopiesTakeTheClassOfTheirSource) {
    TVelPigger source;
    source.SetName("S");
    auto* marked = new TMarkedNode(&source);
    marked->SetName("M");
    AddChild(*marked, "PLAIN");
    TMarkedNode target;
    target.Assign(source);
    ASSERT_EQ(target.ChildCount(), 1);
    EXPECT_EQ(target.GetChild(0)->ClassName(), "TMarkedNode");
    EXPECT_EQ(target.GetChild(0)->GetChild(0)->ClassName(), "TVelPigger");
    EXPECT_EQ(DumpTree(target), "S[]{M[]{PLAIN[]}}");
}

TEST(VelPiggerAssignTest, AssignFromAnotherClassIsAConversionError) {
    TVelPigger node;
    node.SetName("KEEP");
    TForeign foreign;
    try {
        node.Assign(foreign);
        FAIL() << "Assign from TForeign did not raise";
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a TForeign to a TVelPigger");
    }
    EXPECT_EQ(node.Name(), "KEEP");
    TMarkedNode marked;
    EXPECT_THROW(foreign.Assign(marked), EConvertError);
}

// Regression: assigning a node from itself or from its own descendant destroyed the source
// before it was copied.
TEST(VelPiggerAssignTest, AssignFromItselfOrADescendantCopiesSafely) {
    TVelPigger root;
    root.LoadFromText("<R A=\"1\"><C B=\"2\"><G/></C></R>");
    root.Assign(root);
    EXPECT_EQ(DumpTree(root), "R[A=\"1\"]{C[B=\"2\"]{G[]}}");
    root.Assign(*root.GetChild(0));
    EXPECT_EQ(DumpTree(root), "C[B=\"2\"]{G[]}");
}

// Regression: destroying, writing and reading a wide tree must stay linear; a quadratic list
// erase or buffer growth makes this test take minutes instead of a fraction of a second.
TEST(VelPiggerScaleTest, HundredThousandChildrenRoundTrip) {
    constexpr int kChildren = 100000;
    TVelPigger root;
    root.SetName("LIST");
    for (int i = 0; i < kChildren; ++i) {
        AddChild(root, "LIST_ITEM")->SetAttr("VAL", std::to_string(i));
    }
    const std::string text = root.SaveToText();
    TVelPigger copy;
    copy.LoadFromText(text);
    ASSERT_EQ(copy.ChildCount(), kChildren);
    EXPECT_EQ(copy.GetChild(kChildren - 1)->GetAttr("VAL"), std::to_string(kChildren - 1));
    copy.Clear();
    EXPECT_EQ(copy.ChildCount(), 0);
}

} // namespace
} // namespace parvex
