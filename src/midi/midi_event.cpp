// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/midi_event.h"

namespace melnix {

int ReadVarLen(const uint8_t* bytes, int64_t available, uint32_t& value) {
    value = 0;
    int used = 0;
    for (;;) {
        if (used >= available) return -used;
        uint8_t b = bytes[used++];
        value = value * 128 + (b & 0x7F);
        if ((b & 0x80) == 0) return used;
    }
}

bool ReadDelta(const std::vector<uint8_t>& data, uint32_t& cursor, uint32_t end, uint32_t& delta) {
    if (end > data.size() || cursor >= end) return false;
    int used = ReadVarLen(data.data() + cursor, end - cursor, delta);
    if (used <= 0) return false;
    cursor += static_cast<uint32_t>(used);
    return true;
}

EventRead ReadEvent(const std::vector<uint8_t>& data, uint32_t& cursor, uint32_t end, uint8_t& runningStatus,
                    MidiEvent& event) {
    if (end > data.size() || cursor >= end) return EventRead::Stop;
    uint32_t pos = cursor;
    uint8_t status = data[pos];
    if (status >= 0x80) {
        ++pos;
    } else {
        // A data byte where a status is expected: running status.
        if (runningStatus == 0) return EventRead::Stop;
        status = runningStatus;
    }
    event = MidiEvent{};
    event.status = status;

    if (status < kStatusSysEx) {
        runningStatus = status;
        uint8_t kind = status & 0xF0;
        uint32_t count = (kind == kStatusProgram || kind == kStatusChannelPressure) ? 1 : 2;
        if (end - pos < count) return EventRead::Stop;
        event.dataOffset = pos;
        event.data1 = data[pos];
        if (count == 2) event.data2 = data[pos + 1];
        cursor = pos + count;
        return EventRead::Event;
    }

    if (status == kStatusMeta) {
        if (pos >= end) return EventRead::Stop;
        event.metaType = data[pos++];
    } else if (status != kStatusSysEx && status != kStatusSysExContinue) {
        return EventRead::Stop;
    }
    uint32_t length = 0;
    if (!ReadDelta(data, pos, end, length)) return EventRead::Stop;
    if (length > end - pos) return EventRead::Stop;
    event.dataOffset = pos;
    event.dataLength = length;
    cursor = pos + length;
    return event.isMeta(kMetaEndOfTrack) ? EventRead::EndOfTrack : EventRead::Event;
}

}  // namespace melnix
