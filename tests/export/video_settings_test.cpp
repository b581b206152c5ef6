// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/video_settings.h"

#include <gtest/gtest.h>

namespace melnix {
namespace {

TEST(ExportSettings, SizesQualitiesAndFrameTimes) {
    struct {
        const char* text;
        bool ok;
        int w, h;
    } sizes[] = {{"1280x720", true, 1280, 720}, {"1920x1080", true, 1920, 1080}, {"854x480", true, 854, 480},
                 {"853x480", false, 0, 0},      {"1280x", false, 0, 0},         {"1280x720x", false, 0, 0},
                 {"64x48", false, 0, 0},        {"7680x4320", false, 0, 0},     {"-2x-2", false, 0, 0}};
    for (const auto& c : sizes) {
        VideoSize s{1, 1};
        EXPECT_EQ(parseVideoSize(c.text, s), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(s.width * 10000 + s.height, c.w * 10000 + c.h) << c.text;
        }
    }
    ExportQuality q{};
    EXPECT_TRUE(parseQuality("low", q));
    const int low = qualityCrf(q);
    EXPECT_TRUE(parseQuality("high", q));
    const int high = qualityCrf(q);
    EXPECT_TRUE(parseQuality("normal", q));
    EXPECT_GT(low, qualityCrf(q));
    EXPECT_GT(qualityCrf(q), high);
    EXPECT_FALSE(parseQuality("best", q));

    EXPECT_EQ(frameTimeUs(1, 30), 33333);
    EXPECT_EQ(frameTimeUs(30, 30), 1000000);
    EXPECT_EQ(frameCountFor(8000, 30), 240);
    EXPECT_EQ(frameCountFor(8001, 30), 241);
}

}  // namespace
}  // namespace melnix
