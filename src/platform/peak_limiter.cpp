// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/peak_limiter.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace melnix {
namespace {

constexpr double kLookAheadSeconds = 0.005;
constexpr double kReleaseSeconds = 0.15;

}  // namespace

PeakLimiter::PeakLimiter(int channels, int sampleRate, float ceiling)
    : channels_(std::max(channels, 1)),
      lookAhead_(std::max(1, static_cast<int>(std::lround(kLookAheadSeconds * sampleRate)))),
      ceiling_(ceiling),
      release_(static_cast<float>(1.0 - std::exp(-1.0 / (kReleaseSeconds * sampleRate)))) {
    Reset();
}

void PeakLimiter::Reset() {
    delay_.assign(static_cast<size_t>(lookAhead_ * channels_), 0.0f);
    need_.assign(static_cast<size_t>(lookAhead_), 1.0f);
    limited_ = 0;
    gain_ = 1.0f;
    at_ = 0;
    toSkip_ = lookAhead_;
}

int PeakLimiter::Process(const float* in, int frames, int16_t* out) {
    int written = 0;
    for (int f = 0; f < frames; ++f) {
        const float* x = in + static_cast<std::ptrdiff_t>(f) * channels_;
        // A held frame m frames from leaving needs the gain down to its own
        // by then: the gain moves toward it on a straight line, so it is
        // there when the peak is and no peak is cut flat.
        gain_ += (1.0f - gain_) * release_;
        if (limited_ > 0) {
            const float before = gain_;
            for (int m = 0; m < lookAhead_; ++m) {
                const float need = need_[static_cast<size_t>((at_ + m) % lookAhead_)];
                if (need < before) gain_ = std::min(gain_, before - (before - need) / static_cast<float>(m + 1));
            }
        }
        float* held = &delay_[static_cast<size_t>(at_ * channels_)];
        if (toSkip_ > 0) {
            --toSkip_;  // the silence the delay line starts with is not given out
        } else {
            int16_t* o = out + static_cast<std::ptrdiff_t>(written) * channels_;
            for (int c = 0; c < channels_; ++c) {
                const long s = std::lround(held[c] * gain_ * 32768.0f);
                o[c] = static_cast<int16_t>(std::clamp<long>(s, -32768, 32767));
            }
            ++written;
        }
        // The frame coming in takes the place of the one going out.
        float peak = 0;
        for (int c = 0; c < channels_; ++c) {
            peak = std::max(peak, std::abs(x[c]));
            held[c] = x[c];
        }
        float& need = need_[static_cast<size_t>(at_)];
        limited_ -= need < 1.0f ? 1 : 0;
        need = peak > ceiling_ ? ceiling_ / peak : 1.0f;
        limited_ += need < 1.0f ? 1 : 0;
        at_ = (at_ + 1) % lookAhead_;
    }
    return written;
}

}  // namespace melnix
