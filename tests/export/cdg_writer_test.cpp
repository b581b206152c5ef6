// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/cdg_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include "support/gbk_text.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

constexpr uint32_t kBackground = 0x000044, kUnsung = 0xFFFFFF, kSung = 0xFF8800, kTitle = 0xFFCC00;

// Every character a filled block with a pixel of margin, so that each one
// shows as its own run of ink along a band's middle row.
class BlockFont : public CdgGlyphSource {
public:
    CdgGlyph draw(std::string_view ch, int pixelHeight) override {
        CdgGlyph glyph;
        glyph.height = pixelHeight;
        glyph.width = ch.size() == 2 ? pixelHeight : pixelHeight / 2;
        glyph.coverage.assign(static_cast<size_t>(glyph.width * glyph.height), 0);
        if (ch == " ") return glyph;
        for (int y = 1; y < glyph.height - 1; ++y) {
            for (int x = 1; x < glyph.width - 1; ++x) glyph.coverage[static_cast<size_t>(y * glyph.width + x)] = 255;
        }
        return glyph;
    }
};

std::vector<uint8_t> encode(const LyricSheet& sheet, const CdgOptions& options) {
    BlockFont font;
    std::string error;
    std::vector<uint8_t> bytes = encodeCdg(sheet, options, font, error);
    EXPECT_EQ(error, "");
    return bytes;
}

// The screen as FFmpeg's player shows it: 0xRRGGBB per pixel.
struct Shot {
    std::vector<uint32_t> rgb;
    uint32_t at(int x, int y) const { return rgb[static_cast<size_t>(y * kCdgScreenWidth + x)]; }
    int count(uint32_t colour) const { return static_cast<int>(std::count(rgb.begin(), rgb.end(), colour)); }
};

struct Playback {
    int64_t durationPackets = 0;
    std::vector<Shot> shots;  // one per time asked for
};

// Plays the stream through FFmpeg's CD+G demuxer and decoder and keeps the
// screen at each time (seconds, ascending).
Playback play(const std::vector<uint8_t>& bytes, const std::vector<double>& seconds) {
    Playback result;
    test::TempDir dir;
    std::string path = dir.file("song.cdg");
    test::writeFile(path, std::string(bytes.begin(), bytes.end()));
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), av_find_input_format("cdg"), nullptr) < 0) {
        ADD_FAILURE() << "the demuxer refuses the stream";
        return result;
    }
    AVStream* stream = format->streams[0];
    result.durationPackets = stream->duration;
    const AVCodec* codec = avcodec_find_decoder(AV_CODEC_ID_CDGRAPHICS);
    AVCodecContext* decoder = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoder, stream->codecpar);
    EXPECT_EQ(avcodec_open2(decoder, codec, nullptr), 0);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    Shot screen;
    screen.rgb.assign(kCdgScreenWidth * kCdgScreenHeight, 0);
    size_t next = 0;
    while (av_read_frame(format, packet) >= 0) {
        int64_t pts = packet->pts;
        while (next < seconds.size() && pts > static_cast<int64_t>(seconds[next] * kCdgPacketsPerSecond)) {
            result.shots.push_back(screen);
            ++next;
        }
        EXPECT_EQ(avcodec_send_packet(decoder, packet), 0) << "packet " << pts;
        av_packet_unref(packet);
        while (avcodec_receive_frame(decoder, frame) == 0) {
            const auto* palette = reinterpret_cast<const uint32_t*>(frame->data[1]);
            for (int y = 0; y < kCdgScreenHeight; ++y) {
                for (int x = 0; x < kCdgScreenWidth; ++x) {
                    screen.rgb[static_cast<size_t>(y * kCdgScreenWidth + x)] =
                        palette[frame->data[0][y * frame->linesize[0] + x]] & 0xFFFFFF;
                }
            }
        }
    }
    while (result.shots.size() < seconds.size()) result.shots.push_back(screen);
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&decoder);
    avformat_close_input(&format);
    return result;
}

