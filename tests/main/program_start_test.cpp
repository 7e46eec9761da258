// The window program's command line carried out on the window: a FOLDER (searched at once with
// --start), a RESULT, the desktop actions, and bad command lines, on real trees whose names
// need not be UTF-8.
#include "_compearer/panel/ocompearer.h"
#include "main/program_start.h"
#include "main/result_model.h"
#include "main_test_support.h"
#include "support/qt/modal_driver.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <cstdio>

namespace parvex::test {
namespace {

class ProgramStartTest : public TMainWindowTest {
protected:
    ProgramStartTest() {
        window.Ocompearer1->Core().SetKeys({false, true, false, true});
        window.ChooseResultFile = [this](bool save) {
            asked.push_back(save);
            return QString();
        };
    }
    void CarryOut(const std::vector<QByteArray>& arguments) {
        start.CarryOut(ParseProgramArguments(arguments));
    }
    // The exact paths of the files of every group shown.
    std::vector<std::string> FoundPaths() const {
        std::vector<std::string> paths;
        for (int g = 0; g < GroupCount(); ++g)
            for (int f = 0; f < FileCount(g); ++f)
                paths.push_back(
                    Node(g, f).data(TResultModel::PathRole).toByteArray().toStdString());
        return paths;
    }

    TTempTree tree;
    std::vector<bool> asked;
    // Lives as long as the window, as in the program: links it made stay until the end.
    TProgramStart start{window};
};

TEST_F(ProgramStartTest, AFolderBecomesTheStartFolderAndStartSearchesItAtOnce) {
    for (const std::string name : {"plain", "caf\xe9"}) {
        tree.File(name + "/a.txt", "same");
        tree.File(name + "/b.txt", "same");
    }
    const struct {
        std::vector<QByteArray> arguments;
        std::string startFolder; // relative to the tree
        bool searched;
    } cases[] = {
        {{QByteArray::fromStdString(tree.Path("plain"))}, "plain/", false},
        {{"--start", QByteArray::fromStdString(tree.Path("plain/../plain"))}, "plain/", true},
        {{"--start", QByteArray::fromStdString(tree.Path("caf\xe9/"))}, "caf\xe9/", true},
    };
    for (const auto& c : cases) {
        ReportResult({});
        CarryOut(c.arguments);
        const std::string folder = tree.Path(c.startFolder);
        EXPECT_EQ(window.Edit_root->text(), QFile::decodeName(QByteArray::fromStdString(folder)));
        const std::vector<std::string> expected =
            c.searched ? std::vector<std::string>{folder + "a.txt", folder + "b.txt"}
                       : std::vector<std::string>{};
        EXPECT_EQ(FoundPaths(), expected) << "started at " << c.startFolder;
    }
    EXPECT_TRUE(modals.Shown.empty()) << modals.Shown.front().toStdString();
}

TEST_F(ProgramStartTest, AResultOpensAsWithOpenResultAlsoUnderANameThatIsNotUtf8) {
    tree.File("a.txt", "same");
    tree.File("b.txt", "same");
    window.Edit_root->setText(QString::fromStdString(tree.Root()));
    window.Ocompearer1btn_startClick();
    ASSERT_TRUE(window.SaveResult(QString::fromStdString(tree.Path("r.parvex.json"))));
    ASSERT_TRUE(window.SaveResult(QString::fromStdString(tree.Path("plain.json"))));
    ASSERT_EQ(::rename(tree.Path("plain.json").c_str(), tree.Path("r\xff.json").c_str()), 0);
    for (const std::string name : {"r.parvex.json", "r\xff.json"}) {
        ReportResult({});
        CarryOut({QByteArray::fromStdString(tree.Path(name))});
        // The window may read a result in the background; the wait's limit guards a hang.
        EXPECT_TRUE(QTest::qWaitFor([this] { return GroupCount() == 1; }, 30000))
            << name << " shows " << GroupCount() << " groups";
        EXPECT_EQ(FoundPaths(), (std::vector<std::string>{tree.Path("a.txt"), tree.Path("b.txt")}));
    }
    EXPECT_TRUE(modals.Shown.empty()) << modals.Shown.front().toStdString();
}

TEST_F(ProgramStartTest, TheDesktopActionsFocusTheStartFolderOrAskForAResult) {
    ASSERT_TRUE(testing::ActivateAgain(window));
    CarryOut({"--new-search"});
    EXPECT_EQ(QApplication::focusWidget(), window.Edit_root);
    EXPECT_EQ(window.Edit_root->selectedText(), window.Edit_root->text());
    EXPECT_TRUE(asked.empty());
    CarryOut({"--open-result"});
    EXPECT_EQ(asked, std::vector<bool>{false}) << "Open result asks for a file to open";
}

TEST_F(ProgramStartTest, ABadCommandLineIsSaidAndTheWindowStaysAsItOpened) {
    tree.File("r.parvex.json", "{}");
    const QString startFolder = window.Edit_root->text();
    const struct {
        std::vector<QByteArray> arguments;
        QString message;
    } cases[] = {
        {{"--bad"}, QStringLiteral("unknown option \"--bad\" (see --help)")},
        {{"a", "b"}, QStringLiteral("too many arguments: \"b\" (one FOLDER or RESULT at most)")},
        {{QByteArray::fromStdString(tree.Path("none"))},
         QStringLiteral("\"%1\" cannot be opened: No such file or directory")
             .arg(QString::fromStdString(tree.Path("none")))},
        {{"--start", QByteArray::fromStdString(tree.Path("r.parvex.json"))},
         QStringLiteral("--start searches a FOLDER; \"%1\" is not one")
             .arg(QString::fromStdString(tree.Path("r.parvex.json")))},
    };
    for (const auto& c : cases) {
        modals.Shown.clear();
        CarryOut(c.arguments);
        EXPECT_EQ(modals.Shown, std::vector<QString>{QStringLiteral("msg: ") + c.message});
        EXPECT_EQ(window.Edit_root->text(), startFolder);
        EXPECT_EQ(GroupCount(), 0);
    }
}

} // namespace
} // namespace parvex::test
