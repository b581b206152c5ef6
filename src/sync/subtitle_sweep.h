// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Timing a whole line by sweeping the pointer over its subtitle text while
// the song plays: each character takes the time at which the pointer first
// reached it.

#include <vector>

#include "lyrics/lyric_sheet.h"
#include "sync/edit_result.h"

namespace melnix {

class SubtitleSweep {
public:
    // Left button down in the subtitle area; `line` is the line on show,
    // which stays on show until the button comes up.
    void begin(int line);

    // A move with the button held while playing: t is the song position (cs)
    // and charIndex the character under the pointer (-1 for none).
    void move(const LyricSheet& sheet, int t, int charIndex);

    // Button up. reachedEnd: the pointer is past the text's right end. The
    // result seeks and pauses for a replay after the resume timer, or plays
    // when the button went down and up without a move on a stopped song.
    EditResult end(LyricSheet& sheet, int t, bool reachedEnd, bool playing, int timeScale);

    bool active() const { return active_; }

    static constexpr int kNotSwept = -1;
    std::vector<int> sweepTimes;  // per character; kNotSwept where the pointer has not been
    bool sweepStarted = false;

private:
    // The checked line times, or false when the sweep cannot be used.
    bool apply(LyricSheet& sheet, int end);
    int earliestSwept() const;

    bool active_ = false;
    int line_ = -1;
};

}  // namespace melnix
