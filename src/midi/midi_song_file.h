// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One Standard MIDI File held in memory: its tracks, the tempo map that turns
// ticks into milliseconds, the per-track facts for the track dialog, the
// song's timed text events (syllables) and, when the caller wants one, the
// list of its notes. The stream player builds on it; the song list uses it
// alone to pull the words out of a song.

#include <cstdint>
#include <string>
#include <vector>

#include "common/record_array.h"
#include "midi/midi_types.h"

namespace melnix {

// The longest song rendered into a file (a render, a video's sound): a few
// bytes of MIDI can claim days, and a render of them would fill the disk.
constexpr int32_t kMaxRenderedSongMs = 2 * 60 * 60 * 1000;


struct MidiEvent;

// Larger songs are refused: the whole file is held in memory and the player
// converts all of it at every play.
constexpr int32_t kMaxMidiFileBytes = 280000;
constexpr int kMinDivision = 20;
constexpr int kMaxDivision = 30000;
// Text events are copied up to this many bytes (a little more may be stored).
constexpr size_t kMaxSyllableBytes = 999;

class MidiSongFile {
public:
    MidiSongFile() = default;
    virtual ~MidiSongFile() = default;

    // Reads, parses and scans the song. noteList (owned by the caller, may be
    // null) is cleared and then receives the song's notes. On failure the
    // file data is freed and false returned.
    bool LoadFile(const std::string& path, RecordArray<NoteSpan>* noteList);
    // The same steps on bytes already in memory (a built-in song, a test).
    bool LoadBytes(std::vector<uint8_t> bytes, RecordArray<NoteSpan>* noteList);

    // Reads the file, or the "data" chunk of a RIFF "RMID" file, into
    // fileData. Returns the byte count, or -1 for an unreadable, empty or
    // over-size file.
    int32_t ReadWholeFile(const std::string& path);

    // Parses the header and the track chunks of fileData.
    bool ParseChunks();

    // Milliseconds that tickCount ticks last from startTick on, starting the
    // tempo search at entry tempoIndex, which advances with the conversion
    // so that later calls on the same track resume there.
    int32_t TicksToMs(uint32_t startTick, uint32_t tickCount, int& tempoIndex) const;

    // Builds the tempo map and fills the facts of every track.
    void ScanTrackFacts();
    // Rebuilds syllables and the note list from every track.
    void CollectSyllablesAndNotes();
    // Appends the syllables (and notes) of track i; returns its end time.
    int32_t ScanTrack(int i);
    // Rebuilds syllables from the last track alone in marker mode: note 0
    // and note 1 events with velocity 0 become the markers of a companion
    // lyric file.
    void CollectMarkers();

    void RecordNote(int track, int32_t timeMs, int32_t deltaMs, uint8_t key, uint8_t velocity, int volume);

    // The first nameLength bytes of track i's name (GBK), or "" when none.
    std::string TrackName(int i) const;
    // The byte at offset in fileData, or null outside it.
    uint8_t* FileByte(int32_t offset);

    void Clear();

    std::vector<uint8_t> fileData;
    uint16_t format = 0;
    uint16_t trackCount = 0;
    uint16_t division = 0;
    int32_t divisionTimes1000 = 0;
    RecordArray<MidiTrack> tracks{16};
    RecordArray<TempoMapEntry> tempoMap{100};
    RecordArray<MidiSyllable> syllables{1000};
    RecordArray<NoteSpan>* noteList = nullptr;
    int32_t songLengthMs = 0;  // the last event's time
    std::string companionPath;
    bool markerMode = false;

private:
    bool loadFromData();
    void scanFactsOf(int i);
    void addTempo(int track, uint32_t tick, uint32_t tempo);
    void handleScannedEvent(int track, const MidiEvent& event, int32_t timeMs, int32_t deltaMs, int& volume);
    void finishOpenNotes();
    std::string copyText(uint32_t offset, uint32_t length) const;

    int noteCursor_ = 0;  // insertion search start; only moves forward during one track's scan
    int openFrom_ = -1;   // first span opened during this track's scan that may still be open
};

// The companion lyric file of a song: its path with the extension replaced
// by "TXT" (or "txt" when only that file exists, as names are case-sensitive here).
std::string companionPathFor(const std::string& songPath);

}  // namespace melnix
