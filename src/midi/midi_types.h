// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plain records of a loaded MIDI song: its tempo map, its tracks with the
// facts the track dialog shows, its timed text events and the notes the
// editor draws. The stream player, the sync-editing operations and the song
// list use them as they are.

#include <cstdint>
#include <string>

namespace melnix {

// One tempo change: from absolute tick `tick` on, a quarter note lasts
// `tempo` microseconds.
struct TempoMapEntry {
    uint32_t tempo = 0;
    uint32_t tick = 0;
};

constexpr uint32_t kDefaultTempo = 500000;  // 120 beats a minute until a tempo event says otherwise
constexpr uint32_t kMinTempo = 1000;
constexpr uint32_t kMaxTempo = 9000000;

// A timed text event of the song (a syllable of its words), or in marker
// mode a timing marker of a companion lyric file.
struct MidiSyllable {
    int32_t timeMs = 0;       // from the start of the song
    std::string text;         // GBK; control bytes already turned into "/"
    uint16_t durationMs = 0;  // to the next event of the same track, at most 32767
};

constexpr uint16_t kSyllableMaxDuration = 32767;
// Marker mode only: the marker continues the display line (note 1, not note 0).
constexpr uint16_t kMarkerContinues = 0x8000;

// One note of the song for the time line and the melody timing.
struct NoteSpan {
    int32_t startMs = 0;
    uint16_t durationMs = 0;  // 50..65534, kNoteLonger when longer
    uint8_t key = 0;
    uint8_t trackAndOpen = 0;  // track number in bits 0..6, kNoteOpen while no note-off was seen
    uint8_t level = 0;         // velocity x channel volume / 127

    int track() const { return trackAndOpen & kNoteTrackMask; }
    bool open() const { return (trackAndOpen & kNoteOpen) != 0; }

    static constexpr uint8_t kNoteTrackMask = 0x7F;
    static constexpr uint8_t kNoteOpen = 0x80;
};

constexpr int32_t kNoteMinDuration = 50;
constexpr int32_t kNoteMaxDuration = 65534;
constexpr uint16_t kNoteLonger = 65535;

// Track flags.
constexpr uint8_t kTrackFinished = 0x01;  // empty, or its end was reached during playback
constexpr uint8_t kTrackMuted = 0x02;     // silenced in the track dialog
constexpr uint8_t kTrackMelody = 0x04;    // the main-melody track

// One MTrk chunk of the song. Positions are byte offsets into the song's
// file data; an offset of -1 means "none". Offsets rather than pointers keep
// the record valid when the song object moves and let every write be checked.
struct MidiTrack {
    uint8_t flags = 0;
    uint32_t length = 0;  // bytes of event data
    uint32_t start = 0;   // first event byte
    uint32_t cursor = 0;  // next unread byte

    // Playback cursors of the stream player.
    uint32_t nextTick = 0;
    int tempoIndex = 0;
    int32_t nextMs = 0;
    uint8_t runningStatus = 0;

    // Facts for the track dialog. The byte offsets let it change a track's
    // instrument and volume by writing into the loaded file data.
    uint16_t noteCount = 0;          // note-ons with a velocity above 0
    uint8_t programPlus1 = 0;        // first program change + 1, 0 = none
    uint8_t secondProgramPlus1 = 0;  // first later program change that differs, + 1
    int32_t programByte = -1;        // data byte of the first program change
    uint8_t volumePlus1 = 0;         // first channel-volume value + 1, 0 = none
    int32_t volumeByte = -1;         // value byte of that controller
    int32_t name = -1;               // text of the first track-name event
    uint8_t nameLength = 0;          // at most 254

    bool finished() const { return (flags & kTrackFinished) != 0; }
    bool muted() const { return (flags & kTrackMuted) != 0; }
    uint32_t end() const { return start + length; }
};

constexpr uint8_t kMaxTrackNameLength = 254;

}  // namespace melnix
