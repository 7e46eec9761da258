#include "main/time_code_text.h"
#include "platform/file_times.h"

#include <gtest/gtest.h>
#include <vector>

namespace parvex {
namespace {

constexpr std::time_t kNoon = 1'600'000'000;

TEST(TimeCodeOrder, OrdersPackedAndUnpackedTimesByTheMomentsTheyStandFor) {
    std::vector<std::time_t> moments = {
        0, 315'000'000, 1'600'000'000, 2'300'000'000, 4'300'000'000, 4'500'000'000};
    for (std::size_t i = 1; i < moments.size(); ++i)
        EXPECT_LT(TimeCodeOrder(FileTimeCode(moments[i - 1])),
                  TimeCodeOrder(FileTimeCode(moments[i])))
            << moments[i];
    EXPECT_EQ(TimeCodeDateTime(FileTimeCode(kNoon)), QDateTime::fromSecsSinceEpoch(kNoon));
}

} // namespace
} // namespace parvex
