// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an editing operation asks of the editor window once the lyric has
// changed: the song position, the view, the transport and what to redraw.

namespace melnix {

enum Refresh : unsigned {
    kRefreshNothing = 0,
    kRefreshLineList = 1u << 0,    // refill the line combo box's list (the plain list of line texts)
    kRefreshWindow = 1u << 1,      // redraw the whole window
    kRefreshAdjustArea = 1u << 2,  // redraw the lyric adjustment area
};

enum class TransportAction {
    Keep,
    Play,
    Pause,
    // Pause now and start the resume timer, so the song plays again shortly.
    PauseThenResume,
    // Play on if the song played when the step began (an edit in the line
    // box, which paused it); else leave it still.
    Resume,
};

struct EditResult {
    bool modified = false;   // the lyric differs from what was saved
    int seekUnits = -1;      // seek here first (editor units); -1 leaves the position
    int viewOrigin = -1;     // new left edge of the time line (editor units); -1 leaves it
    TransportAction transport = TransportAction::Keep;
    unsigned refresh = kRefreshNothing;
    bool slowReplay = false; // start the slow replay after a drag
};

}  // namespace melnix
