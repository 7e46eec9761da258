#include "main/result_tree.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QStandardItemModel>
#include <QTest>
#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(IsGroupNode, TopLevelNodesAreGroupsFilesAndNoneAreNot) {
    QStandardItemModel model;
    auto* group = new QStandardItem(QStringLiteral("g"));
    group->appendRow(new QStandardItem(QStringLiteral("/f")));
    model.appendRow(group);
    EXPECT_TRUE(IsGroupNode(group->index()));
    EXPECT_FALSE(IsGroupNode(group->child(0)->index()));
    EXPECT_FALSE(IsGroupNode(QModelIndex()));
}

TEST(TResultTree, EnterAndReturnAreReportedWhateverTheModifiersAndOtherKeysAreNot) {
    QStandardItemModel model;
    model.appendRow(new QStandardItem(QStringLiteral("g")));
    TResultTree tree;
    tree.setModel(&model);
    tree.show();
    QSignalSpy enter(&tree, &TResultTree::EnterPressed);
    QTest::keyClick(&tree, Qt::Key_Return);
    QTest::keyClick(&tree, Qt::Key_Enter, Qt::ShiftModifier);
    QTest::keyClick(&tree, Qt::Key_Return, Qt::ControlModifier);
    QTest::keyClick(&tree, Qt::Key_Down);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_EQ(enter.count(), 3);
}

TEST(TResultTree, TheCopyKeyIsReportedInPlaceOfTheViewsOwnCopyOfTheCellText) {
    QStandardItemModel model;
    model.appendRow(new QStandardItem(QStringLiteral("cell text")));
    TResultTree tree;
    tree.setModel(&model);
    tree.setCurrentIndex(model.index(0, 0));
    tree.show();
    QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    QSignalSpy copy(&tree, &TResultTree::CopyPressed);
    QTest::keyClick(&tree, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(copy.count(), 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("before"));
}

TEST(TResultTree, IsReadOnlyWithoutLinesIndentsNineteenPixelsAndElidesInTheMiddle) {
    QStandardItemModel model(0, 3);
    TResultTree tree;
    tree.setModel(&model);
    EXPECT_EQ(tree.indentation(), 19);
    EXPECT_EQ(tree.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(tree.textElideMode(), Qt::ElideMiddle);
    EXPECT_EQ(tree.header()->sectionResizeMode(0), QHeaderView::Stretch);
    EXPECT_EQ(tree.header()->sectionResizeMode(2), QHeaderView::ResizeToContents);
    EXPECT_EQ(tree.palette().color(QPalette::Inactive, QPalette::Highlight),
              tree.palette().color(QPalette::Active, QPalette::Highlight));
}

} // namespace
} // namespace parvex
