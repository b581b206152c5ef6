// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/midi_lyrics.h"

#include "midi/companion_lyrics.h"
#include "midi/syllable_lines.h"

namespace melnix {

int ExtractLyrics(MidiSongFile& song, LyricSheet& sheet) {
    if (song.syllables.size() <= kMaxSyllablesForCompanion && isCompanionFile(song.companionPath)) {
        // The markers replace the syllables only while the lines are built.
        RecordArray<MidiSyllable> words = song.syllables;
        song.CollectMarkers();
        RecordArray<MidiSyllable> markers = song.syllables;
        song.syllables = std::move(words);
        return BuildLinesFromCompanion(markers, readCompanionLines(song.companionPath), sheet);
    }
    return BuildLinesFromSyllables(song.syllables, song.songLengthMs, sheet);
}

}  // namespace melnix
