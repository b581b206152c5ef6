// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/peak_limiter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace melnix {
namespace {

constexpr double kPi = 3.14159265358979323846;

std::vector<int16_t> run(PeakLimiter& limiter, const std::vector<float>& in) {
    std::vector<int16_t> out(in.size());
    // In pieces of the synthesizer's block size, as the device feeds it.
    size_t written = 0;
    for (size_t at = 0; at < in.size(); at += 1024)
        written += 2 * static_cast<size_t>(limiter.Process(
                           in.data() + at, static_cast<int>(std::min<size_t>(1024, in.size() - at) / 2),
                           out.data() + written));
    out.resize(written);
    return out;
}

TEST(PeakLimiter, PassesQuietSoundUnchangedAndOnTime) {
    PeakLimiter limiter(2, 44100);
    std::vector<float> in(2 * 44100);
    for (size_t k = 0; k < in.size(); ++k) in[k] = static_cast<float>(0.5 * std::sin(2 * kPi * 440.0 * (k / 2) / 44100));
    const auto out = run(limiter, in);
    // What the look-ahead still holds comes out with the next sound.
    ASSERT_EQ(out.size(), in.size() - static_cast<size_t>(limiter.lookAheadFrames()) * 2);
    for (size_t k = 0; k < out.size(); ++k) ASSERT_EQ(out[k], static_cast<int16_t>(std::lround(in[k] * 32768.0f))) << k;
    // After a reset the stream starts on time again.
    limiter.Reset();
    EXPECT_EQ(run(limiter, in), out);
}

TEST(PeakLimiter, LoudPassagesStayBelowTheCeilingAndAreScaledNotCut) {
    PeakLimiter limiter(2, 44100, 0.95f);
    // Quiet, then a sudden passage at four times full scale, then quiet again.
    std::vector<float> in(2 * 3 * 44100);
    for (size_t k = 0; k < in.size(); ++k) {
        const size_t f = k / 2;
        const double amplitude = f >= 44100 && f < 2 * 44100 ? 4.0 : 0.3;
        in[k] = static_cast<float>(amplitude * std::sin(2 * kPi * 220.0 * f / 44100));
    }
    const auto out = run(limiter, in);
    int peak = 0;
    int atTop = 0;
    for (int16_t s : out) {
        peak = std::max(peak, std::abs(static_cast<int>(s)));
        if (std::abs(static_cast<int>(s)) >= 32767) ++atTop;
    }
    EXPECT_LE(peak, static_cast<int>(0.95 * 32768) + 1);
    EXPECT_EQ(atTop, 0);
    // The sound is scaled, not cut: the gain (output over input) moves
    // smoothly from frame to frame, where cutting peaks flat would make it
    // jump within every period.
    double worstStep = 0;
    double previous = -1;
    for (size_t k = 0; k < out.size(); k += 2) {
        if (std::abs(in[k]) < 0.5f) {
            previous = -1;
            continue;
        }
        const double gain = out[k] / (in[k] * 32768.0);
        if (previous > 0) worstStep = std::max(worstStep, std::abs(gain - previous) / previous);
        previous = gain;
    }
    EXPECT_LT(worstStep, 0.05);  // cutting at the ceiling makes steps of 20 % and more here
    // The quiet end comes back to its own level once the gain has recovered.
    const size_t late = out.size() - 2 * 4410;
    int latePeak = 0;
    for (size_t k = late; k < out.size(); ++k) latePeak = std::max(latePeak, std::abs(static_cast<int>(out[k])));
    EXPECT_NEAR(latePeak, 0.3 * 32768, 0.02 * 32768);
}

}  // namespace
}  // namespace melnix
