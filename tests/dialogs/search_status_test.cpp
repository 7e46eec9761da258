#include "dialogs/search_status.h"

#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace parvex {
namespace {

TEST(SearchStatusText, EachCodeHasItsTextAndNothingElseHasOne) {
    const std::vector<std::pair<TSearchStatus, QString>> table = {
        {TSearchStatus::stEmpty, QStringLiteral("Empty search result")},
        {TSearchStatus::stInProcess, QStringLiteral("Searh in process...")},
        {TSearchStatus::stComplete, QStringLiteral("Search process is complete")},
        {TSearchStatus::stChanged, QStringLiteral("Search conditions are changed")},
        {TSearchStatus::stInterrupted, QStringLiteral("Search process has been interrupted")},
        {static_cast<TSearchStatus>(5), QString()},
        {static_cast<TSearchStatus>(-1), QString()},
    };
    for (const auto& [status, text] : table)
        EXPECT_EQ(SearchStatusText(status), text) << "code " << static_cast<int>(status);
}

TEST(TSearchStatus, CodesKeepTheirNumbers) {
    EXPECT_EQ(static_cast<int>(TSearchStatus::stEmpty), 0);
    EXPECT_EQ(static_cast<int>(TSearchStatus::stInProcess), 1);
    EXPECT_EQ(static_cast<int>(TSearchStatus::stComplete), 2);
    EXPECT_EQ(static_cast<int>(TSearchStatus::stChanged), 3);
    EXPECT_EQ(static_cast<int>(TSearchStatus::stInterrupted), 4);
}

} // namespace
} // namespace parvex
