#include "file_actions/action_plan.h"
#include "main/result_document_text.h"
#include "main/result_facts.h"
#include "main/result_model.h"
#include "main/time_code_text.h"
#include "platform/file_times.h"
#include "result_file/json_result_reader.h"
#include "support/temp_tree.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <gtest/gtest.h>
#include <memory>
#include <random>

namespace parvex {
namespace {

constexpr std::time_t kNoon = 1'600'000'000;

// The facts of a file found with every name, at noon.
TResultFacts Facts(std::uint64_t inode, std::int64_t size, std::vector<std::string> others = {}) {
    return {TFoundFile{{1, inode}, size, FileTimeCode(kNoon)}, true, std::move(others)};
}

class TResultModelTest : public ::testing::Test {
protected:
    TResultModelTest() {
        QLocale::setDefault(QLocale::c());
        data.Restart(QCollator(QLocale::c()));
    }
    // Groups a.txt (2 files of 100 bytes), b.doc (3 of 2000), c.txt (2 of 5000), found in
    // another order than the default one.
    void ShowThree(bool wastedKnown = true) {
        data.AddGroup("c.txt");
        data.AddFile("/d4/c.txt", Facts(1, 5000));
        data.AddFile("/d5/c.txt", Facts(2, 5000));
        data.AddGroup("a.txt");
        data.AddFile("/d2/a.txt", Facts(3, 100, {"/elsewhere/a.txt"}));
        data.AddFile("/d1/a.txt", Facts(4, 100));
        data.AddGroup("b.doc");
        data.AddFile("/d1/b.doc", Facts(5, 2000));
        data.AddFile("/d2/b.doc", Facts(6, 2000));
        data.AddFile("/d3/B.DOC", Facts(7, 2000));
        data.Finish();
        model.SetResult(std::move(data), wastedKnown);
    }
    QString Text(int group, int file = -1, int column = 0, int role = Qt::DisplayRole) const {
        const QModelIndex g = model.index(group, 0);
        const QModelIndex node =
            file < 0 ? g.siblingAtColumn(column) : model.index(file, column, g);
        return node.data(role).toString();
    }
    QStringList Groups() const {
        QStringList names;
        for (int g = 0; g < model.rowCount(); ++g)
            names << Text(g);
        return names;
    }
    QString Path(const QModelIndex& node) const { return node.data().toString(); }

    TResultData data;
    TResultModel model;
    std::unique_ptr<QAbstractItemModelTester> tester = std::make_unique<QAbstractItemModelTester>(
        &model, QAbstractItemModelTester::FailureReportingMode::Fatal);
};

TEST_F(TResultModelTest, GroupAndFileRowsShowTheirColumns) {
    ShowThree();
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.doc"),
                                     QStringLiteral("c.txt")}));
    EXPECT_EQ(Text(1, -1, TResultModel::ColumnSize), QStringLiteral("2.000 Kb"));
    EXPECT_EQ(Text(1, -1, TResultModel::ColumnModified), QString());
    EXPECT_EQ(Text(1, -1, TResultModel::ColumnFiles), QStringLiteral("3"));
    EXPECT_EQ(Text(1, -1, TResultModel::ColumnWasted), QStringLiteral("4.000 Kb"));
    EXPECT_EQ(Text(1, 2), QStringLiteral("/d3/B.DOC"));
    EXPECT_EQ(Text(1, 2, TResultModel::ColumnSize), QStringLiteral("2.000 Kb"));
    EXPECT_EQ(Text(1, 2, TResultModel::ColumnModified),
              TimeCodeText(FileTimeCode(kNoon), QLocale()));
    EXPECT_EQ(Text(1, 2, TResultModel::ColumnFiles), QString());
    EXPECT_EQ(Text(1, 2, TResultModel::ColumnWasted), QString());
    EXPECT_EQ(model.index(0, 0).data(TResultModel::PathRole).toByteArray(), QByteArray("a.txt"));
    EXPECT_EQ(model.PathOf(model.index(0, 0, model.index(1, 0))), QByteArray("/d1/b.doc"));
}

TEST_F(TResultModelTest, OtherNamesShowInTheTooltipAndAsAMarkBesideTheSize) {
    ShowThree();
    EXPECT_EQ(Text(0, 1), QStringLiteral("/d2/a.txt"));
    EXPECT_EQ(Text(0, 1, 0, Qt::ToolTipRole),
              QStringLiteral("/d2/a.txt\nAlso linked as: /elsewhere/a.txt"));
    EXPECT_NE(Text(0, 1, TResultModel::ColumnSize), Text(0, 0, TResultModel::ColumnSize));
    EXPECT_EQ(Text(0, 0, 0, Qt::ToolTipRole), QStringLiteral("/d1/a.txt"));
}

TEST_F(TResultModelTest, WastedIsADashUnlessSizeAndContentWereCompared) {
    ShowThree(false);
    EXPECT_EQ(Text(2, -1, TResultModel::ColumnWasted), QStringLiteral("\u2014"));
}

