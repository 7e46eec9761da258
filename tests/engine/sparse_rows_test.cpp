#include "_compearer/sparse_rows.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

TEST(SparseRows, OnlyTheRowsGivenAValueCarryOne) {
    TSparseRows<int> rows;
    rows[5] = 50;
    EXPECT_EQ(rows.Find(4), nullptr);
    ASSERT_NE(rows.Find(5), nullptr);
    EXPECT_EQ(*rows.Find(5), 50);
    EXPECT_EQ(rows.size(), 1U);
}

TEST(SparseRows, MovingARowTakesItsValueOrItsLackOfOne) {
    TSparseRows<int> rows;
    rows[1] = 10;
    rows[3] = 30;
    rows.MoveRow(2, 1);
    EXPECT_EQ(rows.Find(1), nullptr);
    rows.MoveRow(3, 2);
    ASSERT_NE(rows.Find(2), nullptr);
    EXPECT_EQ(*rows.Find(2), 30);
    EXPECT_EQ(rows.Find(3), nullptr);
    rows[7] = 70;
    rows.Truncate(3);
    EXPECT_EQ(rows.Find(7), nullptr);
    EXPECT_EQ(rows.size(), 1U);
    rows.Clear();
    EXPECT_EQ(rows.size(), 0U);
}

} // namespace
} // namespace parvex
