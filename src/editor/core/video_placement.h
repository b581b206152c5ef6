// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a song's picture goes in the editor: above the subtitle area when the
// window is tall enough (a maximised editor), else parked outside the window.

#include "common/int_rect.h"

namespace melnix {

// Outside the client area, where a control without room for its picture waits.
constexpr IntRect kVideoParked{-18, -18, -2, -2};

struct VideoPlacement {
    int subtitleTop = 0;
    IntRect video;  // right and bottom exclusive
};

// client: the editor's client rectangle; subtitleBottom: the bottom of the
// subtitle area (exclusive); the picture's size, 0 when the song has none.
VideoPlacement placeVideo(const IntRect& client, int subtitleBottom, int pictureWidth, int pictureHeight);

}  // namespace melnix
