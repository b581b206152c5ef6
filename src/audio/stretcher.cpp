// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/stretcher.h"

#include <rubberband/RubberBandStretcher.h>

#include <algorithm>
#include <cmath>

namespace melnix {
namespace {

using RubberBand::RubberBandStretcher;

// Input goes in pieces of at most this many frames, so the buffers the
// library allocates stay small and every piece's output is taken at once.
constexpr int kPieceFrames = 1024;
constexpr float kSampleScale = 32768.0f;
// A moved key keeps the song's loudness: the output's level follows the
// input's, measured over about a second and moved towards it over a fifth
// of one, never by more than 6 dB either way.
constexpr double kLevelSeconds = 1.0;
constexpr double kGainSeconds = 0.2;
constexpr double kMaxLevelGain = 2.0;
constexpr double kQuietEnergy = 1e-8;  // about -80 dBFS: silence says nothing of the level

// A voice moved in key keeps its formants, so it still sounds like itself;
// that costs a quarter more work, which a time stretch alone does without.
RubberBandStretcher::Options formantOption(double pitchScale) {
    return pitchScale != 1.0 ? RubberBandStretcher::OptionFormantPreserved : RubberBandStretcher::OptionFormantShifted;
}

int16_t toSample(float v) {
    const long s = std::lround(v * kSampleScale);
    return static_cast<int16_t>(std::clamp<long>(s, -32768, 32767));
}

}  // namespace

double keyPitchScale(int semitones) { return std::pow(2.0, semitones / 12.0); }

Stretcher::Stretcher() = default;
Stretcher::~Stretcher() = default;

void Stretcher::Reset() {
    if (rb_) rb_->reset();
    started_ = false;
    toDrop_ = 0;
    inputFrames_ = 0;
    outputFrames_ = 0;
    inEnergy_ = outEnergy_ = 0;
    gain_ = 1.0;
}

void Stretcher::Configure(int channels, int rate, double timeRatio, double pitchScale) {
    if (!rb_ || channels != channels_ || rate != rate_) {
        // One thread: the worker (or the render loop) is the only caller.
        // The finer engine keeps a held note even and onsets where they
        // were; its short window halves its work and its delay.
        const RubberBandStretcher::Options options =
            RubberBandStretcher::OptionProcessRealTime | RubberBandStretcher::OptionThreadingNever |
            RubberBandStretcher::OptionEngineFiner | RubberBandStretcher::OptionWindowShort |
            RubberBandStretcher::OptionPitchHighQuality | formantOption(pitchScale);
        rb_ = std::make_unique<RubberBandStretcher>(static_cast<size_t>(rate), static_cast<size_t>(channels), options,
                                                    timeRatio, pitchScale);
        rb_->setMaxProcessSize(kPieceFrames);
        channels_ = channels;
        rate_ = rate;
        ratio_ = timeRatio;
        pitch_ = pitchScale;
        in_.assign(static_cast<size_t>(channels), std::vector<float>(kPieceFrames));
        got_.assign(static_cast<size_t>(channels), std::vector<float>());
        started_ = false;
        toDrop_ = 0;
        inputFrames_ = 0;
        outputFrames_ = 0;
        inEnergy_ = outEnergy_ = 0;
        gain_ = 1.0;
    }
    if (timeRatio != ratio_) {
        rb_->setTimeRatio(timeRatio);
        ratio_ = timeRatio;
    }
    if (pitchScale != pitch_) {
        rb_->setFormantOption(formantOption(pitchScale));
        rb_->setPitchScale(pitchScale);
        pitch_ = pitchScale;
    }
}

void Stretcher::Process(const int16_t* in, int frames, int channels, int rate, double timeRatio, double pitchScale,
                        std::vector<int16_t>& out) {
    if (frames <= 0 || channels <= 0 || rate <= 0) return;
    Configure(channels, rate, timeRatio, pitchScale);
    std::vector<const float*> planes(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) planes[static_cast<size_t>(c)] = in_[static_cast<size_t>(c)].data();
    if (!started_) {
        // The library's own start-up: silence in, its delay cut from the output.
        started_ = true;
        int pad = static_cast<int>(rb_->getPreferredStartPad());
        toDrop_ = static_cast<int64_t>(rb_->getStartDelay());
        for (auto& plane : in_) std::fill(plane.begin(), plane.end(), 0.0f);
        while (pad > 0) {
            const int n = std::min(pad, kPieceFrames);
            Feed(planes.data(), n, out);
            pad -= n;
        }
    }
    for (int done = 0; done < frames;) {
        const int n = std::min(frames - done, kPieceFrames);
        const double a = 1.0 / (kLevelSeconds * rate);
        for (int k = 0; k < n; ++k) {
            const int16_t* f = in + static_cast<ptrdiff_t>(done + k) * channels;
            double e = 0;
            for (int c = 0; c < channels; ++c) {
                const float v = f[c] / kSampleScale;
                in_[static_cast<size_t>(c)][static_cast<size_t>(k)] = v;
                e += static_cast<double>(v) * v;
            }
            inEnergy_ += a * (e / channels - inEnergy_);
        }
        Feed(planes.data(), n, out);
        inputFrames_ += n;
        done += n;
    }
}

void Stretcher::Feed(const float* const* planes, int frames, std::vector<int16_t>& out) {
    rb_->process(planes, static_cast<size_t>(frames), false);
    Drain(out, INT64_MAX);
}

// Takes what the library has ready, cutting its start delay, up to limit
// output frames since the stream began.
void Stretcher::Drain(std::vector<int16_t>& out, int64_t limit) {
    for (;;) {
        const int available = rb_->available();
        if (available <= 0) return;
        for (auto& plane : got_) plane.resize(static_cast<size_t>(available));
        std::vector<float*> planes(static_cast<size_t>(channels_));
        for (int c = 0; c < channels_; ++c) planes[static_cast<size_t>(c)] = got_[static_cast<size_t>(c)].data();
        const int n = static_cast<int>(rb_->retrieve(planes.data(), static_cast<size_t>(available)));
        if (n <= 0) return;
        int from = 0;
        if (toDrop_ > 0) {
            from = static_cast<int>(std::min<int64_t>(toDrop_, n));
            toDrop_ -= from;
        }
        const int keep = static_cast<int>(std::min<int64_t>(n - from, std::max<int64_t>(limit - outputFrames_, 0)));
        // Only a moved key changes the level (the formants are kept); a time
        // stretch alone passes as it comes.
        const bool match = pitch_ != 1.0;
        const double a = 1.0 / (kLevelSeconds * rate_);
        const double g = 1.0 / (kGainSeconds * rate_);
        for (int k = from; k < from + keep; ++k) {
            if (match) {
                double e = 0;
                for (int c = 0; c < channels_; ++c) {
                    const double v = got_[static_cast<size_t>(c)][static_cast<size_t>(k)];
                    e += v * v;
                }
                outEnergy_ += a * (e / channels_ - outEnergy_);
                if (inEnergy_ > kQuietEnergy && outEnergy_ > kQuietEnergy) {
                    const double target = std::clamp(std::sqrt(inEnergy_ / outEnergy_), 1.0 / kMaxLevelGain, kMaxLevelGain);
                    gain_ += g * (target - gain_);
                }
            }
            const auto level = static_cast<float>(match ? gain_ : 1.0);
            for (int c = 0; c < channels_; ++c)
                out.push_back(toSample(level * got_[static_cast<size_t>(c)][static_cast<size_t>(k)]));
        }
        outputFrames_ += keep;
    }
}

void Stretcher::Finish(std::vector<int16_t>& out) {
    if (!rb_ || !started_) return;
    const auto expected = static_cast<int64_t>(std::llround(static_cast<double>(inputFrames_) * ratio_));
    // Silence pushes the held-back end through; bounded, as the library
    // holds at most a few of its windows.
    std::vector<const float*> planes(static_cast<size_t>(channels_));
    for (int c = 0; c < channels_; ++c) {
        std::fill(in_[static_cast<size_t>(c)].begin(), in_[static_cast<size_t>(c)].end(), 0.0f);
        planes[static_cast<size_t>(c)] = in_[static_cast<size_t>(c)].data();
    }
    for (int round = 0; round < 256 && outputFrames_ < expected; ++round) {
        rb_->process(planes.data(), kPieceFrames, false);
        Drain(out, expected);
    }
    // Never short: what the library did not give is silence.
    for (; outputFrames_ < expected; ++outputFrames_)
        for (int c = 0; c < channels_; ++c) out.push_back(0);
    started_ = false;
}

}  // namespace melnix
