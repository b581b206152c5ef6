// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/voice_onsets.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

namespace melnix {
namespace {

// Onsets count as found within 30 ms of the true ones.
constexpr int32_t kToleranceCs = 3;
// Syllables stand out at least this much; what else is found stays under it.
constexpr float kStrong = 0.3f;

struct Tone {
    double startS;
    double lengthS;
    double hz;
    double left;  // gains: 1, 1 is the centre
    double right;
};

// A few seconds of song, built from harmonic tones with a 10 ms attack.
class Mix {
public:
    Mix(int rate, double seconds) : rate_(rate), left_(static_cast<size_t>(rate * seconds)), right_(left_.size()) {}

    void add(const Tone& t, int harmonics, double level) {
        const auto from = static_cast<size_t>(t.startS * rate_);
        const auto count = static_cast<size_t>(t.lengthS * rate_);
        for (size_t i = 0; i < count && from + i < left_.size(); ++i) {
            const double s = static_cast<double>(i) / rate_;
            const double envelope = std::min({1.0, s / 0.01, (t.lengthS - s) / 0.03});
            double v = 0;
            for (int k = 1; k <= harmonics; ++k) v += std::sin(2 * std::numbers::pi * t.hz * k * s) / k;
            v *= level * envelope;
            left_[from + i] += v * t.left;
            right_[from + i] += v * t.right;
        }
    }

    std::vector<int16_t> pcm(int channels) const {
        std::vector<int16_t> out;
        for (size_t i = 0; i < left_.size(); ++i) {
            if (channels == 1) {
                out.push_back(sample((left_[i] + right_[i]) / 2));
            } else {
                out.push_back(sample(left_[i]));
                out.push_back(sample(right_[i]));
            }
        }
        return out;
    }

private:
    static int16_t sample(double v) { return static_cast<int16_t>(std::lround(std::clamp(v, -1.0, 1.0) * 32767)); }

