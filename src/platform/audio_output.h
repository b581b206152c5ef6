// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where decoded PCM goes to be heard: one small interface and a backend per
// file (SDL2 for the desktop's sound server, null for machines without sound,
// a WAV file for tests and rendering). MELNIX_AUDIO chooses:
// "sdl" (default), "null" or "wav:PATH".
//
// Every call may come from any thread: the engine's worker writes while the
// user interface pauses, resets and reads the position.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace melnix {

struct PcmFormat {
    int sampleRate = 44100;
    int channels = 2;
    int bitsPerSample = 16;

    int bytesPerFrame() const { return channels * (bitsPerSample / 8); }
    // Integer PCM of 8 to 32 bits in whole bytes, 1 to 8 channels.
    bool valid() const;
};

constexpr uint32_t kFullVolume = 0xFFFFFFFF;  // left in the low word, right in the high word

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    virtual const char* name() const = 0;
    // Opens for the format (closing first when open). False when the device
    // is missing or refuses the format.
    virtual bool open(const PcmFormat& format) = 0;
    // Drops whatever is still queued.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues a copy of one buffer of whole frames. It counts as pending until it has
    // been played to its end (or dropped by reset or close).
    virtual bool write(const void* data, size_t bytes) = 0;
    virtual int pendingBuffers() = 0;
    // Frames played since open or the last reset.
    virtual int64_t playedFrames() = 0;
    virtual void pause() = 0;
    virtual void restart() = 0;
    // Drops every pending buffer and sets the position back to 0; a pause
    // stays in force.
    virtual void reset() = 0;

    // Why writing the sound out failed (a full disk, say), for outputs that
    // write files; empty while nothing failed.
    virtual std::string failure() const { return {}; }

    // Volume is applied to the samples in software, so every backend has it.
    void setVolume(uint32_t leftRight) { volume_.store(leftRight, std::memory_order_relaxed); }
    uint32_t volume() const { return volume_.load(std::memory_order_relaxed); }

private:
    std::atomic<uint32_t> volume_{kFullVolume};
};

// Scales the samples in place by the volume (full volume leaves them as they
// are). Even channels take the left word, odd channels the right one.
void applyVolume(uint8_t* data, size_t bytes, const PcmFormat& format, uint32_t leftRight);

std::unique_ptr<AudioOutput> makeSdlAudioOutput();
std::unique_ptr<AudioOutput> makeNullAudioOutput();
std::unique_ptr<AudioOutput> makeWavAudioOutput(const std::string& path);

// The backend named by choice ("sdl", "null", "wav:PATH", or empty for sdl);
// nullptr when the choice names none of them.
std::unique_ptr<AudioOutput> createAudioOutput(std::string_view choice);
// The backend chosen by the environment (MELNIX_AUDIO).
std::unique_ptr<AudioOutput> createAudioOutput();

}  // namespace melnix
