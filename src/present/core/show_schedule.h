// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When the show changes its line and its picture: a picture change with every
// line, more during a long prelude, the closing texts every 5 s after the
// last line. The show on the screen steps it by its timer, the exported video
// frame by frame in song time; both keep the same rules through this class.

#include <cstdint>

#include "lyrics/lyric_sheet.h"
#include "present/core/presentation_math.h"

namespace melnix {

// The closing texts that take turns after the last line.
constexpr int kClosingTextCount = 4;

class ShowSchedule {
public:
    struct Step {
        bool newText = false;    // the subtitle changes to line or closing
        int line = -1;           // the lyric line shown, or -1
        int closing = -1;        // the closing text shown, or -1
        bool changePicture = false;
    };

    // The show's step at positionCs (1/100 s of song time). sinceChangeMs:
    // how long the picture (or closing text) has stood; holdPictures: only a
    // new line changes the picture (the user paused the show).
    Step advance(const LyricSheet& sheet, int32_t positionCs, int64_t sinceChangeMs, bool holdPictures = false);

    // The next step shows its line again.
    void showAgain() { shownLine_ = kNoneShown; }
    // A new song: the next step starts with its line and the closing texts
    // from the first.
    void restart() { *this = ShowSchedule(); }

private:
    static constexpr int kNoneShown = -2;
    int shownLine_ = kNoneShown;
    int closingIndex_ = 0;
    PictureChanges planned_;
};

}  // namespace melnix
