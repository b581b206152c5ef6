// SPDX-License-Identifier: GPL-3.0-or-later
// A MIDI song with its lyric lines, and a companion text file: the first two
// bytes give the companion's length (little-endian), its bytes follow, the
// rest is the song.
#include "common/byte_order.h"
#include "fuzz_support.h"
#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t textSize = std::min<size_t>(readLe16(data), size - 2);
    fuzz::MemoryPath companion(fuzz::bytesOf(data + 2, textSize));
    const uint8_t* song = data + 2 + textSize;
    MidiSongFile file;
    RecordArray<NoteSpan> notes;
    if (!file.LoadBytes(std::vector<uint8_t>(song, data + size), &notes)) return 0;
    file.companionPath = textSize ? companion.path() : std::string();
    LyricSheet sheet;
    ExtractLyrics(file, sheet);
    return 0;
}
