// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/midi_song_words.h"

#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"

namespace melnix {

bool readMidiLyrics(const std::string& path, LyricSheet& lines, int32_t& lengthMs) {
    MidiSongFile song;
    if (!song.LoadFile(path, nullptr)) return false;
    lines.clearLines();
    ExtractLyrics(song, lines);
    lengthMs = song.songLengthMs;
    return true;
}

}  // namespace melnix
