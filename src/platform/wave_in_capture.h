// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tiny continuous recording of the default recording source, whose newest
// samples give a level while a song plays in a hosted player (which lends us
// none of its own). Mono, 16 bits, 11025 samples a second.

#include <array>
#include <atomic>
#include <cstdint>

namespace melnix {

constexpr int kCaptureRate = 11025;
constexpr int kCaptureRing = 256;

class WaveInCapture {
public:
    WaveInCapture() = default;
    ~WaveInCapture();
    WaveInCapture(const WaveInCapture&) = delete;
    WaveInCapture& operator=(const WaveInCapture&) = delete;

    // 0 when recording runs; otherwise nonzero (no recording device, no
    // sound at all by choice of MELNIX_AUDIO, a refused format).
    int Start();
    void Pause();
    void Resume();
    void Close();
    bool running() const { return device_ != 0; }

    int16_t NewestSample() const;
    // The largest magnitude among the last kCaptureRing samples (about 23 ms).
    int RecentPeak() const;

    // The samples as the device delivers them (its callback; tests).
    void deliver(const int16_t* samples, int count);

private:
    uint32_t device_ = 0;
    std::array<std::atomic<int16_t>, kCaptureRing> ring_{};
    std::atomic<uint64_t> written_{0};
};

// A captured sample's magnitude as a waveform level: /129, at most 254.
int captureLevel(int magnitude);

}  // namespace melnix
