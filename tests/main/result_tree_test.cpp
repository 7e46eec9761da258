#include "main/result_tree.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(IsGroupNode, TopLevelNodesAreGroupsFilesAndNoneAreNot) {
    TResultTree tree;
    auto* group = new QTreeWidgetItem(&tree, QStringList(QStringLiteral("g")));
    new QTreeWidgetItem(group, QStringList(QStringLiteral("/f")));
    EXPECT_TRUE(IsGroupNode(group));
    EXPECT_FALSE(IsGroupNode(group->child(0)));
    EXPECT_FALSE(IsGroupNode(nullptr));
}

TEST(TResultTree, EnterAndReturnAreReportedWhateverTheModifiersAndOtherKeysAreNot) {
    TResultTree tree;
    new QTreeWidgetItem(&tree, QStringList(QStringLiteral("g")));
    tree.show();
    QSignalSpy enter(&tree, &TResultTree::EnterPressed);
    QTest::keyClick(&tree, Qt::Key_Return);
    QTest::keyClick(&tree, Qt::Key_Enter, Qt::ShiftModifier);
    QTest::keyClick(&tree, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_EQ(enter.count(), 3);
}

TEST(TResultTree, IsReadOnlyWithoutLinesAndIndentsNineteenPixels) {
    TResultTree tree;
    EXPECT_EQ(tree.indentation(), 19);
    EXPECT_EQ(tree.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(tree.columnCount(), 1);
    EXPECT_EQ(tree.palette().color(QPalette::Inactive, QPalette::Highlight),
              tree.palette().color(QPalette::Active, QPalette::Highlight));
}

} // namespace
} // namespace parvex
