// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/gm_program_names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace melnix {
namespace {

struct NameCase {
    int program;
    const char* english;
    const char* chinese;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << "program " << c.program; }

class GmProgramNamesTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(GmProgramNamesTest, NamesByProgramNumber) {
    const NameCase& c = GetParam();
    EXPECT_STREQ(GmProgramNames[static_cast<size_t>(c.program)].english, c.english);
    EXPECT_STREQ(GmProgramNames[static_cast<size_t>(c.program)].chinese, c.chinese);
}

INSTANTIATE_TEST_SUITE_P(Table, GmProgramNamesTest,
                         ::testing::Values(NameCase{0, "Acoustic Grand Piano", "平台钢琴"},
                                           NameCase{3, "Honky-Tonk Piano", "叮当琴"},
                                           NameCase{21, "Accoridan", "手风琴"},
                                           NameCase{33, "Electric Bass(finger)", "手弹电贝司"},
                                           NameCase{52, "Choir Aahs", "(啊)诗歌"},
                                           NameCase{73, "Flute", "长笛"},
                                           NameCase{77, "Skakuhachi", "尺八萧"},
                                           NameCase{80, "Lead 1 (square)", "方波"},
                                           NameCase{111, "Shanai", "唢呐"},
                                           NameCase{127, "Gunshot", "枪声"}));

TEST(GmProgramNamesTest, EveryEntryHasBothNames) {
    std::set<std::string> english;
    for (const GmProgramName& n : GmProgramNames) {
        ASSERT_NE(n.english, nullptr);
        ASSERT_NE(n.chinese, nullptr);
        EXPECT_GT(std::string(n.chinese).size(), 0u);
        english.insert(n.english);
    }
    EXPECT_EQ(english.size(), 128u);
}

TEST(GmProgramNamesTest, ValuesAboveTheTableShowTheLastEntry) {
    EXPECT_STREQ(gmProgramName(200).english, "Gunshot");
    EXPECT_STREQ(gmProgramName(-1).english, "Acoustic Grand Piano");
}

}  // namespace
}  // namespace melnix
