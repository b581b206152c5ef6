// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <cstdint>

#include "common/record_array.h"
#include "lyrics/lyric_sheet.h"
#include "midi/midi_types.h"

namespace melnix {

// Longest line buffer: text waiting to be broken into lines of 30 bytes.
constexpr int kLineBufferBytes = 800;

// Makes lyric lines out of a song's timed text events. "/" and "\" mark the
// ends of lines (at a syllable's end, or at the start of the next one),
// syllables beginning with "@" at a line start are karaoke-file headers,
// and long lines are broken at 30 bytes. Lines are added to the sheet,
// which is cleared before the first one; no line leaves it unchanged.
// Returns the number of lines made.
int BuildLinesFromSyllables(const RecordArray<MidiSyllable>& syllables, int32_t songLengthMs, LyricSheet& sheet);

}  // namespace melnix
