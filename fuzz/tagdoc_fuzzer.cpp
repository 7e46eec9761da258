// Reader fuzz target: any input must load or fail with EVelPiggerError, never crash, hang or
// leak; whatever loads saves to a text that reads back to the same tree (up to what the format
// is known to drop), and saving that tree again is stable.
#include "VelPigger/velpigger.h"
#include "tagdoc/tree_dump.h"

#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

namespace {

using parvex::TVelPigger;

// What a write and a read keep of a tree: unnamed elements and their subtrees are not written,
// and spaces, TABs and line breaks at the ends of a text are trimmed when it is read.
void DropWhatAWriteLoses(TVelPigger& Node) {
    if (Node.Name().empty()) {
        Node.Clear();
        return;
    }
    const std::string& text = Node.Text();
    const auto first = text.find_first_not_of(" \t\r\n");
    Node.SetText(first == std::string::npos
                     ? std::string()
                     : text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
    for (int i = Node.ChildCount() - 1; i >= 0; --i) {
        TVelPigger* child = Node.GetChild(i);
        if (child->Name().empty()) {
            delete child;
        } else {
            DropWhatAWriteLoses(*child);
        }
    }
}

bool IndentsAreConsistent(const TVelPigger& Node) {
    for (int i = 0; i < Node.ChildCount(); ++i) {
        const TVelPigger* child = Node.GetChild(i);
        if (child->Parent() != &Node || child->Indent() != Node.Indent() + '\t' ||
            !IndentsAreConsistent(*child)) {
            return false;
        }
    }
    return true;
}

void Check(bool Condition) {
    if (!Condition) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    const std::string input(reinterpret_cast<const char*>(Data), Size);
    Check(TVelPigger::DecodeText(TVelPigger::EncodeText(input)) == input);

    std::istringstream stream(input);
    TVelPigger fromStream;
    try {
        fromStream.LoadFromStream(stream);
    } catch (const parvex::EVelPiggerError&) {
        // The partial tree must still be whole enough to write.
        (void)fromStream.SaveToText();
    }

    TVelPigger tree;
    try {
        tree.LoadFromText(input);
    } catch (const parvex::EVelPiggerError& error) {
        Check(error.Position >= 1 && static_cast<std::size_t>(error.Position) <= Size + 1);
        (void)tree.SaveToText();
        return 0;
    }
    Check(IndentsAreConsistent(tree));

    TVelPigger expected;
    expected.Assign(tree);
    DropWhatAWriteLoses(expected);

    const std::string written = tree.SaveToText();
    TVelPigger reread;
    reread.LoadFromText(written); // must not raise: the writer's output is always readable
    Check(IndentsAreConsistent(reread));
    Check(parvex::test::DumpTree(reread) == parvex::test::DumpTree(expected));

    const std::string rewritten = reread.SaveToText();
    Check(rewritten == expected.SaveToText());
    if (parvex::test::DumpTree(tree) == parvex::test::DumpTree(expected)) {
        Check(rewritten == written);
    }
    TVelPigger third;
    third.LoadFromText(rewritten);
    Check(third.SaveToText() == rewritten);
    return 0;
}
