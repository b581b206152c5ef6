// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every conversion of the editor's volume: the trackbar runs 0 (top,
// loudest) to 1000, the level 20..1000, and each engine takes its own unit.

#include <cstdint>

namespace melnix {

constexpr int kMaxVolumeLevel = 1000;
constexpr int kMinVolumeLevel = 20;
constexpr int kVolumeStep = 50;

inline int volumeLevelFromTrack(int trackPos) {
    int level = kMaxVolumeLevel - trackPos;
    return level < kMinVolumeLevel ? kMinVolumeLevel : level;
}
// The trackbar position behind a volume level; the lowest level stands for
// the bottom of the track.
inline int trackPosFromLevel(int volumeLevel) {
    return volumeLevel <= kMinVolumeLevel ? kMaxVolumeLevel : kMaxVolumeLevel - volumeLevel;
}
// The wave engine's volume for both channels (0..65535).
inline uint32_t waveVolume(int volumeLevel) { return static_cast<uint32_t>(volumeLevel) * 65535u / 1000u; }
// The MIDI player's volume in percent.
inline int midiVolume(int volumeLevel) { return volumeLevel / 10; }
// The media player's volume in hundredths of a decibel: 0 at the top of the
// track, -5000 at its bottom, falling faster towards the bottom.
inline long mediaPlayerVolume(int trackPos) {
    const int steepness = trackPos / 200;
    return -static_cast<long>(trackPos) * (steepness > 1 ? steepness : 1);
}
// The streaming player's volume, 0..100; 0 at the bottom of the track.
inline short streamingVolume(int volumeLevel) {
    return static_cast<short>((kMaxVolumeLevel - trackPosFromLevel(volumeLevel)) / 10);
}

}  // namespace melnix
