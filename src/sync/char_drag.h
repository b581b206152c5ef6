// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dragging a character along the lyric adjustment area to the moment it is
// sung. The later characters and lines move with it; afterwards the song
// replays from a little before the character.

#include "lyrics/lyric_sheet.h"
#include "sync/edit_result.h"

namespace melnix {

// Positions u are song positions in editor units (view origin + pointer x
// from the area's left edge).
class CharDrag {
public:
    // Left button down at u. speedPercent is the engine's duration
    // percentage (100 for engines without speeds). False when no character
    // is there; the button up then only pauses and seeks.
    bool begin(const LyricSheet& sheet, int u, int timeScale, int viewOrigin, int speedPercent);

    // The pointer moved to u; true when the lyric changed.
    bool moveTo(LyricSheet& sheet, int u);

    // One step of scrolling while the pointer is outside the area: outside is
    // its distance from the nearer edge in pixels, negative to the left.
    // Moves the view (never left of the song start) and the character with
    // it; true when the lyric changed.
    bool autoScroll(LyricSheet& sheet, int outside, int& viewOrigin, int width);

    // Button up with the pointer at x pixels from the area's left edge.
    // slowReplayAllowed: transport enabled and normal speed.
    EditResult end(int x, int viewOrigin, int width, int songLengthCs, bool midiSong, bool slowReplayAllowed);

    bool active() const { return active_; }
    int line() const { return line_; }
    int charIndex() const { return char_; }
    int replayPoint() const { return replayPoint_; }

private:
    int32_t limitedMove(const LyricSheet& sheet, int32_t d) const;

    bool active_ = false;
    bool changed_ = false;
    int line_ = -1;
    int char_ = -1;
    int timeScale_ = 1;
    int lastU_ = 0;     // where the character's last whole move put the pointer
    int pointerU_ = 0;  // where the pointer is
    int replayPoint_ = 0;
};

}  // namespace melnix