    int rate_;
    std::vector<double> left_;
    std::vector<double> right_;
};

// Two runs of sung syllables, centred, each on a note of its own.
const std::vector<double> kSyllableStarts = {0.5, 0.75, 1.0, 1.3, 1.55, 2.5, 2.75, 3.0};
const std::vector<double> kSyllableHz = {220, 247, 262, 220, 196, 294, 262, 247};
constexpr double kSyllableLength = 0.2;
// Chord attacks, some between syllables, some while one sounds.
const std::vector<double> kChordStarts = {0.2, 0.62, 1.15, 1.9, 2.2, 2.62, 3.4};

enum class Backing { None, SideChord, CentredChord, LowDrone };

Mix song(int rate, Backing backing) {
    Mix m(rate, 4.0);
    for (size_t i = 0; i < kSyllableStarts.size(); ++i)
        m.add({kSyllableStarts[i], kSyllableLength, kSyllableHz[i], 1, 1}, 8, 0.15);
    if (backing == Backing::SideChord || backing == Backing::CentredChord) {
        const bool side = backing == Backing::SideChord;
        for (double t : kChordStarts) {
            m.add({t, 0.4, 330, 1, side ? 0.05 : 1}, 6, 0.12);
            m.add({t, 0.4, 415, side ? 0.05 : 1, 1}, 6, 0.12);
            m.add({t, 0.4, 494, 1, side ? 0.1 : 1}, 6, 0.12);
        }
    }
    // Bass notes a singer's band leaves out: under 150 Hz.
    if (backing == Backing::LowDrone) m.add({0, 4.0, 55, 1, 1}, 2, 0.3);
    return m;
}

int32_t cs(double seconds) { return static_cast<int32_t>(std::lround(seconds * 100)); }

const VoiceOnset* nearest(const VoiceAnalysis& a, int32_t t) {
    const VoiceOnset* best = nullptr;
    for (const VoiceOnset& o : a.onsets)
        if (!best || std::abs(o.timeCs - t) < std::abs(best->timeCs - t)) best = &o;
    return best;
}

bool nearSyllable(int32_t t, int32_t within) {
    return std::any_of(kSyllableStarts.begin(), kSyllableStarts.end(),
                       [&](double s) { return std::abs(cs(s) - t) <= within; });
}

VoiceAnalysis analyse(const Mix& m, int channels, int rate) {
    std::vector<int16_t> pcm = m.pcm(channels);
    VoiceAnalysis a;
    EXPECT_TRUE(analyzeVoice(pcm, channels, rate, a));
    return a;
}

struct SceneCase {
    const char* name;
    int channels;
    int rate;
    Backing backing;
};

class VoiceSceneTest : public ::testing::TestWithParam<SceneCase> {};

TEST_P(VoiceSceneTest, FindsTheSyllables) {
    const SceneCase& c = GetParam();
    VoiceAnalysis a = analyse(song(c.rate, c.backing), c.channels, c.rate);

    EXPECT_EQ(a.lengthCs(), 400);
    for (double s : kSyllableStarts) {
        const VoiceOnset* o = nearest(a, cs(s));
        ASSERT_NE(o, nullptr);
        EXPECT_LE(std::abs(o->timeCs - cs(s)), kToleranceCs) << "syllable at " << s << " s";
        EXPECT_GE(o->strength, kStrong) << "syllable at " << s << " s";
    }
    for (const VoiceOnset& o : a.onsets)
        if (o.strength >= kStrong) {
            EXPECT_TRUE(nearSyllable(o.timeCs, kToleranceCs)) << "stray onset at " << o.timeCs;
        }

    // Each run of syllables lies within one phrase.
    for (auto [first, last] : {std::pair{0, 4}, std::pair{5, 7}}) {
        const int32_t from = cs(kSyllableStarts[first]) + kToleranceCs;
        const int32_t to = cs(kSyllableStarts[last] + kSyllableLength) - kToleranceCs;
        EXPECT_TRUE(std::any_of(a.phrases.begin(), a.phrases.end(),
                                [&](const VoicedPhrase& p) { return p.startCs <= from && p.endCs >= to; }))
            << "syllables " << first << ".." << last;
    }
    // The gap between the runs is no phrase's.
    for (const VoicedPhrase& p : a.phrases) EXPECT_FALSE(p.startCs < cs(1.9) && p.endCs > cs(2.1));
}

INSTANTIATE_TEST_SUITE_P(Scenes, VoiceSceneTest,
                         ::testing::Values(SceneCase{"StereoVoiceAlone", 2, 44100, Backing::None},
                                           SceneCase{"StereoOverSideChord", 2, 44100, Backing::SideChord},
                                           SceneCase{"StereoOverLowDrone", 2, 48000, Backing::LowDrone},
                                           SceneCase{"MonoOverLowDrone", 1, 22050, Backing::LowDrone}),
                         [](const auto& c) { return std::string(c.param.name); });

// The chord's attacks between syllables are kept out when the chord is
// panned to the sides, and are found when the same chord sits in the
// centre: it is the centre that tells the voice apart.
TEST(VoiceOnsetsTest, SidePannedAttacksAreSuppressed) {
    constexpr int kRate = 44100;
    VoiceAnalysis side = analyse(song(kRate, Backing::SideChord), 2, kRate);
    VoiceAnalysis centred = analyse(song(kRate, Backing::CentredChord), 2, kRate);

    float weakestVoice = 1;
    for (double s : kSyllableStarts) weakestVoice = std::min(weakestVoice, nearest(side, cs(s))->strength);
    int centredFound = 0;
    for (double t : kChordStarts) {
        if (nearSyllable(cs(t), 10)) continue;
        for (const VoiceOnset& o : side.onsets) {
            if (std::abs(o.timeCs - cs(t)) <= kToleranceCs) {
                EXPECT_LT(o.strength, weakestVoice / 2) << "chord at " << t << " s";
            }
        }
        const VoiceOnset* o = nearest(centred, cs(t));
        if (o && std::abs(o->timeCs - cs(t)) <= kToleranceCs && o->strength >= kStrong) ++centredFound;
    }
    EXPECT_GE(centredFound, 2);
}

TEST(VoiceOnsetsTest, SilenceHasNoVoice) {
    std::vector<int16_t> pcm(2 * 44100 * 2, 0);
    VoiceAnalysis a;
    ASSERT_TRUE(analyzeVoice(pcm, 2, 44100, a));
    EXPECT_EQ(a.lengthCs(), 200);
    EXPECT_TRUE(a.onsets.empty());
    EXPECT_TRUE(a.phrases.empty());
    EXPECT_EQ(*std::max_element(a.voicing.begin(), a.voicing.end()), 0.0f);
}

TEST(VoiceOnsetsTest, RefusesWhatItCannotRead) {
    std::vector<int16_t> pcm(4410 * 6, 100);
    for (auto [channels, rate] : {std::pair{3, 44100}, std::pair{0, 44100}, std::pair{2, 0}, std::pair{1, 4000}}) {
        VoiceAnalysis a;
        a.voicing.assign(5, 1.0f);
        EXPECT_FALSE(analyzeVoice(pcm, channels, rate, a)) << channels << " channels at " << rate;
        EXPECT_TRUE(a.voicing.empty());
    }
}

TEST(VoiceOnsetsTest, CancelStopsWithNothing) {
    std::vector<int16_t> pcm = song(44100, Backing::None).pcm(2);
    std::atomic<bool> cancel{true};
    VoiceAnalysis a;
    EXPECT_FALSE(analyzeVoice(pcm, 2, 44100, a, &cancel));
    EXPECT_TRUE(a.voicing.empty());
    EXPECT_TRUE(a.onsets.empty());
}

TEST(VoiceOnsetsTest, ProgressRisesToTheEnd) {
    std::vector<int16_t> pcm = song(22050, Backing::None).pcm(1);
    std::vector<int> seen;
    VoiceAnalysis a;
    ASSERT_TRUE(analyzeVoice(pcm, 1, 22050, a, nullptr, [&](int p) { seen.push_back(p); }));
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_GE(seen.front(), 0);
    EXPECT_EQ(seen.back(), 100);
}

}  // namespace
}  // namespace melnix
