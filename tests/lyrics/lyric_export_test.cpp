// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_export.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include "lyrics/lyric_store.h"
#include "support/gbk_text.h"
#include "support/sheet_checks.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// Six lines (enough to be taken as LRC when read back), with uneven
// character times, a space, punctuation and a pause.
LyricSheet sample() {
    LyricSheet s;
    s.addLine(makeLine(150, g("月亮代表我的心"), times({0, 20, 45, 60, 100, 130, 170, 230})));
    s.addLine(makeLine(450, "Hi you", times({0, 10, 25, 40, 55, 75, 90})));
    s.addLine(makeLine(600, g("你问我爱你"), times({0, 30, 60, 95, 120, 160})));
    s.addLine(makeLine(1200, g("有多深"), times({0, 50, 90, 140})));
    s.addLine(makeLine(1400, g("我的情"), times({0, 33, 66, 99}), kLineAltPlacement));
    s.addLine(makeLine(1600, g("也真"), times({0, 40, 80})));
    s.normalizeLines();
    return s;
}

LyricSheet readBack(const std::string& text) {
    test::TempDir dir;
    test::writeFile(dir.file("x.lrc"), text);
    LyricSheet s;
    EXPECT_TRUE(openLyricFile(dir.file("x.lrc"), s));
    test::expectSheetInvariants(s);
    return s;
}

TEST(LyricExport, LrcRoundTripKeepsLineStarts) {
    const LyricSheet s = sample();
    ExportInfo info;
    info.title = "月亮";
    info.artist = "某人";
    EXPECT_EQ(exportLyrics(s, ExportFormat::Lrc, info).find("[ti:月亮]\n[ar:某人]\n[00:01.50]月亮代表我的心\n"), 0u);
    const std::string text = exportLyrics(s, ExportFormat::Lrc, {});
    EXPECT_NE(text.find("[00:06.00]你问我爱你\n[00:07.63]\n[00:12.00]"), std::string::npos);  // the pause is marked
    LyricSheet back = readBack(text);
    ASSERT_EQ(back.lineCount(), s.lineCount());
    for (int i = 0; i < s.lineCount(); ++i) EXPECT_EQ(back.lineAt(i)->startTime, s.lineAt(i)->startTime) << i;
}

TEST(LyricExport, EnhancedLrcRoundTripKeepsCharacterTimes) {
    const LyricSheet s = sample();
    const std::string text = exportLyrics(s, ExportFormat::EnhancedLrc, {});
    EXPECT_EQ(text.find("[00:01.50]<00:01.50>月<00:01.70>亮"), 0u);
    LyricSheet back = readBack(text);
    ASSERT_EQ(back.lineCount(), s.lineCount());
    for (int i = 0; i < s.lineCount(); ++i) {
        EXPECT_EQ(back.lineAt(i)->startTime, s.lineAt(i)->startTime) << i;
        EXPECT_EQ(back.lineAt(i)->charTimes, s.lineAt(i)->charTimes) << i;
        EXPECT_EQ(back.lineAt(i)->text, s.lineAt(i)->text) << i;
    }
}

TEST(LyricExport, AssHasOneKaraokeEventPerLine) {
    const std::string text = exportLyrics(sample(), ExportFormat::Ass, {});
    EXPECT_NE(text.find("[V4+ Styles]"), std::string::npos);
    EXPECT_NE(text.find("Dialogue: 0,0:00:01.50,0:00:03.80,Karaoke,,0,0,0,,{\\k20}月{\\k25}亮{\\k15}代"), std::string::npos);
    EXPECT_NE(text.find("Dialogue: 0,0:00:14.00,0:00:14.99,KaraokeAlt,"), std::string::npos);
    size_t events = 0;
    for (size_t at = text.find("Dialogue:"); at != std::string::npos; at = text.find("Dialogue:", at + 1)) ++events;
    EXPECT_EQ(events, 6u);
}

TEST(LyricExport, UltraStarNotesFollowCharactersAndMelody) {
    ExportInfo info;
    info.title = "T";
    info.songFile = "song.mid";
    info.pitchAt = [](int32_t t) { return t < 1000 ? 62 : -1; };
    const std::string text = exportLyrics(sample(), ExportFormat::UltraStar, info);
    EXPECT_EQ(text.substr(0, text.find(": ")), "#TITLE:T\n#ARTIST:Unknown\n#MP3:song.mid\n#BPM:1500\n#GAP:0\n");
    EXPECT_NE(text.find(": 150 20 2 月\n: 170 25 2 亮\n"), std::string::npos);
    EXPECT_NE(text.find("- 380\n: 450 10 2 H\n: 460 15 2 i \n: 490 15 2 y\n"), std::string::npos);  // space joins the syllable
    EXPECT_NE(text.find(": 1200 50 0 有\n"), std::string::npos);  // no melody: pitch 0
    EXPECT_EQ(text.substr(text.size() - 2), "E\n");
}

TEST(LyricExport, ClockFormats) {
    EXPECT_EQ(lrcClock(0), "00:00.00");
    EXPECT_EQ(lrcClock(6000 * 12 + 345), "12:03.45");
    EXPECT_EQ(lrcClock(6000 * 150), "99:59.99");
}

// ffmpeg's subtitle filter (libass) renders the karaoke wipe: halfway
// through a line, the sung part is blue and the rest yellow.
TEST(LyricExport, AssRendersAsKaraokeInARealRenderer) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg is not installed";
    test::TempDir dir;
    LyricSheet s;
    s.addLine(makeLine(100, g("月亮代表我的心"), times({0, 40, 80, 120, 160, 200, 240, 280})));
    test::writeFile(dir.file("k.ass"), exportLyrics(s, ExportFormat::Ass, {}));
    const int w = 640, h = 360;
    // Frame at 2.4 s: the first 3 or 4 characters are sung.
    const std::string cmd = "ffmpeg -v error -f lavfi -i color=c=black:s=640x360:d=4 -ss 2.4 -vf \"subtitles='" +
                            dir.file("k.ass") + "'\" -frames:v 1 -f rawvideo -pix_fmt rgb24 - 2>&1";
    FILE* p = ::popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string rgb;
    std::array<char, 65536> buf{};
    size_t n;
    while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) rgb.append(buf.data(), n);
    ASSERT_EQ(::pclose(p), 0) << rgb.substr(0, 500);
    ASSERT_EQ(rgb.size(), static_cast<size_t>(w * h * 3));
    int blue = 0, yellow = 0;
    long blueX = 0, yellowX = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto px = reinterpret_cast<const unsigned char*>(&rgb[static_cast<size_t>((y * w + x) * 3)]);
            if (px[2] > 200 && px[0] < 60 && px[1] < 60) ++blue, blueX += x;
            if (px[0] > 200 && px[1] > 200 && px[2] < 60) ++yellow, yellowX += x;
        }
    ASSERT_GT(blue, 50);
    ASSERT_GT(yellow, 50);
    EXPECT_LT(blueX / blue, yellowX / yellow);  // sung on the left
}

}  // namespace
}  // namespace melnix
