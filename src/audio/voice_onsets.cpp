// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/voice_onsets.h"

#include <aubio/aubio.h>
#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <mutex>
#include <numbers>

namespace melnix {
namespace {

constexpr int kMinSampleRate = 8000;
constexpr int kMaxSampleRate = 192000;
constexpr int kHopsPerSecond = 100;

// About 46 ms: bins 21 Hz apart keep a voice's harmonics apart from an
// instrument's, and the pitch search sees two periods of the lowest voice.
constexpr double kFrameSeconds = 0.046;
// Hann windows a quarter frame apart, applied before and after the
// transform, add up to 1.5 everywhere.
constexpr int kFrameSteps = 4;
constexpr float kWindowSquaresSum = 1.5f;

// The voice's band: below it sit bass and kick drum, above it cymbals and
// hiss. The edges fall off gently so that the cut does not ring.
constexpr double kBandFloorHz = 130;
constexpr double kBandLowHz = 150;
constexpr double kBandHighHz = 4000;
constexpr double kBandCeilingHz = 5000;

// |L-R| / |L+R| at which a bin keeps half of itself: a sound panned a little
// off centre stays, one panned to a side goes.
constexpr float kCentreWidth = 0.25f;

constexpr smpl_t kMinVoiceHz = 80;
constexpr smpl_t kMaxVoiceHz = 1000;

// Hops quieter than this, or this far under the song's loud voice, are not
// sung: the pitch search finds a clean pitch in the faintest residue, and
// in what is left of the instruments between lines.
constexpr float kSilenceDb = -60;
constexpr float kQuietBelowLoudDb = 20;
constexpr float kGateRampDb = 10;
constexpr double kLoudShare = 0.95;

// Two syllables are rarely sung closer together than this.
constexpr smpl_t kMinOnsetGapMs = 50;
// A syllable's pitch settles a little after its attack, and a sung one
// holds it longer than a click does.
constexpr int kVoicedBeforeOnset = 2;
constexpr int kVoicedAfterOnset = 8;
constexpr int kMinVoicedHops = 4;
// The onset strength is read from the detection function near the onset.
constexpr int kStrengthBefore = 2;
constexpr int kStrengthAfter = 6;
// A syllable starts where its sound rises this much from the quiet before
// it, looked for this far back from the attack; attacks traced back to
// starts closer than kSameRiseCs are one syllable.
constexpr int64_t kRiseBackHops = 12;
constexpr float kRiseDb = 6;
constexpr float kBelowAttackDb = 20;
constexpr int32_t kSameRiseCs = 5;
// Strengths are against this share of the song's onsets, so that one burst
// does not make every other onset weak.
constexpr double kStrongShare = 0.9;

// Phrases are parted by a breath of at least this long (shorter gaps are
// consonants and held notes fading within a line); shorter voiced blips are noise.
constexpr int kPhraseGapCs = 50;
constexpr int kMinPhraseCs = 10;

// FFTW's planner, and aubio's through it, is not thread-safe.
std::mutex& planLock() {
    static std::mutex lock;
    return lock;
}

// The power of two nearest to kFrameSeconds.
int frameSizeFor(int sampleRate) {
    int n = 256;
    while (n * 2 <= sampleRate * kFrameSeconds * 1.4) n *= 2;
    return n;
}

float toDb(double power) { return static_cast<float>(10 * std::log10(std::max(power, 1e-12))); }

// Keeps the voice's share of each frame: stereo bins both sides share, in
// the voice's band. Frames overlap; each call finishes one step of output.
class VoiceEmphasis {
public:
    VoiceEmphasis(int sampleRate, int channels)
        : size_(frameSizeFor(sampleRate)), step_(size_ / kFrameSteps), channels_(channels) {
        const int bins = size_ / 2 + 1;
        left_ = fftwf_alloc_real(static_cast<size_t>(size_));
        right_ = fftwf_alloc_real(static_cast<size_t>(size_));
        time_ = fftwf_alloc_real(static_cast<size_t>(size_));
        leftSpec_ = fftwf_alloc_complex(static_cast<size_t>(bins));
        rightSpec_ = fftwf_alloc_complex(static_cast<size_t>(bins));
        outSpec_ = fftwf_alloc_complex(static_cast<size_t>(bins));
        {
            std::lock_guard<std::mutex> hold(planLock());
            forward_ = fftwf_plan_dft_r2c_1d(size_, left_, leftSpec_, FFTW_ESTIMATE);
            inverse_ = fftwf_plan_dft_c2r_1d(size_, outSpec_, time_, FFTW_ESTIMATE);
        }
        window_.resize(static_cast<size_t>(size_));
        for (int n = 0; n < size_; ++n)
            window_[static_cast<size_t>(n)] =
                static_cast<float>(0.5 - 0.5 * std::cos(2 * std::numbers::pi * n / size_));
        band_.resize(static_cast<size_t>(bins));
        for (int k = 0; k < bins; ++k) {
            double hz = static_cast<double>(k) * sampleRate / size_;
            double g = 0;
            if (hz >= kBandLowHz && hz <= kBandHighHz) g = 1;
            else if (hz > kBandFloorHz && hz < kBandLowHz) g = (hz - kBandFloorHz) / (kBandLowHz - kBandFloorHz);
            else if (hz > kBandHighHz && hz < kBandCeilingHz)
                g = (kBandCeilingHz - hz) / (kBandCeilingHz - kBandHighHz);
            band_[static_cast<size_t>(k)] = static_cast<float>(g);
        }
        overlap_.assign(static_cast<size_t>(size_), 0.0f);
        ready_.resize(static_cast<size_t>(step_));
    }

