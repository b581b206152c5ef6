// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main-melody track of a song, and the note it sings at a time.

#include <cstdint>

#include "midi/midi_song_file.h"

namespace melnix {

// The first track marked as melody; else the only track of a one-track song,
// or the first track named "Melody" (any case, compared over at most six
// bytes), which is then marked. -1 when none.
int FindMelodyTrack(MidiSongFile& song);

// The key of the latest note of track that sounds at timeMs, or -1.
int melodyKeyAt(const RecordArray<NoteSpan>& notes, int track, int32_t timeMs);

}  // namespace melnix
