// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/song_lyric.h"

#include "common/file.h"
#include "lyrics/lyric_file_kinds.h"
#include "lyrics/lyric_store.h"
#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"
#include "songlist/media_kind.h"
#include "songlist/song_session.h"

namespace melnix {

AppState readLastRunState() {
    AppState state;
    std::string bytes;
    if (readWholeFile(SongSession::stateFilePath(), bytes, kMaxStateFileBytes)) readStateBytes(bytes, state, true);
    return state;
}

void findLyric(const std::string& song, const SongEntry* entry, LyricSheet& sheet) {
    if (songCanCarryTailLyric(song) && readTailLyric(song, sheet) == TailLoad::Loaded) return;
    sheet.clearLines();
    if (entry && entry->hasLyricFile() && openLyricFile(entry->lyricRef, sheet) && !sheet.empty()) return;
    const std::string beside = timedLyricBeside(song, true);
    if (!beside.empty() && openLyricFile(beside, sheet) && !sheet.empty()) return;
    sheet.clearLines();
    if (isMidiSong(song)) {
        MidiSongFile midi;
        if (midi.LoadFile(song, nullptr)) ExtractLyrics(midi, sheet);
    }
}

}  // namespace melnix
