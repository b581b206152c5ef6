// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sync button: while the song plays, one press for every sung character
// gives that character (or, for a line's first character, the line) the
// press time. The last character of a line may be held: let go a while
// later, it lasts until then, and the line ends with it.

#include "lyrics/lyric_sheet.h"
#include "sync/edit_result.h"

namespace melnix {

class SyncButton {
public:
    // The next press starts a new run at the line being sung; the editor
    // calls this when playing starts and whenever the mouse moves over it.
    void startRun() { syncFirstPress = true; }

    // A press at song position t (cs).
    EditResult press(LyricSheet& sheet, int t);
    // A release at song position t (cs). After a press on the last
    // character of a line held at least kHoldCs, that character lasts until
    // t (the line's end follows, and the later lines with it).
    EditResult release(LyricSheet& sheet, int t);
    // Whether the last press timed the last character of its line, so that
    // its release may still change the lyric.
    bool mayHoldLineEnd() const { return holdFrom_ >= 0; }

    // Shorter presses are taps: the character keeps its length.
    static constexpr int kHoldCs = 25;
    // A tap that went wrong is taken back: the next press times the
    // character timed last once more. Returns whether the cursor moved.
    bool stepBack(const LyricSheet& sheet);

    // The last character timed by a press; -1 and -2 when none.
    int syncLine = -1;
    int syncChar = -2;
    bool syncFirstPress = true;
    int syncReleaseTime = 0;

private:
    void reset() {
        syncLine = -1;
        syncChar = -2;
        holdFrom_ = -1;
    }

    int holdFrom_ = -1;  // the press time of a line's last character, while held
};

}  // namespace melnix
