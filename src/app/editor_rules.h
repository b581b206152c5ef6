#pragma once
// The editor's arithmetic and enabling rules, kept apart from the widgets so
// that they are tested without a window.

#include <cstdint>
#include <string>

#include "lyrics/lyric_sheet.h"

namespace melnix {

// Position and length texts: minutes, seconds and tenths from 1/100 s.
std::string formatClock(int32_t centiseconds);
// File size as "%dK", rounded to whole kilobytes of 1000 bytes.
std::string formatFileSize(int64_t bytes);

constexpr int kMaxVolumeLevel = 1000;
constexpr int kMinVolumeLevel = 20;
constexpr int kVolumeStep = 50;

// The trackbar runs 0 (top, loudest) to 1000.
inline int volumeLevelFromTrack(int trackPos) {
    int level = kMaxVolumeLevel - trackPos;
    return level < kMinVolumeLevel ? kMinVolumeLevel : level;
}
// The wave engine's volume for both channels (0..65535).
inline uint32_t waveVolume(int volumeLevel) { return static_cast<uint32_t>(volumeLevel) * 65535u / 1000u; }
// The MIDI player's volume in percent.
inline int midiVolume(int volumeLevel) { return volumeLevel / 10; }

// Selecting the speed that is already selected returns to normal speed; an
// index outside the table means normal speed.
int nextSpeedIndex(int current, int chosen);

// What the action buttons allow for the line at the current position.
struct ActionEnabling {
    bool add = true;
    bool modify = false;   // also delete and the placement control
    bool split = false;
    bool merge = false;
    bool reference = false;
};
ActionEnabling actionEnabling(const LyricSheet& sheet, int lineIndex);

// The progress slider: a range and a thumb position in pixels on a track
// u = w - h/2 wide.
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

// One child's rectangle after the owner's client area went from w0 x h0 to
// w1 x h1, around a stretch rectangle (empty: everything scales).
struct IntRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool operator==(const IntRect&) const = default;
};
IntRect relayoutRect(const IntRect& child, const IntRect& stretch, int w0, int h0, int w1, int h1);

}  // namespace melnix
