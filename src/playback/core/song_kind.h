// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Song kinds: the 1-based position of a song's extension in the audio table of
// the song list (0: video and anything else). The kind chooses the engine.

#include "songlist/media_kind.h"

namespace melnix {

constexpr int kKindMp3 = kAudioMp3;
constexpr int kKindWav = kAudioWav;
constexpr int kKindMpa = kAudioMpa;
constexpr int kKindFlash = 11;
constexpr int kKindFirstStreaming = 12;  // .RM, .RAM, .RA
constexpr int kKindLastStreaming = 14;

// WAV, MP3 and the kinds FFmpeg decodes: the wave engine plays them.
inline bool isWaveKind(int kind) { return isWaveEngineKind(kind); }
constexpr bool isMidiKind(int kind) { return kind >= kAudioFirstMidi && kind <= kAudioLastMidi; }
constexpr bool isStreamingKind(int kind) { return kind >= kKindFirstStreaming && kind <= kKindLastStreaming; }

}  // namespace melnix
