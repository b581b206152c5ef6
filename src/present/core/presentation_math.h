// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of the full-screen show: how a background picture is sized
// and placed, how often pictures change during a long prelude, which window
// a requested size gives, and the texts after the last line.

#include <cstdint>
#include <string>
#include <vector>

#include "common/int_rect.h"

namespace melnix {

enum DisplayMode { kModeActual = 0, kModeTiled = 1, kModeFitted = 2, kModeAuto = 3 };
constexpr int kZoomNormal = 1000;  // per mille
constexpr int kZoomMin = 10;
constexpr int kZoomMax = 40000;
constexpr int kCentred = 0x7FFFFFFF;

// Actual size, fitted or half size (returned as kModeAuto) for a picture of
// p x q in a window of w x h on a screen of screenW x screenH.
int resolveAutoMode(int p, int q, int w, int h, int screenW, int screenH);

struct PicturePlacement {
    int mode = kModeActual;  // after resolving: actual, tiled, fitted or half size (kModeAuto)
    int zoomX = kZoomNormal, zoomY = kZoomNormal;
    int width = 0, height = 0;  // scaled size
    int x = 0, y = 0;           // top-left in the window
    bool drawn = true;          // false: a zoom out of range draws nothing
};

// mode: kModeActual..kModeAuto (kModeAuto already resolved to half size);
// x, y: kCentred or a position. Metafiles show at 80 % of the fitted size.
PicturePlacement placePicture(int mode, bool metafile, int p, int q, const IntRect& r, int zoomX, int zoomY, int x,
                              int y);

// Further picture changes while waiting gapMs for the next line: count and
// interval (ms). None for waits under 5 s.
struct PictureChanges {
    int count = 0;
    int intervalMs = 0;
};
PictureChanges planPictureChanges(int gapMs);
constexpr int kClosingIntervalMs = 5000;

// The window of the show for a requested client size w x h (0 x 0: the whole
// screen). frame: the window frame's thickness on each side.
IntRect presentationWindow(int w, int h, const IntRect& screen, const IntRect& workArea, int frame);

struct WindowSize {
    int w, h;
    int minScreenWidth;  // offered only on screens at least this wide
};
// The sizes offered in the picture window's menu, largest first.
const std::vector<WindowSize>& windowSizes();

// The requested sizes of the external-screen item: the show covers another
// screen, or comes back to this screen's work area.
constexpr int kExternalScreenWidth = 160, kExternalScreenHeight = 120;
constexpr int kThisScreenSize = -1;
// The screen the show moves to for the external-screen item: the first one
// that is not the one it is on; an empty rectangle when there is no other.
IntRect otherScreen(const std::vector<IntRect>& screens, const IntRect& current);

struct NamedScreen {
    std::string name;
    IntRect area;
};
// Where a show starts once the user has sent one to another screen: that
// screen again while it is connected (found by its name, as its place may
// have changed) and it is not the one the editor is on; else an empty
// rectangle, and the show starts on the editor's screen.
IntRect rememberedScreen(const std::vector<NamedScreen>& screens, const std::string& remembered,
                         const IntRect& current);

// The picture window's background colour (0xBBGGRR) and display mode, kept in
// one number of the state file: the colour in the low three bytes, the mode
// plus one in the top byte (0 there: none kept, the automatic mode).
int32_t packPictureSetting(uint32_t bgr, int mode);
void unpackPictureSetting(int32_t setting, uint32_t& bgr, int& mode);

// The subtitle band: 2/21 of the width high, from six sevenths of the picture
// area's height down, kept inside the area.
IntRect subtitleBand(const IntRect& area);

}  // namespace melnix