TEST_F(TResultModelTest, SortsByAColumnAndBackToTheDefaultOrderWithRowsFollowing) {
    ShowThree();
    EXPECT_EQ(
        model.headerData(TResultModel::ColumnWasted, Qt::Horizontal, Qt::InitialSortOrderRole),
        QVariant(Qt::DescendingOrder));
    const QPersistentModelIndex file = model.index(1, 0, model.index(0, 0)); // /d2/a.txt
    model.sort(TResultModel::ColumnWasted, Qt::DescendingOrder);
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("c.txt"), QStringLiteral("b.doc"),
                                     QStringLiteral("a.txt")}));
    EXPECT_EQ(Path(file), QStringLiteral("/d2/a.txt"));
    EXPECT_EQ(file.parent().row(), 2);
    model.sort(TResultModel::ColumnFiles, Qt::AscendingOrder);
    EXPECT_EQ(Groups().last(), QStringLiteral("b.doc"));
    model.sort(-1);
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.doc"),
                                     QStringLiteral("c.txt")}));
}

TEST_F(TResultModelTest, FilterShowsWholeGroupsWithAPathHoldingTheTextInAnyCase) {
    ShowThree();
    const QPersistentModelIndex hidden = model.index(0, 0, model.index(2, 0)); // /d4/c.txt
    model.SetFilter(QStringLiteral("d3/b"));
    EXPECT_EQ(Groups(), QStringList{QStringLiteral("b.doc")});
    EXPECT_EQ(model.rowCount(model.index(0, 0)), 3) << "the group is shown whole";
    EXPECT_FALSE(hidden.isValid());
    model.SetFilter(QStringLiteral("/D1/"));
    EXPECT_EQ(Groups(), (QStringList{QStringLiteral("a.txt"), QStringLiteral("b.doc")}));
    model.SetFilter(QString());
    EXPECT_EQ(model.rowCount(), 3);
}

TEST_F(TResultModelTest, FindNextWalksTheShownRowsInDisplayOrderWithoutWrapping) {
    ShowThree();
    QStringList seen;
    for (QModelIndex at = model.FindNext({}, QStringLiteral("D1"), true); at.isValid();
         at = model.FindNext(at, QStringLiteral("D1"), true))
        seen << Path(at);
    EXPECT_EQ(seen, (QStringList{QStringLiteral("/d1/a.txt"), QStringLiteral("/d1/b.doc")}));
    const QModelIndex last = model.index(1, 0, model.index(2, 0));
    EXPECT_EQ(Path(model.FindNext(last, QStringLiteral(".txt"), false)),
              QStringLiteral("/d4/c.txt"));
    EXPECT_FALSE(model.FindNext({}, QStringLiteral("b.doc"), false).isValid())
        << "up from nowhere examines the first row only";
    EXPECT_FALSE(model.FindNext({}, QStringLiteral("txt/d"), true).isValid())
        << "a text never runs on into the next row";
    model.sort(TResultModel::ColumnWasted, Qt::DescendingOrder);
    model.SetFilter(QStringLiteral("txt"));
    EXPECT_EQ(Path(model.FindNext({}, QStringLiteral("/d"), true)), QStringLiteral("/d4/c.txt"));
}

TEST_F(TResultModelTest, ARemovedFileLeavesItsGroupAndIsNeverFound) {
    ShowThree();
    const QPersistentModelIndex removed = model.index(0, 0, model.index(1, 0)); // /d1/b.doc
    model.RemoveFile(removed);
    EXPECT_FALSE(removed.isValid());
    EXPECT_EQ(model.rowCount(model.index(1, 0)), 2);
    EXPECT_EQ(Text(1, -1, TResultModel::ColumnFiles), QStringLiteral("2"));
    EXPECT_EQ(Text(1, -1, TResultModel::ColumnWasted), QStringLiteral("2.000 Kb"));
    EXPECT_EQ(Path(model.FindNext({}, QStringLiteral("/d1/b"), true)), QString());
    EXPECT_EQ(model.Result().FileCount(), 6u);
}

TEST_F(TResultModelTest, TheViewGetsTheGroupsInSlicesAndAFoundRowIsHandedToItFirst) {
    // The tester fetches more inside its handler of the reset, and then takes the rows the
    // fetch inserts for a change made during the reset.
    tester.reset();
    const std::size_t groups = TResultModel::kSlice + 5;
    for (std::size_t g = 0; g < groups; ++g) {
        const QByteArray name = QByteArray::number(static_cast<qulonglong>(g + 100000));
        data.AddGroup(name);
        data.AddFile("/x/" + name, Facts(g, 1));
    }
    data.Finish();
    model.SetResult(std::move(data), true);
    EXPECT_EQ(model.rowCount(), static_cast<int>(TResultModel::kSlice));
    ASSERT_TRUE(model.canFetchMore({}));
    const QModelIndex last =
        model.FindNext({}, QStringLiteral("/x/%1").arg(groups - 1 + 100000), true);
    EXPECT_EQ(Path(last), QStringLiteral("/x/%1").arg(groups - 1 + 100000));
    EXPECT_EQ(model.rowCount(), static_cast<int>(groups));
    EXPECT_FALSE(model.canFetchMore({}));
}

