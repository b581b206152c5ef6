// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/video_placement.h"

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

// 16 x 16 pixels just outside the top-left corner.
constexpr IntRect kParked{-18, -18, -2, -2};

struct PlacementCase {
    const char* name;
    IntRect client;
    int subtitleBottom;
    int pictureWidth, pictureHeight;
    int subtitleTop;
    IntRect video;
};

class VideoPlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(VideoPlacementTest, PictureAboveTheSubtitlesOnlyWhenThereIsRoom) {
    const PlacementCase& c = GetParam();
    const VideoPlacement p = placeVideo(c.client, c.subtitleBottom, c.pictureWidth, c.pictureHeight);
    EXPECT_EQ(p.subtitleTop, c.subtitleTop);
    EXPECT_EQ(p.video, c.video);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, VideoPlacementTest,
    ::testing::Values(
        // A tall window: the subtitles keep 120 pixels; the picture is 126
        // shorter than the room above their bottom, keeps its aspect, is
        // centred and starts 6 below the top.
        PlacementCase{"Tall", {0, 0, 1280, 800}, 400, 320, 240, 280, {457, 6, 822, 280}},
        PlacementCase{"Widescreen", {0, 0, 1280, 800}, 486, 1920, 1080, 366, {320, 6, 960, 366}},
        // A width that does not come out whole is rounded down.
        PlacementCase{"Rounded", {0, 0, 1000, 700}, 427, 160, 128, 307, {312, 6, 688, 307}},
        // 300 pixels is not enough; 301 is.
        PlacementCase{"JustTooShort", {0, 0, 1280, 800}, 300, 320, 240, 6, kParked},
        PlacementCase{"JustTallEnough", {0, 0, 1280, 800}, 301, 320, 240, 181, {523, 6, 756, 181}},
        // A window that is not at the origin measures from its own top and left.
        PlacementCase{"Offset", {10, 20, 1290, 820}, 420, 320, 240, 300, {467, 26, 832, 300}},
        // Without a picture of its own the control waits outside the window.
        PlacementCase{"SoundOnly", {0, 0, 1280, 800}, 400, 0, 0, 6, kParked},
        PlacementCase{"NoHeight", {0, 0, 1280, 800}, 400, 320, 0, 6, kParked},
        PlacementCase{"NormalEditor", {0, 0, 640, 430}, 161, 320, 240, 6, kParked}),
    test::CaseName());

}  // namespace
}  // namespace melnix
