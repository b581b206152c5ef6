// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/presentation_math.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(PresentationMath, AutomaticModeByPictureAndWindow) {
    struct Case {
        int p, q, w, h, want;
    } const cases[] = {
        {640, 480, 1024, 768, kModeActual},   // fits with room
        {1000, 700, 1024, 768, kModeActual},  // 1024*67 >= 1000*50
        {2000, 1400, 1024, 768, kModeAuto},   // half size 1000x700 fits snugly
        {1600, 1200, 1024, 768, kModeFitted}, // half size 800x600 would leave too much around it
        {1400, 1000, 1024, 768, kModeFitted}, // half size would be too small
        {5000, 4000, 1024, 768, kModeFitted}, // half of it is still beyond the screen
    };
    for (const Case& c : cases)
        EXPECT_EQ(resolveAutoMode(c.p, c.q, c.w, c.h, 1280, 1024), c.want) << c.p << "x" << c.q;
}

TEST(PresentationMath, PicturesSitAboveTheSubtitleBand) {
    const IntRect window{0, 0, 1000, 700};
    // Actual size, centred: 300 px to spare, the band takes 100 of them.
    PicturePlacement a = placePicture(kModeActual, false, 400, 400, window, 1000, 1000, kCentred, kCentred);
    EXPECT_EQ(a.x, 300);
    EXPECT_EQ(a.y, 100);  // (300 - 100) / 2
    // Fitted keeps the shape.
    PicturePlacement f = placePicture(kModeFitted, false, 2000, 1000, window, 1000, 1000, kCentred, kCentred);
    EXPECT_EQ(f.width, 1000);
    EXPECT_EQ(f.height, 500);
    EXPECT_EQ(f.y, 66);  // 200 spare, 100 of them the band's, two thirds of the rest
    // Half size.
    PicturePlacement h = placePicture(kModeAuto, false, 1600, 1200, window, 1000, 1000, kCentred, kCentred);
    EXPECT_EQ(h.width, 800);
    EXPECT_EQ(h.height, 600);
    EXPECT_EQ(h.y, 37);  // no room over the band: 100 * 3 / 8
    // Metafiles take 80 % of the fitted size, at actual-size mode.
    PicturePlacement m = placePicture(kModeFitted, true, 100, 70, window, 1000, 1000, kCentred, kCentred);
    EXPECT_EQ(m.mode, kModeActual);
    EXPECT_EQ(m.width, 800);
    // A position given is kept; a zoom out of range draws nothing.
    EXPECT_EQ(placePicture(kModeActual, false, 10, 10, window, 1000, 1000, 5, 7).y, 7);
    EXPECT_FALSE(placePicture(kModeActual, false, 10, 10, window, 9, 1000, 0, 0).drawn);
    EXPECT_FALSE(placePicture(kModeActual, false, 0, 10, window, 1000, 1000, 0, 0).drawn);
}

TEST(PresentationMath, LongPreludesGetMorePictures) {
    EXPECT_EQ(planPictureChanges(4999).count, 0);
    const PictureChanges twelve = planPictureChanges(12000);
    EXPECT_EQ(twelve.count, 2);
    EXPECT_EQ(twelve.intervalMs, 5250);
    EXPECT_EQ(planPictureChanges(5000).count, 1);
}

TEST(PresentationMath, WindowForARequestedSize) {
    const IntRect screen{0, 0, 1280, 1024}, work{0, 0, 1280, 990};
    EXPECT_EQ(presentationWindow(0, 0, screen, work, 4), screen);
    EXPECT_EQ(presentationWindow(1, 1, screen, work, 4), work);
    EXPECT_EQ(presentationWindow(640, 480, screen, work, 4), (IntRect{316, 268, 964, 756}));
    EXPECT_EQ(presentationWindow(1280, 990, screen, work, 4), work);  // too big: the work area
    // 2/21 of the width high from six sevenths down, risen to stay inside.
    EXPECT_EQ(subtitleBand({0, 0, 1024, 768}), (IntRect{0, 658, 1024, 755}));
    EXPECT_EQ(subtitleBand({0, 0, 1920, 1080}), (IntRect{0, 898, 1920, 1080}));
    EXPECT_EQ(subtitleBand({10, 20, 710, 720}), (IntRect{10, 620, 710, 686}));
    int offered1024 = 0;
    for (const WindowSize& s : windowSizes()) offered1024 += s.minScreenWidth <= 1100 && s.w == 1024;
    EXPECT_EQ(offered1024, 0);  // a screen narrower than 1152 gets no 1024*768
}

TEST(PresentationMath, OtherScreenAndKeptPictureSetting) {
    const IntRect laptop{0, 0, 1366, 768}, projector{1366, 0, 3286, 1080};
    EXPECT_EQ(otherScreen({laptop, projector}, laptop), projector);
    EXPECT_EQ(otherScreen({laptop, projector}, projector), laptop);
    EXPECT_EQ(otherScreen({laptop}, laptop), IntRect{});
    // The projector chosen once is used again while it is there.
    const std::vector<NamedScreen> both = {{"eDP-1", laptop}, {"HDMI-1", projector}};
    EXPECT_EQ(rememberedScreen(both, "HDMI-1", laptop), projector);
    EXPECT_EQ(rememberedScreen(both, "", laptop), IntRect{});                     // never chosen
    EXPECT_EQ(rememberedScreen({{"eDP-1", laptop}}, "HDMI-1", laptop), IntRect{});  // unplugged
    EXPECT_EQ(rememberedScreen(both, "HDMI-1", projector), IntRect{});             // the editor is there already

    struct Case {
        uint32_t bgr;
        int mode;
    } cases[] = {{0, kModeActual}, {0x4400C6, kModeTiled}, {0xFFFFFF, kModeFitted}, {0x102030, kModeAuto}};
    for (const Case& c : cases) {
        uint32_t bgr = 1;
        int mode = -1;
        unpackPictureSetting(packPictureSetting(c.bgr, c.mode), bgr, mode);
        EXPECT_EQ(bgr, c.bgr);
        EXPECT_EQ(mode, c.mode);
    }
    // A state file that kept nothing, or a colour only: the automatic mode.
    uint32_t bgr = 1;
    int mode = -1;
    unpackPictureSetting(0, bgr, mode);
    EXPECT_EQ(bgr, 0u);
    EXPECT_EQ(mode, kModeAuto);
    unpackPictureSetting(0x0000FF, bgr, mode);
    EXPECT_EQ(bgr, 0xFFu);
    EXPECT_EQ(mode, kModeAuto);
}

}  // namespace
}  // namespace melnix
