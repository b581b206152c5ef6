// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving a run of lines earlier or later as one block: the whole lyric, or a
// line and every line after it. Durations and the gaps inside the block stay;
// the block stops where the time rules would break.

#include <cstdint>

#include "lyrics/lyric_sheet.h"

namespace melnix {

struct ShiftResult {
    int32_t applied = 0;   // cs actually moved
    bool limited = false;  // less than asked, to keep the rules
};

// Moves line `first` and every later line by delta (cs). The block starts no
// earlier than 0, or 3 cs after the end of the line before it; it moves no
// later than the song's end allows its last line to start (songLength 0:
// unknown, only the largest time a lyric holds limits it).
ShiftResult shiftBlockFrom(LyricSheet& sheet, int first, int32_t delta, int32_t songLength);

}  // namespace melnix