    ~VoiceEmphasis() {
        {
            std::lock_guard<std::mutex> hold(planLock());
            fftwf_destroy_plan(forward_);
            fftwf_destroy_plan(inverse_);
        }
        fftwf_free(left_);
        fftwf_free(right_);
        fftwf_free(time_);
        fftwf_free(leftSpec_);
        fftwf_free(rightSpec_);
        fftwf_free(outSpec_);
    }

    VoiceEmphasis(const VoiceEmphasis&) = delete;
    VoiceEmphasis& operator=(const VoiceEmphasis&) = delete;

    int frameSize() const { return size_; }
    int step() const { return step_; }

    // Takes the frame starting at song frame `start` (samples outside the
    // song are silence) and returns the finished output for [start, start + step).
    const float* process(std::span<const int16_t> samples, int64_t start) {
        const int64_t frames = static_cast<int64_t>(samples.size()) / channels_;
        for (int n = 0; n < size_; ++n) {
            const int64_t at = start + n;
            float l = 0;
            float r = 0;
            if (at >= 0 && at < frames) {
                const size_t i = static_cast<size_t>(at * channels_);
                l = samples[i] / 32768.0f;
                r = channels_ == 2 ? samples[i + 1] / 32768.0f : l;
            }
            left_[n] = l * window_[static_cast<size_t>(n)];
            right_[n] = r * window_[static_cast<size_t>(n)];
        }
        fftwf_execute_dft_r2c(forward_, left_, leftSpec_);
        if (channels_ == 2) fftwf_execute_dft_r2c(forward_, right_, rightSpec_);

        auto* l = reinterpret_cast<std::complex<float>*>(leftSpec_);
        auto* r = reinterpret_cast<std::complex<float>*>(rightSpec_);
        auto* out = reinterpret_cast<std::complex<float>*>(outSpec_);
        for (size_t k = 0; k < band_.size(); ++k) {
            const float g = band_[k];
            if (g == 0) {
                out[k] = 0;
            } else if (channels_ == 2) {
                const std::complex<float> sum = l[k] + r[k];
                const float spread = std::abs(l[k] - r[k]) / (std::abs(sum) + 1e-9f);
                const float q = spread / kCentreWidth;
                const float centre = 1.0f / (1.0f + q * q * q * q);
                out[k] = sum * (0.5f * centre * g);
            } else {
                out[k] = l[k] * g;
            }
        }
        fftwf_execute_dft_c2r(inverse_, outSpec_, time_);

        const float scale = 1.0f / (static_cast<float>(size_) * kWindowSquaresSum);
        for (int n = 0; n < size_; ++n)
            overlap_[static_cast<size_t>(n)] += time_[n] * window_[static_cast<size_t>(n)] * scale;
        std::copy_n(overlap_.begin(), step_, ready_.begin());
        std::copy(overlap_.begin() + step_, overlap_.end(), overlap_.begin());
        std::fill(overlap_.end() - step_, overlap_.end(), 0.0f);
        return ready_.data();
    }

private:
    int size_;
    int step_;
    int channels_;
    float* left_;
    float* right_;
    float* time_;
    fftwf_complex* leftSpec_;
    fftwf_complex* rightSpec_;
    fftwf_complex* outSpec_;
    fftwf_plan forward_;
    fftwf_plan inverse_;
    std::vector<float> window_;
    std::vector<float> band_;
    std::vector<float> overlap_;
    std::vector<float> ready_;
};

// aubio's pitch and onset search over the emphasised sound, hop by hop,
// keeping per hop only a few numbers.
class VoiceTracker {
public:
    VoiceTracker(int sampleRate, int hop, int frameSize) : hop_(hop) {
        std::lock_guard<std::mutex> hold(planLock());
        const uint_t h = static_cast<uint_t>(hop);
        // yinfast rather than yinfft: aubio 0.4.9's yinfft reports a confidence
        // of 0 for every pitch in the voice's range.
        pitch_ = new_aubio_pitch("yinfast", static_cast<uint_t>(frameSize), h, static_cast<uint_t>(sampleRate));
        const uint_t onsetWindow = static_cast<uint_t>(frameSize / 2);
        onset_ = new_aubio_onset("specflux", onsetWindow, h, static_cast<uint_t>(sampleRate));
        in_ = new_fvec(h);
        pitchOut_ = new_fvec(1);
        onsetOut_ = new_fvec(1);
        aubio_pitch_set_unit(pitch_, "Hz");
        aubio_pitch_set_silence(pitch_, kSilenceDb);
        aubio_onset_set_minioi_ms(onset_, kMinOnsetGapMs);
        aubio_onset_set_silence(onset_, kSilenceDb);
        // aubio's own delay suits hops of half a window; with our shorter hops
        // the attack shows about one window after it began.
        aubio_onset_set_delay(onset_, onsetWindow);
        // The pitch window ends at the hop just read; its middle is this many hops earlier.
        pitchDelay_ = static_cast<int>(std::lround((frameSize / 2.0 - hop / 2.0) / hop));
    }

