// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/mul_div.h"

#include <gtest/gtest.h>

#include <limits>

namespace melnix {
namespace {

struct MulDivCase {
    int32_t a, b, c, expected;
};

void PrintTo(const MulDivCase& c, std::ostream* os) { *os << c.a << "*" << c.b << "/" << c.c; }

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, MatchesWindowsRounding) {
    const MulDivCase& k = GetParam();
    EXPECT_EQ(MulDiv(k.a, k.b, k.c), k.expected) << k.a << "*" << k.b << "/" << k.c;
}

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(Cases, MulDivTest,
                         ::testing::Values(MulDivCase{1, 1, 2, 1},        // half rounds up
                                           MulDivCase{-1, 1, 2, -1},      // and away from zero below 0
                                           MulDivCase{1, -1, 2, -1},
                                           MulDivCase{-1, -1, 2, 1},
                                           MulDivCase{1, 1, 3, 0},
                                           MulDivCase{2, 1, 3, 1},
                                           MulDivCase{7, 60, 8, 53},      // 52.5
                                           MulDivCase{480, 500000, 480000, 500},
                                           MulDivCase{kMax, kMax, kMax, kMax},  // 64-bit intermediate
                                           MulDivCase{kMax, 2, 1, -1},    // does not fit
                                           MulDivCase{kMin, 1, 1, kMin},
                                           MulDivCase{kMin, -1, 1, -1},   // +2^31 does not fit
                                           MulDivCase{5, 5, 0, -1}));

}  // namespace
}  // namespace melnix
