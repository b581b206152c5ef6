// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The quality time stretch and the singer's key: Rubber Band in real-time
// mode, fed block by block. Its output is lined up with its input (the
// library's start padding fed in, its start delay cut off), so output frame p
// is input frame p / ratio and the player's position stays exact.

#include <cstdint>
#include <memory>
#include <vector>

namespace RubberBand {
class RubberBandStretcher;
}

namespace melnix {

// The key moves by at most half an octave either way.
constexpr int kLowestKey = -6;
constexpr int kHighestKey = 6;

// 2^(semitones / 12).
double keyPitchScale(int semitones);

class Stretcher {
public:
    Stretcher();
    ~Stretcher();
    Stretcher(const Stretcher&) = delete;
    Stretcher& operator=(const Stretcher&) = delete;

    // A new stream begins (after a seek or a start): the next Process starts
    // with the library's padding again.
    void Reset();
    // Appends to out the interleaved output for frames of interleaved input.
    // timeRatio is output length over input length; pitchScale the frequency
    // factor.
    void Process(const int16_t* in, int frames, int channels, int rate, double timeRatio, double pitchScale,
                 std::vector<int16_t>& out);
    // At the stream's end: appends what the library still holds, so that the
    // output is round(input x ratio) frames long in all.
    void Finish(std::vector<int16_t>& out);
    // Input frames since Reset; 0 when the stream has not begun.
    int64_t inputFrames() const { return inputFrames_; }

private:
    void Configure(int channels, int rate, double timeRatio, double pitchScale);
    void Feed(const float* const* planes, int frames, std::vector<int16_t>& out);
    void Drain(std::vector<int16_t>& out, int64_t limit);

    std::unique_ptr<RubberBand::RubberBandStretcher> rb_;
    int channels_ = 0;
    int rate_ = 0;
    double ratio_ = 1.0;
    double pitch_ = 1.0;
    bool started_ = false;
    int64_t toDrop_ = 0;
    int64_t inputFrames_ = 0;
    int64_t outputFrames_ = 0;
    // Mean squares of input and output, and the gain that matches them.
    double inEnergy_ = 0;
    double outEnergy_ = 0;
    double gain_ = 1.0;
    std::vector<std::vector<float>> in_;
    std::vector<std::vector<float>> got_;
};

}  // namespace melnix
