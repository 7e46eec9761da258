#include "main/beside_place.h"

#include <gtest/gtest.h>

namespace parvex {
namespace {

const QRect kScreen(0, 0, 1000, 800);
const QSize kDialog(200, 100);

TEST(PlaceBesideTest, GoesRightOfTheRectangleWhenThereIsRoom) {
    const auto place = PlaceBeside(QRect(100, 100, 400, 300), kDialog, kScreen);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(*place, QPoint(504, 100));
}

TEST(PlaceBesideTest, GoesLeftWhenTheRightSideIsFull) {
    const auto place = PlaceBeside(QRect(300, 100, 650, 300), kDialog, kScreen);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(*place, QPoint(96, 100));
}

TEST(PlaceBesideTest, GoesBelowARowAsWideAsTheScreenAndAboveOneAtTheBottom) {
    const auto below = PlaceBeside(QRect(0, 300, 1000, 20), kDialog, kScreen);
    ASSERT_TRUE(below.has_value());
    EXPECT_EQ(*below, QPoint(0, 324));
    const auto above = PlaceBeside(QRect(0, 750, 1000, 20), kDialog, kScreen);
    ASSERT_TRUE(above.has_value());
    EXPECT_EQ(*above, QPoint(0, 646));
}

TEST(PlaceBesideTest, StaysOnTheScreenAlongTheSide) {
    const auto place = PlaceBeside(QRect(100, 750, 400, 40), kDialog, kScreen);
    ASSERT_TRUE(place.has_value());
    EXPECT_EQ(*place, QPoint(504, 700));
}

TEST(PlaceBesideTest, NoPlaceWhenTheRectangleFillsTheScreen) {
    EXPECT_FALSE(PlaceBeside(kScreen, kDialog, kScreen).has_value());
}

} // namespace
} // namespace parvex
