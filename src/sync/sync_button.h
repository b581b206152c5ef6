// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sync button: while the song plays, one press for every sung character
// gives that character (or, for a line's first character, the line) the
// press time.

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
    // A release at song position t (cs).
    void release(int t) { syncReleaseTime = t; }
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
    }
};

}  // namespace melnix
