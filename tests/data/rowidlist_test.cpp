// The chunked rowid list: growth across chunks, removal of index sets, search.
#include "data/rowidlist.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

namespace {

// Rows 0..n-1 holding 10*i, built partly row by row and partly in batches, across
// several chunks.
RowIdList Filled(size_t n)
{
    RowIdList list;
    std::vector<sqlite3_int64> batch;
    for (size_t i = 0; i < n; ++i) {
        if (i % 3 == 0) {
            list.push_back(static_cast<sqlite3_int64>(10 * i));
            continue;
        }
        batch.clear();
        for (; i < n && i % 3 != 0; ++i)
            batch.push_back(static_cast<sqlite3_int64>(10 * i));
        --i;
        list.append(batch.data(), batch.size());
    }
    return list;
}

TEST(RowIdList, GrowsAcrossChunksKeepingEveryRow)
{
    const size_t n = 3 * 65536 + 17;
    RowIdList list = Filled(n);
    ASSERT_EQ(list.size(), n);
    for (size_t i = 0; i < n; i += 997)
        ASSERT_EQ(list[i], static_cast<sqlite3_int64>(10 * i));
    EXPECT_EQ(list[n - 1], static_cast<sqlite3_int64>(10 * (n - 1)));

    std::vector<sqlite3_int64> big(200000);
    std::iota(big.begin(), big.end(), 5000000000LL);
    list.append(big.data(), big.size());
    EXPECT_EQ(list.size(), n + big.size());
    EXPECT_EQ(list[n], 5000000000LL);
    EXPECT_EQ(list[n + big.size() - 1], 5000000000LL + 199999);

    list.set(65536, -1);
    EXPECT_EQ(list.find(-1), 65536);
    EXPECT_EQ(list.find(5000000000LL + 199999), static_cast<std::ptrdiff_t>(n + big.size() - 1));
    EXPECT_EQ(list.find(7), -1);
    list.clear();
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.find(0), -1);
    list.push_back(3);
    EXPECT_EQ(list[0], 3);
}

TEST(RowIdList, EraseIndicesRemovesEachOnceInOnePass)
{
    const size_t n = 2 * 65536 + 5;
    RowIdList list = Filled(n);
    // Unsorted, with a duplicate and indices beyond the end; two across a chunk border.
    list.erase_indices({65536, 0, n - 1, 65535, 0, n, n + 100, 7});
    ASSERT_EQ(list.size(), n - 5);
    std::vector<size_t> kept;
    for (size_t i = 0; i < n; ++i)
        if (i != 0 && i != 7 && i != 65535 && i != 65536 && i != n - 1)
            kept.push_back(i);
    for (size_t j = 0; j < kept.size(); ++j)
        ASSERT_EQ(list[j], static_cast<sqlite3_int64>(10 * kept[j])) << j;
    list.erase_indices({});
    EXPECT_EQ(list.size(), n - 5);

    RowIdList all = Filled(10);
    std::vector<size_t> every(10);
    std::iota(every.begin(), every.end(), 0);
    all.erase_indices(every);
    EXPECT_TRUE(all.empty());
    all.push_back(1);
    EXPECT_EQ(all.size(), 1u);
}

} // namespace
