// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/slider_math.h"

#include <cstdint>

namespace melnix {

int SliderMath::usableWidth(int width, int height) {
    int u = width - height / 2;
    return u < 1 ? 1 : u;
}

void SliderMath::setRange(int a, int b) {
    if (a >= b) return;
    rangeMin = a;
    rangeMax = b;
    rangeSpan = b - a;
}

bool SliderMath::setPos(int v, int width, int height) {
    if (v < rangeMin) v = rangeMin;
    if (v > rangeMax) v = rangeMax;
    const int x = static_cast<int>(int64_t{v} * usableWidth(width, height) / rangeSpan);
    if (x == thumbX) return false;
    thumbX = x;
    return true;
}

int SliderMath::getPos(int width, int height) const {
    const int u = usableWidth(width, height);
    int x = thumbX < 0 ? 0 : (thumbX > u ? u : thumbX);
    return static_cast<int>(int64_t{x} * rangeSpan / u) + rangeMin;
}

bool SliderMath::dragTo(int x, int width, int height) {
    const int u = usableWidth(width, height);
    int t = x - height / 4;
    if (t < 0) t = 0;
    if (t > u) t = u;
    if (t == thumbX) return false;
    thumbX = t;
    return true;
}

}  // namespace melnix