// The copy a plan keeps in each group, and what it does with each file ("S" stays, "A" act,
// "K" skip), group by group.
std::vector<std::string> KeptAndDecisions(const std::vector<TResultGroupFacts>& groups,
                                          const TActionPlan& plan) {
    std::vector<std::string> texts;
    for (const TPlanGroup& group : plan.Groups) {
        std::string text = group.Kept ? groups[group.Group].Files[*group.Kept].Path : "none";
        text += " ";
        for (const TPlanFile& file : group.Files)
            text += file.Decision == TPlanDecision::Stays ? 'S'
                    : file.Decision == TPlanDecision::Act ? 'A'
                                                          : 'K';
        texts.push_back(text);
    }
    return texts;
}

// Random results (files in an order other than their paths', times apart by nanoseconds within
// one second) and random lists of keep rules and protected folders: the window marks by the
// rules, and its bulk command (which follows the marks) keeps the same copy in every group and
// acts on the same files as parvex-cli does with those rules on the document of that result.
TEST(MarkByKeepRulesTest, TheWindowKeepsTheCopyParvexCliKeepsWithTheSameRules) {
    testing::TTempTree tree;
    const std::vector<std::string> folders{tree.Folder("p"), tree.Folder("q/deep"),
                                           tree.Folder("r"), tree.Folder("s/t")};
    // Protected folders and "in:" spelled other than the files' paths.
    const std::vector<std::string> ruleTexts{"newest",
                                             "oldest",
                                             "shortest-path",
                                             "longest-path",
                                             "first",
                                             "in:" + tree.Root() + "q//",
                                             "in:" + tree.Path("s/t/../t"),
                                             "glob:*/r/*",
                                             "glob:*b*"};
    const std::vector<std::string> protectedFolders{tree.Path("p") + "/.", tree.Root() + "r/"};
    constexpr std::int64_t kSecond = 1'000'000'000;
    std::mt19937 random(20261209);
    std::uint64_t inode = 0;
    for (int round = 0; round < 300; ++round) {
        TResultData data;
        data.Restart(QCollator(QLocale::c()), tree.Root());
        const int groupCount = 1 + static_cast<int>(random() % 4);
        for (int g = 0; g < groupCount; ++g) {
            data.AddGroup("g" + QByteArray::number(g));
            const int fileCount = 2 + static_cast<int>(random() % 5);
            for (int f = 0; f < fileCount; ++f) {
                const std::string path = folders[random() % folders.size()] +
                                         std::string(random() % 3, 'b') + "z" + std::to_string(g) +
                                         std::to_string(fileCount - f);
                const std::int64_t ns = 1'600'000'000 * kSecond +
                                        static_cast<std::int64_t>(random() % 3) * (kSecond / 3);
                TResultFacts facts{
                    TFoundFile{{1, ++inode}, 7, FileTimeCode(ns / kSecond)}, true, {}, ns};
                data.AddFile(QByteArray::fromStdString(path), facts);
            }
        }
        data.Finish();
        TPlanChoices byRules;
        byRules.Rules.clear();
        for (std::size_t r = random() % 4; r > 0; --r)
            byRules.Rules.push_back(*ParseKeepRule(ruleTexts[random() % ruleTexts.size()]));
        if (random() % 2 == 0)
            byRules.ProtectedFolders = protectedFolders;
        TResultModel model;
        model.SetResult(std::move(data), true);

        // parvex-cli --from the document of the result, unmarked, with the rules.
        TResultSearch search;
        search.StartFolder = tree.Root();
        search.Keys.Content = true;
        const TResultDocument document =
            ReadJsonResult(ResultDocumentText(model.Result(), search, {}, true));
        byRules.StartFolder = document.Search.StartFolder;
        TRealFolders real;
        const TActionPlan cliPlan = MakeActionPlan(document.Groups, byRules, real);

        // The window: marks by the rules, then the plan of its bulk command.
        model.MarkByKeepRules(byRules.Rules, byRules.ProtectedFolders);
        std::vector<TResultGroupFacts> shown;
        for (const std::size_t group : model.Result().FoundOrder())
            shown.push_back(GroupFactsOf(model.Result(), group).Facts);
        TPlanChoices byMarks;
        byMarks.ProtectedFolders = byRules.ProtectedFolders;
        byMarks.FollowMarks = true;
        const TActionPlan windowPlan = MakeActionPlan(shown, byMarks, real);

        std::string rules;
        for (const TKeepRule& rule : byRules.Rules)
            rules += KeepRuleText(rule) + " ";
        EXPECT_EQ(KeptAndDecisions(shown, windowPlan), KeptAndDecisions(document.Groups, cliPlan))
            << "round " << round << ", rules " << rules << ", "
            << (byRules.ProtectedFolders.empty() ? "no protected folders" : "protected folders");
    }
}

} // namespace
} // namespace parvex
