// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The progress slider: a range and a thumb position in pixels on a track
// u = w - h/2 wide.

namespace melnix {

class SliderMath {
public:
    void setRange(int a, int b);
    // Returns whether the thumb moved.
    bool setPos(int v, int width, int height);
    int getPos(int width, int height) const;
    // Thumb under the pointer at x while dragging; returns whether it moved.
    bool dragTo(int x, int width, int height);

    static int usableWidth(int width, int height);

    int rangeMin = 0;
    int rangeMax = 100;
    int rangeSpan = 100;
    int thumbX = 0;
};

}  // namespace melnix
