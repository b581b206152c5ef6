// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of the subtitle line, kept apart from the window so that it
// can be checked without a display: where the text sits, which character lies
// under a point, how far the sung colour reaches at a time, and the font and
// rim sizes that follow from the height of the placement box.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace melnix {

// Only the first 80 bytes of a line are measured per character.
constexpr int kMaxMeasuredBytes = 80;

// Line timing before the first setLineTiming, in 1/100 s.
constexpr int kDefaultLineStart = 0;
constexpr int kDefaultLineEnd = 100;

// The wipe runs this far ahead of the sound, in 1/100 s.
constexpr int kWipeLead = 10;

struct SubtitleLayout {
    int textLeft = 0;
    int textWidth = 0;   // 0: nothing to show
    int textHeight = 0;
    int charCount = 0;   // characters measured, at most kMaxMeasuredBytes
    // charX[k]: pixel width of the first k characters.
    std::array<uint16_t, kMaxMeasuredBytes + 1> charX{};

    int textRight() const { return textLeft + textWidth; }
};

// x of the text in a box: centred text that does not fit starts at 0 and is
// cut at the box edge.
int textLeftInBox(int boxWidth, int textWidth, bool centred);

// The character under window x, -1 left of the text, the last character
// right of it.
int charAt(const SubtitleLayout& layout, int x);

struct LineTiming {
    int32_t lineStart = kDefaultLineStart;
    int32_t lineEnd = kDefaultLineEnd;
    int32_t lineLength = kDefaultLineEnd - kDefaultLineStart;
    // Start offsets of the characters from lineStart; empty: none. A copy, so
    // that the sheet may change or drop the line while it is shown.
    std::vector<uint16_t> charTimes;
};

// A line that would end at or before its start lasts 1/100 s.
LineTiming makeLineTiming(int32_t start, int32_t end, std::span<const uint16_t> charTimes);

// Pixels of the text coloured as sung at time t (1/100 s), 0..textWidth.
int wipePosition(const SubtitleLayout& layout, const LineTiming& timing, int32_t t);

struct FontSize {
    int width;
    int height;
};

// 7/8 of the box height, glyphs 0.37 of the font height wide on average.
FontSize fitFontSize(int boxHeight);

// The outline around the letters grows this far right and down.
inline int rimWidth(int boxHeight) { return boxHeight / 22; }
// The letters are drawn half a rim right and down, inside their outline.
inline int letterOffset(int boxHeight) { return boxHeight / 44; }

}  // namespace melnix
