// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The MIDI stream service the player relies on: queued buffers of timed
// 12-byte events played in order on the device's own thread, tempo events,
// a notification for every buffer done, the position in milliseconds of
// stream time, pause, restart, reset and short messages sent at once.
// One small interface and a backend per file; the FluidSynth backend renders
// into an AudioOutput. No soundfont or no audio output means no device at all
// (createMidiStreamDevice returns null), and the player runs on its clock.
//
// Results are 0 for success or one of the error codes below, so that a
// caller can report what failed.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/audio_output.h"

namespace melnix {

// One stream event as it lies in a buffer.
struct MidiStreamEvent {
    uint32_t deltaTicks = 0;  // ticks after the event before it
    uint32_t streamId = 0;    // always 0: one stream
    uint32_t event = 0;       // type and flags in the top byte, parameters below
};
static_assert(sizeof(MidiStreamEvent) == 12, "stream events are 12 bytes in the buffers");

// The top byte of the event word.
constexpr uint32_t kMidiEventShortMsg = 0x00000000;  // a channel message in the low 24 bits
constexpr uint32_t kMidiEventTempo = 0x01000000;     // microseconds per quarter note in the low 24 bits
constexpr uint32_t kMidiEventNop = 0x02000000;
constexpr uint32_t kMidiEventCallback = 0x40000000;  // notify when the event plays
constexpr uint32_t kMidiEventLong = 0x80000000;      // parameter bytes follow (skipped here)
constexpr uint32_t kMidiEventTypeMask = 0x3F000000;
constexpr uint32_t kMidiEventParamMask = 0x00FFFFFF;
constexpr uint32_t kMidiMaxTempo = kMidiEventParamMask;

// Header flags.
constexpr uint32_t kMidiHeaderDone = 0x01;
constexpr uint32_t kMidiHeaderPrepared = 0x02;
constexpr uint32_t kMidiHeaderInQueue = 0x04;

// A buffer of stream events handed to the device. The bytes belong to the
// caller and must stay untouched while the header is queued.
struct MidiHeader {
    const uint8_t* data = nullptr;
    uint32_t bufferLength = 0;
    uint32_t bytesRecorded = 0;
    std::atomic<uint32_t> flags{0};
};

constexpr uint32_t kMidiMaxBufferBytes = 65536;

// Result codes, numbered as the system service numbers them.
constexpr int kMidiOk = 0;
constexpr int kMidiErrorGeneral = 1;
constexpr int kMidiErrorInvalidHandle = 5;  // the device is not open
constexpr int kMidiErrorNoDriver = 6;       // no soundfont or no audio output
constexpr int kMidiErrorNoMemory = 7;
constexpr int kMidiErrorInvalidParam = 11;
constexpr int kMidiErrorUnprepared = 64;    // a header queued without being prepared
constexpr int kMidiErrorStillPlaying = 65;  // a header unprepared while still queued

// What the device tells its client, on the device's thread unless noted.
enum class MidiStreamNotice {
    Open,              // during open, on the caller's thread
    Close,             // during close, on the caller's thread
    Done,              // a buffer has played (or was dropped by a reset, on the resetting thread)
    PositionCallback,  // an event with kMidiEventCallback has played
};

// A plain function with the client's instance data. It must not call back
// into the device.
using MidiStreamCallback = void (*)(MidiStreamNotice notice, void* instance, MidiHeader* header);

class MidiStreamDevice {
public:
    virtual ~MidiStreamDevice() = default;

    virtual const char* name() const = 0;
    // Opens the stream, stopped, with an empty queue.
    virtual int open(MidiStreamCallback callback, void* instance) = 0;
    // Resets and closes; no notice comes after it returns.
    virtual int close() = 0;
    // Ticks per quarter note.
    virtual int setTimeDivision(uint32_t division) = 0;
    virtual int prepareHeader(MidiHeader& header) = 0;
    virtual int unprepareHeader(MidiHeader& header) = 0;
    // Queues a prepared header behind those already queued.
    virtual int out(MidiHeader& header) = 0;
    // Starts or continues playing.
    virtual int restart() = 0;
    // Holds the stream where it is; sounding notes are silenced.
    virtual int pause() = 0;
    // Silences everything, returns every queued buffer in order, sets the
    // position back to 0 and leaves the stream stopped. Done notices for the
    // dropped buffers come before it returns.
    virtual int reset() = 0;
    // Milliseconds of stream time played since the last reset.
    virtual int positionMs(uint32_t& ms) = 0;
    // A channel message (status | data1 << 8 | data2 << 16), sent at once.
    virtual int shortMessage(uint32_t message) = 0;
    // Semitones every note but those of the percussion channel (10) is
    // moved by from the next note on; notes sounding keep their pitch.
    virtual void setKey(int) {}
    // Nothing queued and nothing sounding any more.
    virtual bool idle() = 0;
};

// The soundfont to use: MELNIX_SOUNDFONT when set, else the first General
// MIDI soundfont installed; empty when there is none.
std::string findSoundfont();

std::unique_ptr<MidiStreamDevice> makeFluidSynthMidiDevice(const std::string& soundfont,
                                                           std::unique_ptr<AudioOutput> output);

// The device the environment allows: FluidSynth with the soundfont found and
// the audio output MELNIX_AUDIO chooses, or null when either is missing.
std::unique_ptr<MidiStreamDevice> createMidiStreamDevice();

}  // namespace melnix
