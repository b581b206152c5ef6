// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/record_array.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(RecordArray, EmptyHasHighestIndexMinusOneAndNothingOutOfRange) {
    RecordArray<int> a;
    EXPECT_EQ(a.highestIndex(), -1);
    EXPECT_EQ(a.at(0), nullptr);
    EXPECT_EQ(a.at(-1), nullptr);
    a.append(7);
    EXPECT_EQ(a.highestIndex(), 0);
    ASSERT_NE(a.at(0), nullptr);
    EXPECT_EQ(*a.at(0), 7);
    EXPECT_EQ(a.at(1), nullptr);
}

TEST(RecordArray, InsertRemoveAndSetSizeKeepOrder) {
    RecordArray<int> a(3);
    for (int i = 0; i < 5; ++i) a.append(i);
    EXPECT_EQ(a.insertAt(2, 99), 2);
    EXPECT_EQ(a.insertAt(a.size(), 100), 6);
    EXPECT_EQ(a.insertAt(8, 1), -1);
    EXPECT_EQ(std::vector<int>(a.begin(), a.end()), (std::vector<int>{0, 1, 99, 2, 3, 4, 100}));
    a.removeAt(1, 2);
    EXPECT_EQ(std::vector<int>(a.begin(), a.end()), (std::vector<int>{0, 2, 3, 4, 100}));
    a.removeAt(3, 50);  // clipped to the end
    EXPECT_EQ(std::vector<int>(a.begin(), a.end()), (std::vector<int>{0, 2, 3}));
    a.removeAt(-1, 1);
    a.removeAt(3, 1);
    EXPECT_EQ(a.size(), 3);
    a.setSize(5);
    EXPECT_EQ(a.highestIndex(), 4);
    EXPECT_EQ(*a.at(4), 0);
}

TEST(RecordArray, GrowsInWholeStepsThatDouble) {
    RecordArray<int> a(100);
    a.append(1);
    EXPECT_EQ(a.capacity(), 100u);
    for (int i = 0; i < 100; ++i) a.append(i);
    EXPECT_EQ(a.capacity(), 200u);
    // A fixed step would copy the whole array every 100 records.
    int reallocations = 0;
    size_t seen = a.capacity();
    for (int i = 0; i < 300000; ++i) {
        a.append(i);
        if (a.capacity() != seen) ++reallocations, seen = a.capacity();
    }
    EXPECT_EQ(seen % 100, 0u);
    EXPECT_LE(reallocations, 12);
}

}  // namespace
}  // namespace melnix
