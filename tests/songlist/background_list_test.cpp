// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/background_list.h"

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

struct SpecCase {
    const char* name;
    std::string spec;
    std::vector<std::string> entries;
};
void PrintTo(const SpecCase& c, std::ostream* os) { *os << c.name; }

class BackgroundSpecTest : public ::testing::TestWithParam<SpecCase> {};

TEST_P(BackgroundSpecTest, Builds) {
    BackgroundMediaList list;
    list.setFromSpec(GetParam().spec);
    EXPECT_EQ(list.entries, GetParam().entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BackgroundSpecTest,
    ::testing::Values(
        SpecCase{"EmptyGetsThreeBuiltIns", "", {"__0.jpg", "__1.jpg", "__2.jpg"}},
        SpecCase{"RelativeNamesAfterDoubleBar", "/p/a.jpg||b.jpg||c.jpg", {"/p/a.jpg", "/p/b.jpg", "/p/c.jpg"}},
        SpecCase{"FullPathsChangeTheFolder", "/p/a.jpg|/q/b.jpg||c.jpg", {"/p/a.jpg", "/q/b.jpg", "/q/c.jpg"}},
        SpecCase{"OnePicturePadded", "/p/a.jpg", {"/p/a.jpg", "__1.jpg", "__2.jpg"}},
        SpecCase{"TwoPicturesPaddedOnce", "/p/a.jpg||b.bmp", {"/p/a.jpg", "/p/b.bmp", "__1.jpg"}},
        SpecCase{"AVideoIsNotPadded", "/v/clip.avi", {"/v/clip.avi"}},
        SpecCase{"ShortSpecIgnored", "a.jp", {"__0.jpg", "__1.jpg", "__2.jpg"}}),
    test::CaseName());

TEST(BackgroundList, ShortSpecKeepsTheListAndIndexStaysInside) {
    BackgroundMediaList list;
    list.setFromSpec("/v/clip.avi|/v/two.avi");
    list.index = 1;
    list.setFromSpec("x");
    EXPECT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.index, 1);
    list.setFromSpec("/v/one.avi");
    EXPECT_EQ(list.index, 0);
}

TEST(BackgroundList, BuiltInsAndRotation) {
    EXPECT_TRUE(isBuiltInPicture("/any/_mine.jpg"));
    EXPECT_TRUE(isBuiltInPicture("__1.jpg"));
    EXPECT_FALSE(isBuiltInPicture("/_dir/pic.jpg"));
    DefaultPictureRotation r;
    EXPECT_EQ(r.next(), 1);
    EXPECT_EQ(r.next(), 0);
    EXPECT_EQ(r.next(), 1);
}

}  // namespace
}  // namespace melnix
