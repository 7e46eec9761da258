#include "_compearer/file_id_column.h"

#include <gtest/gtest.h>
#include <vector>

namespace parvex {
namespace {

TEST(FileIdColumn, KeepsDeviceAndInodeOfEveryRow) {
    const std::vector<TFileId> ids{{2049, 12}, {2049, 13},     {0, 0}, {66, 12},
                                   {2049, 1},  {~0ULL, ~0ULL}, {66, 7}};
    TFileIdColumn column;
    for (const TFileId& id : ids)
        column.push_back(id);
    EXPECT_EQ(std::vector<TFileId>(column.begin(), column.end()), ids);
    EXPECT_FALSE(column[2].Known());
}

TEST(FileIdColumn, ARowCostsTwelveBytes) {
    TFileIdColumn column;
    for (std::uint64_t i = 0; i < 200000; ++i)
        column.push_back({i % 3 + 1, i});
    EXPECT_LT(column.Bytes(), 262144 * 12 + 1024) << column.Bytes();
}

TEST(FileIdColumn, RowsMovedDownKeepTheirIds) {
    TFileIdColumn column;
    for (const TFileId& id : {TFileId{1, 1}, TFileId{2, 2}, TFileId{3, 3}})
        column.push_back(id);
    column.MoveRow(2, 0);
    column.Truncate(2);
    EXPECT_EQ(std::vector<TFileId>(column.begin(), column.end()),
              (std::vector<TFileId>{{3, 3}, {2, 2}}));
    column.Clear();
    EXPECT_EQ(column.Bytes(), 0U);
}

} // namespace
} // namespace parvex
