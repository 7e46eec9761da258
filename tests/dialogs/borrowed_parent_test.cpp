#include "dialogs/borrowed_parent.h"

#include <QDialog>
#include <gtest/gtest.h>
#include <memory>

namespace parvex {
namespace {

TEST(BorrowedParent, LendsTheDialogToTheWindowAndGivesItBack) {
    QWidget owner;
    QDialog opener(&owner);
    auto* shared = new QDialog(&owner);
    const Qt::WindowFlags flags = shared->windowFlags();
    {
        const TBorrowedParent over(*shared, opener);
        EXPECT_EQ(shared->parentWidget(), &opener);
        EXPECT_TRUE(shared->isWindow());
        EXPECT_EQ(shared->windowFlags(), flags);
    }
    EXPECT_EQ(shared->parentWidget(), &owner);
    EXPECT_TRUE(shared->isWindow());
    EXPECT_EQ(shared->windowFlags(), flags);
}

TEST(BorrowedParent, ADialogOfTheSameWindowStaysWhereItIs) {
    QWidget owner;
    auto* shared = new QDialog(&owner);
    {
        const TBorrowedParent over(*shared, owner);
        EXPECT_EQ(shared->parentWidget(), &owner);
    }
    EXPECT_EQ(shared->parentWidget(), &owner);
}

TEST(BorrowedParent, ADialogWithoutOwnerIsLeftWithoutOne) {
    QDialog opener;
    const auto shared = std::make_unique<QDialog>();
    {
        const TBorrowedParent over(*shared, opener);
        EXPECT_EQ(shared->parentWidget(), &opener);
    }
    EXPECT_EQ(shared->parentWidget(), nullptr);
}

} // namespace
} // namespace parvex
