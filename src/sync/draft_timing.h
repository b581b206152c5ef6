// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A first timing of a whole lyric from where the song's voice sings: each
// sung character goes on the onset of its syllable, so that the user only
// corrects instead of pressing a key for every character. Lines the sound
// could not place are marked weak.

#include <cstdint>
#include <vector>

#include "audio/voice_onsets.h"
#include "lyrics/lyric_sheet.h"

namespace melnix {

struct DraftOptions {
    // True when each line's times lie near where it is sung (an LRC file, an
    // earlier timing): lines keep to their place. Otherwise the lines are
    // shared out over the voiced phrases in order.
    bool lineTimesKnown = true;
    // How far from its times a line's voice may be looked for.
    int marginCs = 100;
    // Lines less sure than this are weak; a weak line with known times keeps them.
    float weakBelow = 0.4f;
};

struct DraftLine {
    int32_t startTime = 0;
    std::vector<uint16_t> charTimes;  // charCount + 1 entries, 0 .. duration
    float confidence = 0;             // 0..1
    bool weak = true;

    int32_t endTime() const { return startTime + charTimes.back(); }
};

struct DraftResult {
    std::vector<DraftLine> lines;  // one for each line of the lyric, in order
    int weakCount() const;
};

// The lines come out in order and keep the lyric's time rules.
DraftResult alignLyric(const LyricSheet& lyric, const VoiceAnalysis& voice, const DraftOptions& options = {});

// Puts the draft's times on the lyric it was made from, from line
// firstLine on (the lines before keep theirs; later lines move clear of them).
void applyDraft(LyricSheet& lyric, const DraftResult& draft, int firstLine = 0);

// True when no line has been timed yet: every line as a plain-text import
// makes it (evenly spaced characters, lines one after the other from the
// default start), so the line times say nothing about the song.
bool lyricLooksUntimed(const LyricSheet& lyric);

}  // namespace melnix
