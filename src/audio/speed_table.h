// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's nine speeds. A value is the percentage of the song's duration,
// with 512 added where the speed changes the pitch; index 4 is normal speed.

namespace melnix {

constexpr int kSpeedCount = 9;
constexpr int kNormalSpeedIndex = 4;
constexpr int kPitchChangeFlag = 512;
constexpr int kSpeedTable[kSpeedCount] = {200, 687, 150, 637, 100, 592, 75, 577, 50};

struct Speed {
    int percent;
    bool pitchChange;
};

// An index outside the table means normal speed.
constexpr Speed speedAt(int index) {
    const int value = kSpeedTable[index >= 0 && index < kSpeedCount ? index : kNormalSpeedIndex];
    return {value % kPitchChangeFlag, value >= kPitchChangeFlag};
}

// Selecting the speed that is already selected returns to normal speed; an
// index outside the table means normal speed.
constexpr int nextSpeedIndex(int current, int chosen) {
    if (chosen < 0 || chosen >= kSpeedCount) return kNormalSpeedIndex;
    return chosen == current ? kNormalSpeedIndex : chosen;
}

}  // namespace melnix
