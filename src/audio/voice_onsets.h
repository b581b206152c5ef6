// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a song's voice sings: per 10 ms how clearly a voice-like pitch sounds,
// where new sung notes begin, and the phrases the voice sings without a
// breath. The draft timing lays a lyric on this.

#include <atomic>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace melnix {

// Voicing at or above this counts as sung.
constexpr float kVoicedLevel = 0.5f;

struct VoiceOnset {
    int32_t timeCs = 0;
    float strength = 0;  // 0..1, against the song's own strong onsets
};

// Sung from startCs up to (not including) endCs.
struct VoicedPhrase {
    int32_t startCs = 0;
    int32_t endCs = 0;
};

struct VoiceAnalysis {
    int hopCs = 1;
    std::vector<float> voicing;       // per hop from the song's start, 0..1
    std::vector<VoiceOnset> onsets;   // by time, only where the voice sounds
    std::vector<VoicedPhrase> phrases;

    // 0 outside the analysed sound.
    float voicingAt(int32_t cs) const {
        if (cs < 0 || hopCs <= 0) return 0;
        size_t h = static_cast<size_t>(cs / hopCs);
        return h < voicing.size() ? voicing[h] : 0;
    }
    int32_t lengthCs() const { return static_cast<int32_t>(voicing.size()) * hopCs; }
};

using VoiceProgress = std::function<void(int percent)>;

// Analyses 16-bit interleaved PCM of one or two channels. Stereo songs keep
// what both sides share (a lead voice is mixed to the centre) before the
// search; mono songs only lose what lies outside the voice's band. False
// when the format is not one of these or cancel was set; out is then empty.
bool analyzeVoice(std::span<const int16_t> samples, int channels, int sampleRate, VoiceAnalysis& out,
                  const std::atomic<bool>* cancel = nullptr, const VoiceProgress& progress = {});

}  // namespace melnix