// The characters along the middle row of a band: 'U' unsung, 'S' sung, 'M'
// a character caught half recoloured; spaces leave nothing.
std::string bandText(const Shot& shot, int linesOnScreen, int band) {
    int rows = 16 / linesOnScreen;
    int top = (1 + (16 - rows * linesOnScreen) / 2 + band * rows) * kCdgTileHeight;
    int y = top + rows * kCdgTileHeight / 2;
    std::string text;
    uint32_t runColour = 0;
    bool inRun = false;
    for (int x = 0; x <= kCdgScreenWidth; ++x) {
        uint32_t c = x < kCdgScreenWidth ? shot.at(x, y) : kBackground;
        bool ink = c == kUnsung || c == kSung;
        if (ink && !inRun) runColour = c;
        if (ink && inRun && c != runColour) runColour = 0;
        if (!ink && inRun) text += runColour == kUnsung ? 'U' : runColour == kSung ? 'S' : 'M';
        inRun = ink;
    }
    return text;
}

std::string packetHex(const std::vector<uint8_t>& bytes, int index) {
    std::string hex;
    char buf[4];
    for (int i = 0; i < kCdgPacketSize; ++i) {
        std::snprintf(buf, sizeof buf, "%02x", bytes[static_cast<size_t>(index * kCdgPacketSize + i)]);
        hex += buf;
    }
    return hex;
}

LyricSheet oneLine(int32_t start, const std::string& gbk, std::vector<uint16_t> charTimes) {
    LyricSheet sheet;
    sheet.addLine(makeLine(start, gbk, std::move(charTimes)));
    return sheet;
}

TEST(CdgWriter, StreamStartsWithColoursScreenAndBorderAndKeepsToThePacketFormat) {
    CdgOptions options;
    options.durationMs = 10001;
    options.palette.colours[5] = 0x112233;
    options.palette.background = 5;
    std::vector<uint8_t> bytes = encode(oneLine(200, g("你好"), times({0, 50, 100})), options);

    ASSERT_EQ(bytes.size(), 3001u * kCdgPacketSize);  // 10.001 s rounds up to a whole packet
    EXPECT_EQ(packetHex(bytes, 0), "091e0000" "0004" "3f3f" "3e00" "0000" "3f00" "0423" "0000" "0000" "00000000");
    EXPECT_EQ(packetHex(bytes, 1), "091f0000" "00000000000000000000000000000000" "00000000");
    EXPECT_EQ(packetHex(bytes, 2), "09010000" "05000000000000000000000000000000" "00000000");
    EXPECT_EQ(packetHex(bytes, 3), "09020000" "05000000000000000000000000000000" "00000000");

    int tiles = 0;
    for (size_t p = 0; p < bytes.size(); p += kCdgPacketSize) {
        const uint8_t* b = &bytes[p];
        if (b[0] == 0) {
            EXPECT_TRUE(std::all_of(b, b + kCdgPacketSize, [](uint8_t v) { return v == 0; })) << "packet " << p / 24;
            continue;
        }
        ASSERT_EQ(b[0], kCdgCommand);
        EXPECT_EQ(b[2] | b[3] | b[20] | b[21] | b[22] | b[23], 0) << "parity bytes, packet " << p / 24;
        EXPECT_TRUE(std::all_of(b + 4, b + 20, [](uint8_t v) { return v < 0x40; })) << "packet " << p / 24;
        if (b[1] == kCdgTileBlock || b[1] == kCdgTileBlockXor) {
            ++tiles;
            EXPECT_TRUE(b[6] >= 1 && b[6] <= 16 && b[7] >= 1 && b[7] <= 48)
                << "tile outside the safe area: row " << int(b[6]) << " column " << int(b[7]);
        } else {
            EXPECT_LT(p / 24, 4u) << "instruction " << int(b[1]);
        }
    }
    EXPECT_GT(tiles, 0);
}

