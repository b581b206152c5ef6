// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading the event stream of one MTrk chunk, shared by every scan of the
// song and by the stream player. Every read is bounded by the end of the
// track's data: a track whose data runs out inside an event simply ends.

#include <cstdint>
#include <vector>

namespace melnix {

constexpr uint8_t kStatusNoteOff = 0x80;
constexpr uint8_t kStatusNoteOn = 0x90;
constexpr uint8_t kStatusController = 0xB0;
constexpr uint8_t kStatusProgram = 0xC0;
constexpr uint8_t kStatusChannelPressure = 0xD0;
constexpr uint8_t kStatusSysEx = 0xF0;
constexpr uint8_t kStatusSysExContinue = 0xF7;
constexpr uint8_t kStatusMeta = 0xFF;

constexpr uint8_t kMetaText = 0x01;
constexpr uint8_t kMetaTrackName = 0x03;
constexpr uint8_t kMetaLyric = 0x05;
constexpr uint8_t kMetaMarker = 0x06;
constexpr uint8_t kMetaEndOfTrack = 0x2F;
constexpr uint8_t kMetaTempo = 0x51;

constexpr uint8_t kControllerVolume = 7;

// Reads a variable-length quantity from at most `available` bytes. Returns
// the number of bytes used, or 0 or a negative count when the data ran out
// before a byte with bit 7 clear.
int ReadVarLen(const uint8_t* bytes, int64_t available, uint32_t& value);

struct MidiEvent {
    uint8_t status = 0;       // 0x80..0xEF (channel), 0xF0, 0xF7 or 0xFF
    uint8_t data1 = 0;        // channel messages
    uint8_t data2 = 0;        // channel messages with two data bytes
    uint8_t metaType = 0;     // meta events
    uint32_t dataOffset = 0;  // first data byte (channel), or the meta / system-exclusive data
    uint32_t dataLength = 0;  // meta and system-exclusive data bytes

    uint8_t kind() const { return status >= kStatusSysEx ? status : static_cast<uint8_t>(status & 0xF0); }
    bool isNoteOn() const { return kind() == kStatusNoteOn; }
    bool isMeta(uint8_t type) const { return status == kStatusMeta && metaType == type; }
};

enum class EventRead {
    Event,       // an event was read
    EndOfTrack,  // the end-of-track meta event was read
    Stop,        // an unknown status or data that ran out: the walk of the track ends
};

// Reads the event at `cursor` (a delta time has been read before it) and
// moves the cursor past it. `runningStatus` is the track's running status.
EventRead ReadEvent(const std::vector<uint8_t>& data, uint32_t& cursor, uint32_t end, uint8_t& runningStatus,
                    MidiEvent& event);

// Reads a delta time at `cursor`, moving past it; false when the data ran out.
bool ReadDelta(const std::vector<uint8_t>& data, uint32_t& cursor, uint32_t end, uint32_t& delta);

}  // namespace melnix
