// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Automatic timing of a line from the melody notes of a MIDI song: from the
// clicked character on, each sung character starts with the next note.

#include "common/record_array.h"
#include "lyrics/lyric_sheet.h"
#include "midi/midi_types.h"
#include "sync/edit_result.h"

namespace melnix {

// More notes than this and the song is not a plain melody.
constexpr int kMaxMelodyNotes = 1000;

// Right click at editor position p in the lyric adjustment area of a MIDI
// song that plays only its melody track. notes are the song's notes, sorted
// by start. Nothing happens unless a sung character (two-byte, not a
// full-width mark) is under p and there are at most 1000 notes.
EditResult timeFromMelody(LyricSheet& sheet, int p, int timeScale, const RecordArray<NoteSpan>& notes);

}  // namespace melnix
