#include "main/result_model.h"
#include "main/time_code_text.h"
#include "platform/file_times.h"

#include <QAbstractItemModelTester>
#include <QLocale>
#include <gtest/gtest.h>
#include <memory>

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

} // namespace
} // namespace parvex
