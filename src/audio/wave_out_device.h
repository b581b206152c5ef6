// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The wave engine's view of the audio output: at most maxQueuedBuffers
// buffers in flight, every write played, the position in samples, pause, restart, reset and drain. The worker thread owns it while a
// song plays; the user interface only pauses, resets, reads the position and
// sets the volume, which the output allows from any thread.

#include <atomic>
#include <cstdint>
#include <memory>
#include <stdexcept>

#include "audio/audio_stream_config.h"
#include "audio/block_processor.h"
#include "platform/audio_output.h"

namespace melnix {

class AudioDeviceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class WaveOutDevice final : public BlockSink {
public:
    // output may be null: there is no device, and Open fails.
    WaveOutDevice(AudioStreamConfig& config, std::unique_ptr<AudioOutput> output);

    // Worker thread.
    // On failure: lastError 6. settle waits a moment for a real device to
    // take the format; an offline render does not.
    bool Open(bool settle = true);
    void Write(const uint8_t* data, size_t bytes) override;  // throws AudioDeviceError (lastError 6)
    void Pump();
    void WaitForDrain();
    void Reset();
    void Close();
    void Restart();
    void MarkPaused(bool paused) { paused_ = paused; }
    int queuedBuffers() const { return queuedBuffers_; }

    // Any thread.
    void Pause();
    void ResetOutput();
    bool isPaused() const { return paused_.load(); }
    bool isOpen() const { return isOpen_.load(); }
    // Samples played since the last open or reset; false without a device.
    bool Position(int64_t& samples) const;
    bool SetVolume(uint32_t v);
    uint32_t volume() const { return volume_.load(); }

    std::atomic<int32_t> baseBlock{0};  // blockIndex at the last open or reset

private:
    AudioStreamConfig& config_;
    std::unique_ptr<AudioOutput> output_;
    std::atomic<bool> isOpen_{false};
    std::atomic<bool> paused_{false};
    std::atomic<uint32_t> volume_{0};  // 0: not yet read
    int queuedBuffers_ = 0;
};

}  // namespace melnix