TEST(CdgWriter, ImpossibleRequestsAndCancelGiveNoStream) {
    LyricSheet lyric = oneLine(200, g("你好"), times({0, 50, 100}));
    LyricSheet blank;
    blank.addLine(makeLine(200, "", times({0})));
    CdgOptions ok;
    ok.durationMs = 60000;
    struct {
        const char* what;
        const LyricSheet* sheet;
        CdgOptions options;
    } cases[] = {
        {"no lines", &blank, ok},
        {"no length", &lyric, [&] { auto o = ok; o.durationMs = 0; return o; }()},
        {"five lines on screen", &lyric, [&] { auto o = ok; o.linesOnScreen = 5; return o; }()},
        {"one line on screen", &lyric, [&] { auto o = ok; o.linesOnScreen = 1; return o; }()},
        {"colour 16", &lyric, [&] { auto o = ok; o.palette.sung = 16; return o; }()},
    };
    BlockFont font;
    for (const auto& c : cases) {
        std::string error;
        EXPECT_TRUE(encodeCdg(*c.sheet, c.options, font, error).empty()) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
    }

    // Cancel is seen while the stream is written, not only before.
    std::atomic<bool> cancel{false};
    std::vector<int> seen;
    std::string error;
    auto bytes = encodeCdg(lyric, ok, font, error, &cancel, [&](int percent) {
        seen.push_back(percent);
        if (percent >= 50) cancel = true;
    });
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(error, "cancelled");
    ASSERT_FALSE(seen.empty());
    EXPECT_LT(seen.back(), 60);

    seen.clear();
    cancel = false;
    EXPECT_FALSE(encodeCdg(lyric, ok, font, error, nullptr, [&](int percent) { seen.push_back(percent); }).empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_EQ(seen.back(), 100);
}

// Characters turn at their own times, punctuation with the character before
// it, a Latin word as a whole; a line too wide for the screen is drawn smaller
// with every character.
TEST(CdgWriter, CharactersTurnSungAtTheirTimes) {
    struct Probe {
        int cs;  // after the line's start
        const char* shows;
    };
    struct {
        std::string text;
        std::vector<uint16_t> charTimes;
        std::vector<Probe> probes;
    } cases[] = {
        {g("你好世界"),
         times({0, 50, 100, 150, 200}),
         {{-10, "UUUU"}, {1, "SUUU"}, {40, "SUUU"}, {51, "SSUU"}, {140, "SSSU"}, {201, "SSSS"}}},
        {g("你好，世界"), times({0, 50, 100, 150, 200, 250}), {{40, "SUUUU"}, {51, "SSSUU"}, {140, "SSSUU"}}},
        {"hello big world",
         times({0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 260, 280, 300}),
         {{-10, "UUUUUUUUUUUUU"}, {1, "SSSSSUUUUUUUU"}, {110, "SSSSSUUUUUUUU"}, {121, "SSSSSSSSUUUUU"}}},
        {g("一二三四五六七八九十一二三四五"),
         times({0, 20, 40, 60, 80, 100, 120, 140, 160, 180, 200, 220, 240, 260, 280, 300}),
         {{-10, "UUUUUUUUUUUUUUU"}, {21, "SSUUUUUUUUUUUUU"}, {301, "SSSSSSSSSSSSSSS"}}},
    };
    for (const auto& c : cases) {
        const int32_t start = 200;
        CdgOptions options;
        options.durationMs = 8000;
        std::vector<double> at;
        for (const Probe& p : c.probes) at.push_back((start + p.cs) / 100.0);
        Playback shown = play(encode(oneLine(start, c.text, c.charTimes), options), at);
        ASSERT_EQ(shown.shots.size(), c.probes.size());
        for (size_t i = 0; i < c.probes.size(); ++i) {
            EXPECT_EQ(bandText(shown.shots[i], 3, 0), c.probes[i].shows)
                << test::u(c.text) << " at " << c.probes[i].cs << " cs";
        }
    }
}

// Three lines on screen: the title page, then lines drawn ahead of their time
// in their bands, a band taken over by the next line once its own is sung, and
// an empty screen after the last line.
TEST(CdgWriter, SongRunsFromTitlePageThroughTheBandsToAnEmptyScreen) {
    LyricSheet sheet;
    sheet.addLine(makeLine(600, g("你好世界"), times({0, 50, 100, 150, 200})));
    sheet.addLine(makeLine(820, g("再见朋友"), times({0, 40, 80, 120, 160})));
    sheet.addLine(makeLine(1000, g("明天见"), times({0, 50, 100, 150})));
    sheet.addLine(makeLine(1200, g("春夏秋冬天"), times({0, 40, 80, 120, 160, 200})));
    CdgOptions options;
    options.titleGbk = g("歌名");
    options.artistGbk = "Singer";
    options.durationMs = 17500;
    Playback shown = play(encode(sheet, options), {0.5, 5.9, 6.01, 11.9, 12.01, 14.5, 17.49});
    ASSERT_EQ(shown.shots.size(), 7u);
    EXPECT_LE(std::abs(shown.durationPackets - 17500 * kCdgPacketsPerSecond / 1000), 1);

    const Shot& title = shown.shots[0];
    EXPECT_GT(title.count(kTitle), 0);
    EXPECT_EQ(title.count(kUnsung) + title.count(kSung), 0);

    const Shot& before = shown.shots[1];
    EXPECT_EQ(before.count(kTitle), 0);
    EXPECT_EQ(bandText(before, 3, 0), "UUUU");
    EXPECT_EQ(bandText(before, 3, 1), "UUUU");
    EXPECT_EQ(bandText(before, 3, 2), "UUU");
    EXPECT_EQ(bandText(shown.shots[2], 3, 0), "SUUU");

    // The first band went to the fourth line after the first was sung.
    EXPECT_EQ(bandText(shown.shots[3], 3, 0), "UUUUU");
    EXPECT_EQ(bandText(shown.shots[3], 3, 2), "SSS");
    EXPECT_EQ(bandText(shown.shots[4], 3, 0), "SUUUU");
    EXPECT_EQ(bandText(shown.shots[5], 3, 0), "SSSSS");

    EXPECT_EQ(shown.shots[6].count(kBackground), kCdgScreenWidth * kCdgScreenHeight);
}

TEST(CdgWriter, TitlePageOnlyWithACreditAndTimeBeforeTheFirstLine) {
    struct {
        const char* title;
        const char* artist;
        int32_t firstStart;
        bool page;
    } cases[] = {
        {"Song", "Singer", 600, true},
        {"", "Singer", 600, true},
        {"Song", "", 600, true},
        {"", "", 600, false},
        {"Song", "Singer", 250, false},
    };
    for (const auto& c : cases) {
        CdgOptions options;
        options.titleGbk = c.title;
        options.artistGbk = c.artist;
        options.durationMs = 8000;
        Playback shown = play(encode(oneLine(c.firstStart, "la la", times({0, 30, 60, 90, 120, 150})), options),
                              {0.5, c.firstStart / 100.0 - 0.1});
        ASSERT_EQ(shown.shots.size(), 2u);
        EXPECT_EQ(shown.shots[0].count(kTitle) > 0, c.page) << c.title << "/" << c.artist << " " << c.firstStart;
        EXPECT_EQ(shown.shots[1].count(kTitle), 0) << c.title << "/" << c.artist << " " << c.firstStart;
        EXPECT_EQ(bandText(shown.shots[1], 3, 0), "UUUU") << c.title << "/" << c.artist << " " << c.firstStart;
    }
}

// A line whose band frees up too late is drawn as soon as it can be, already
// showing the characters sung meanwhile; a word turning at once is recoloured
// in time although its tiles need many packets.
TEST(CdgWriter, CrowdedMomentsStayInTime) {
    LyricSheet sheet;
    sheet.addLine(makeLine(200, g("你好世界"), times({0, 25, 50, 75, 100})));
    sheet.addLine(makeLine(303, "a", times({0, 3})));
    sheet.addLine(makeLine(309, g("一二三四五六"), times({0, 20, 40, 60, 80, 100, 120})));
    sheet.addLine(makeLine(500, "abcdefghijklmnopqrstuvwxyzabcd", times({0,   5,   10,  15,  20,  25,  30,  35,
                                                                          40,  45,  50,  55,  60,  65,  70,  75,
                                                                          80,  85,  90,  95,  100, 105, 110, 115,
                                                                          120, 125, 130, 135, 140, 145, 150})));
    CdgOptions options;
    options.linesOnScreen = 2;
    options.durationMs = 8000;
    Playback shown = play(encode(sheet, options), {3.09 + 0.7, 5.0 + 1.0 / 300});
    ASSERT_EQ(shown.shots.size(), 2u);
    EXPECT_EQ(bandText(shown.shots[0], 2, 0), "SSSSUU");
    EXPECT_EQ(bandText(shown.shots[1], 2, 1), std::string(30, 'S'));
}

}  // namespace
}  // namespace melnix