    ~VoiceTracker() {
        std::lock_guard<std::mutex> hold(planLock());
        del_aubio_pitch(pitch_);
        del_aubio_onset(onset_);
        del_fvec(in_);
        del_fvec(pitchOut_);
        del_fvec(onsetOut_);
    }

    VoiceTracker(const VoiceTracker&) = delete;
    VoiceTracker& operator=(const VoiceTracker&) = delete;

    void push(const float* x, int n) {
        for (int i = 0; i < n; ++i) {
            in_->data[filled_++] = x[i];
            if (filled_ == hop_) runHop();
        }
    }

    void finish() {
        if (filled_ == 0) return;
        while (filled_ < hop_) in_->data[filled_++] = 0;
        runHop();
    }

    int pitchDelay() const { return pitchDelay_; }
    std::vector<float> confidence;  // per hop, 0 off the voice's pitch range
    std::vector<float> levelDb;
    std::vector<float> flux;
    std::vector<int64_t> onsetSamples;

private:
    void runHop() {
        double power = 0;
        for (int i = 0; i < hop_; ++i) power += static_cast<double>(in_->data[i]) * in_->data[i];
        levelDb.push_back(toDb(power / hop_));

        aubio_pitch_do(pitch_, in_, pitchOut_);
        const smpl_t hz = pitchOut_->data[0];
        const smpl_t c = aubio_pitch_get_confidence(pitch_);
        confidence.push_back(hz >= kMinVoiceHz && hz <= kMaxVoiceHz ? std::clamp<float>(c, 0, 1) : 0.0f);

        aubio_onset_do(onset_, in_, onsetOut_);
        flux.push_back(aubio_onset_get_descriptor(onset_));
        if (onsetOut_->data[0] > 0) onsetSamples.push_back(aubio_onset_get_last(onset_));
        filled_ = 0;
    }

