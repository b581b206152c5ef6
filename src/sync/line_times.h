// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lines and characters on the song's time line: finding the line at a
// position, and moving lines and characters. Lines are chained: whatever
// moves a line's start or end moves every later line by the same amount.

#include <cstdint>
#include <string_view>
#include <vector>

#include "lyrics/lyric_sheet.h"

namespace melnix {

// The display moves on to the next line this long before a line ends.
constexpr int kCurrentLineLeadCs = 10;
// Every time-line operation shares the model's limit on a line's length:
// a longer line would be reset to default times by the next load.
constexpr int kMaxEditedDuration = kMaxLineDuration;

// Positions p are in editor units (centiseconds times timeScale).

// The first line whose end is later than p; lineCount() when none. A line
// found ending no more than 3 cs after the line before it is repaired on the
// way (its times made consistent and the line moved 3 cs clear).
int LineForEdit(LyricSheet& sheet, int p, int timeScale);

// The line that holds p, or the nearest line before it; -1 when p lies
// before the first line.
int LineForDisplay(const LyricSheet& sheet, int p, int timeScale);

// The line shown while playing: the first whose end lies more than 10 cs
// after p; lineCount() when none. It only reads: what is shown never changes
// the lyric (a loaded lyric is already in order, and edits repair as they go).
int CurrentLine(const LyricSheet& sheet, int p, int timeScale);

// d != 0: moves line i and every later line by d. d == 0: the overlap
// repair, which moves each line from i + 1 on (and all after it) just far
// enough to start 3 cs after the line before it.
void ShiftLinesFrom(LyricSheet& sheet, int i, int32_t d);

// Moves character c of line `line` (its start for c == 0, so the whole
// line), the characters after it, the line's end and every later line by
// delta. The caller keeps the time rules.
void moveCharsFrom(LyricSheet& sheet, int line, int c, int32_t delta);

// Absolute start of character c of a line (c == charCount: its end).
inline int32_t charStart(const LyricLine& l, int c) { return l.startTime + l.charTimes[static_cast<size_t>(c)]; }

inline int charTotal(const LyricLine& l) { return static_cast<int>(l.charTimes.size()) - 1; }

// Byte offset of every character of GBK text.
std::vector<int> charOffsets(std::string_view text);

// Characters that get their own time from a press or a note: two-byte
// characters outside the full-width punctuation and symbol rows 0xA1..0xAF.
bool isTimedChar(std::string_view text, int c);

struct CharRef {
    int line = -1;
    int index = -1;
    bool found() const { return line >= 0; }
};

// The character whose box in the lyric adjustment area holds p. A box runs
// from the character's start to the next one's; the last character's box
// reaches 200 units beyond the line's end, but a real box of the next line
// wins over that extension.
CharRef charBoxAt(const LyricSheet& sheet, int p, int timeScale);

}  // namespace melnix
