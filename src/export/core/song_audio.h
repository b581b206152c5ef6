// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A song's whole sound as 16-bit stereo PCM for the video export: WAV, MP3
// and the FFmpeg kinds through the wave engine's own sources, MIDI songs
// through the MIDI player and the synthesizer.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

namespace melnix {

struct SongAudio {
    int sampleRate = 44100;
    std::vector<int16_t> samples;  // interleaved left, right

    int64_t frames() const { return static_cast<int64_t>(samples.size() / 2); }
    int64_t lengthMs() const { return sampleRate > 0 ? frames() * 1000 / sampleRate : 0; }
};

// Decodes song from fromMs (0: its start) up to toMs (0: its end). False with
// the reason in error when the song cannot be read or played; cancel is
// looked at between blocks.
bool decodeSongAudio(const std::string& song, int32_t fromMs, int32_t toMs, SongAudio& out, std::string& error,
                     const std::atomic<bool>* cancel = nullptr);

}  // namespace melnix