    int hop_;
    int filled_ = 0;
    int pitchDelay_ = 0;
    aubio_pitch_t* pitch_;
    aubio_onset_t* onset_;
    fvec_t* in_;
    fvec_t* pitchOut_;
    fvec_t* onsetOut_;
};

double shareOf(std::vector<float> v, double share) {
    if (v.empty()) return 0;
    size_t k = std::min(v.size() - 1, static_cast<size_t>(share * static_cast<double>(v.size())));
    std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
    return v[k];
}

// Per hop 0..1: the pitch confidence where the voice is loud enough to be
// sung, with single-hop flickers taken out.
std::vector<float> voicingPerHop(const VoiceTracker& t) {
    const size_t hops = t.confidence.size();
    std::vector<float> loud;
    for (float db : t.levelDb)
        if (db > kSilenceDb) loud.push_back(db);
    const float loudDb = static_cast<float>(shareOf(loud, kLoudShare));

    std::vector<float> raw(hops, 0.0f);
    for (size_t h = 0; h < hops; ++h) {
        const size_t p = h + static_cast<size_t>(t.pitchDelay());
        if (p >= hops || t.levelDb[h] <= kSilenceDb) continue;
        const float gate = std::clamp((t.levelDb[h] - (loudDb - kQuietBelowLoudDb)) / kGateRampDb, 0.0f, 1.0f);
        raw[h] = t.confidence[p] * gate;
    }
    std::vector<float> v(hops, 0.0f);
    for (size_t h = 0; h < hops; ++h) {
        float a = raw[h > 0 ? h - 1 : h];
        float b = raw[h];
        float c = raw[h + 1 < hops ? h + 1 : h];
        v[h] = std::max(std::min(a, b), std::min(std::max(a, b), c));
    }
    return v;
}

std::vector<VoicedPhrase> phrasesOf(const std::vector<float>& voicing) {
    std::vector<VoicedPhrase> phrases;
    const int32_t n = static_cast<int32_t>(voicing.size());
    for (int32_t h = 0; h < n; ++h) {
        if (voicing[static_cast<size_t>(h)] < kVoicedLevel) continue;
        int32_t end = h + 1;
        while (end < n && voicing[static_cast<size_t>(end)] >= kVoicedLevel) ++end;
        if (!phrases.empty() && h - phrases.back().endCs < kPhraseGapCs) phrases.back().endCs = end;
        else phrases.push_back({h, end});
        h = end;
    }
    std::erase_if(phrases, [](const VoicedPhrase& p) { return p.endCs - p.startCs < kMinPhraseCs; });
    return phrases;
}

// The hop where the syllable's sound starts to rise before its onset: a
// consonant's noise comes before the voiced attack that the flux sees.
int64_t riseStart(const std::vector<float>& levelDb, int64_t h, int64_t floor) {
    const int64_t n = static_cast<int64_t>(levelDb.size());
    if (h <= 0 || h >= n) return h;
    const int64_t from = std::max<int64_t>({h - kRiseBackHops, floor, 0});
    int64_t low = h;
    for (int64_t k = h; k >= from; --k)
        if (levelDb[static_cast<size_t>(k)] < levelDb[static_cast<size_t>(low)]) low = k;
    const float peak = levelDb[static_cast<size_t>(std::min(n - 1, h + 2))];
    if (low == h || peak - levelDb[static_cast<size_t>(low)] < kRiseDb) return h;
    // Out of silence the analysis frame spreads the attack's energy early;
    // that faint spread is not yet the syllable.
    const float threshold = std::max(levelDb[static_cast<size_t>(low)] + kRiseDb, peak - kBelowAttackDb);
    for (int64_t k = low + 1; k <= h; ++k)
        if (levelDb[static_cast<size_t>(k)] >= threshold) return k;
    return h;
}

std::vector<VoiceOnset> voicedOnsets(const VoiceTracker& t, const std::vector<float>& voicing, int sampleRate,
                                     int hop) {
    const int64_t hops = static_cast<int64_t>(voicing.size());
    auto maxOver = [&](const std::vector<float>& v, int64_t from, int64_t to) {
        float m = 0;
        for (int64_t h = std::max<int64_t>(from, 0); h <= std::min<int64_t>(to, hops - 1); ++h)
            m = std::max(m, v[static_cast<size_t>(h)]);
        return m;
    };
    auto voicedHops = [&](int64_t from, int64_t to) {
        int n = 0;
        for (int64_t h = std::max<int64_t>(from, 0); h <= std::min<int64_t>(to, hops - 1); ++h)
            if (voicing[static_cast<size_t>(h)] >= kVoicedLevel) ++n;
        return n;
    };
    std::vector<VoiceOnset> onsets;
    std::vector<float> peaks;
    for (int64_t s : t.onsetSamples) {
        const int64_t h = s / hop;
        if (voicedHops(h - kVoicedBeforeOnset, h + kVoicedAfterOnset) < kMinVoicedHops) continue;
        const float peak = maxOver(t.flux, h - kStrengthBefore, h + kStrengthAfter);
        int32_t at = static_cast<int32_t>(s * kHopsPerSecond / sampleRate);
        const int64_t prevHop =
            onsets.empty() ? 0 : static_cast<int64_t>(onsets.back().timeCs) * sampleRate / kHopsPerSecond / hop + 1;
        at -= static_cast<int32_t>((h - riseStart(t.levelDb, h, prevHop)) * hop * kHopsPerSecond / sampleRate);
        if (!onsets.empty() && at - onsets.back().timeCs < kSameRiseCs) {
            // Two attacks traced back to one rise are one syllable.
            onsets.back().strength = std::max(onsets.back().strength, peak);
            peaks.back() = onsets.back().strength;
            continue;
        }
        onsets.push_back({at, peak});
        peaks.push_back(peak);
    }
    const double strong = shareOf(peaks, kStrongShare);
    for (VoiceOnset& o : onsets)
        o.strength = strong > 0 ? static_cast<float>(std::min(1.0, o.strength / strong)) : 1.0f;
    return onsets;
}

}  // namespace

bool analyzeVoice(std::span<const int16_t> samples, int channels, int sampleRate, VoiceAnalysis& out,
                  const std::atomic<bool>* cancel, const VoiceProgress& progress) {
    out = {};
    if ((channels != 1 && channels != 2) || sampleRate < kMinSampleRate || sampleRate > kMaxSampleRate) return false;
    const int64_t frames = static_cast<int64_t>(samples.size()) / channels;
    const int hop = (sampleRate + kHopsPerSecond / 2) / kHopsPerSecond;

    VoiceEmphasis emphasis(sampleRate, channels);
    VoiceTracker tracker(sampleRate, hop, emphasis.frameSize());
    const int step = emphasis.step();
    const int64_t first = -(emphasis.frameSize() - step);
    int lastPercent = -1;
    for (int64_t start = first; start < frames; start += step) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            out = {};
            return false;
        }
        const float* y = emphasis.process(samples, start);
        const int64_t from = std::max<int64_t>(start, 0);
        const int64_t to = std::min<int64_t>(start + step, frames);
        if (to > from) tracker.push(y + (from - start), static_cast<int>(to - from));
        if (progress) {
            int percent = static_cast<int>((start - first) * 100 / (frames - first));
            if (percent != lastPercent) progress(lastPercent = percent);
        }
    }
    tracker.finish();

    std::vector<float> perHop = voicingPerHop(tracker);
    // Hops are whole samples; at rates that are not a multiple of 100 Hz they
    // drift from centiseconds, so the voicing is read back onto the cs grid.
    const int64_t cs = (frames * kHopsPerSecond + sampleRate - 1) / sampleRate;
    out.hopCs = 1;
    out.voicing.resize(static_cast<size_t>(cs));
    for (int64_t t = 0; t < cs; ++t) {
        int64_t h = (t * sampleRate + static_cast<int64_t>(kHopsPerSecond) * hop / 2) / (kHopsPerSecond * hop);
        const bool inside = h < static_cast<int64_t>(perHop.size());
        out.voicing[static_cast<size_t>(t)] = inside ? perHop[static_cast<size_t>(h)] : 0;
    }
    out.onsets = voicedOnsets(tracker, perHop, sampleRate, hop);
    out.phrases = phrasesOf(out.voicing);
    if (progress && lastPercent != 100) progress(100);
    return true;
}

}  // namespace melnix
