// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "lyrics/lyric_sheet.h"
#include "midi/midi_song_file.h"

namespace melnix {

// Songs with more timed words than this carry their own lyric; fewer may
// mean the words are in an "OKPLAY Version" companion file.
constexpr int kMaxSyllablesForCompanion = 100;

// Fills the sheet with the song's lyric lines: from the companion file when
// the song has at most 100 syllables and the file is there, otherwise from
// the song's own timed text. The sheet is cleared before the first line is
// added; when no line is made it is left as it was. Returns the line count.
int ExtractLyrics(MidiSongFile& song, LyricSheet& sheet);

}  // namespace melnix
