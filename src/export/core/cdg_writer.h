// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a timed lyric as CD+G graphics (".cdg", played beside an MP3 as
// "MP3+G"): 300 packets of 24 bytes a second drawing 6 x 12 pixel tiles in 16
// colours. A title page, then up to four lines on screen, each drawn before
// it is sung and recoloured character by character at the characters' times.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/lyric_sheet.h"

namespace melnix {

constexpr int kCdgPacketSize = 24;
constexpr int kCdgPacketsPerSecond = 300;
constexpr int kCdgScreenWidth = 300;
constexpr int kCdgScreenHeight = 216;
constexpr int kCdgTileWidth = 6;
constexpr int kCdgTileHeight = 12;
constexpr int kCdgColourCount = 16;

// The packet's command byte for TV graphics and the instructions we send.
constexpr uint8_t kCdgCommand = 0x09;
constexpr uint8_t kCdgMemoryPreset = 1;
constexpr uint8_t kCdgBorderPreset = 2;
constexpr uint8_t kCdgTileBlock = 6;
constexpr uint8_t kCdgLoadColoursLow = 30;
constexpr uint8_t kCdgLoadColoursHigh = 31;
constexpr uint8_t kCdgTileBlockXor = 38;

// The safe area players never cut: tile columns 1..48, rows 1..16.
constexpr int kCdgSafeLeft = kCdgTileWidth;
constexpr int kCdgSafeTop = kCdgTileHeight;
constexpr int kCdgSafeWidth = 288;
constexpr int kCdgSafeHeight = 192;

// One character drawn for the screen: coverage 0..255 per pixel, row by row.
// A cell as tall as the line (the letter at its place within it) and as wide
// as the character's advance; spaces come back blank.
struct CdgGlyph {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> coverage;
};

// Draws characters: the program with the show's fonts through Qt, tests with
// a block font.
class CdgGlyphSource {
public:
    virtual ~CdgGlyphSource() = default;
    virtual CdgGlyph draw(std::string_view gbkChar, int pixelHeight) = 0;
};

// The 16 colours (0xRRGGBB; 4 bits a channel reach the screen) and which of
// them the background, the letters, their outline and the title page take.
struct CdgPalette {
    std::array<uint32_t, kCdgColourCount> colours{0x000044, 0xFFFFFF, 0xFF8800, 0x000000, 0xFFCC00};
    int background = 0;
    int unsung = 1;
    int sung = 2;
    int outline = 3;
    int title = 4;
};

struct CdgOptions {
    std::string titleGbk, artistGbk;  // the title page; none when both are empty
    int64_t durationMs = 0;           // of the song: the stream is exactly this long
    int linesOnScreen = 3;            // 2..4
    int pixelHeight = 24;             // of a line; smaller when a line is too wide
    CdgPalette palette;
};

// The bytes of one packet, ready for the stream.
std::array<uint8_t, kCdgPacketSize> cdgPacket(uint8_t instruction, const std::array<uint8_t, 16>& data);

// The whole .cdg stream; empty with `error` set when it cannot be made (no
// lyric, no duration, options out of range, a line that fits at no size) or
// when cancel turned true ("cancelled"). progress gets 0..100.
std::vector<uint8_t> encodeCdg(const LyricSheet& sheet, const CdgOptions& options, CdgGlyphSource& glyphs,
                               std::string& error, const std::atomic<bool>* cancel = nullptr,
                               const std::function<void(int percent)>& progress = {});

}  // namespace melnix
