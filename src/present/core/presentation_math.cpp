// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/core/presentation_math.h"

#include <algorithm>

#include "common/mul_div.h"

namespace melnix {

int resolveAutoMode(int p, int q, int w, int h, int screenW, int screenH) {
    if (w * 67 >= p * 50 && h * 71 >= q * 50) return kModeActual;
    const int p2 = (p + 1) / 2, q2 = (q + 1) / 2;
    if (p2 > screenW || q2 > screenH) return kModeFitted;
    if (5 * p2 < 6 * w && 5 * q2 < 6 * h && (4 * w < 5 * p2 || 4 * h < 5 * q2)) return kModeAuto;
    return kModeFitted;
}

PicturePlacement placePicture(int mode, bool metafile, int p, int q, const IntRect& r, int zoomX, int zoomY, int x,
                              int y) {
    PicturePlacement out;
    const int w = r.width(), h = r.height();
    out.mode = mode;
    if (p <= 0 || q <= 0) {
        out.drawn = false;
        return out;
    }
    // The fitted zoom keeps the picture's shape: the smaller of the two ratios.
    const int fitted = std::min(MulDiv(kZoomNormal, w, p), MulDiv(kZoomNormal, h, q));
    if (metafile) {
        zoomX = zoomY = fitted * 800 / kZoomNormal;
        out.mode = kModeActual;
    } else if (mode == kModeFitted) {
        zoomX = zoomY = fitted;
    } else if (mode == kModeAuto) {
        zoomX = zoomY = kZoomNormal / 2;
    }
    out.zoomX = zoomX;
    out.zoomY = zoomY;
    if (zoomX < kZoomMin || zoomX > kZoomMax || zoomY < kZoomMin || zoomY > kZoomMax) {
        out.drawn = false;
        return out;
    }
    out.width = zoomX == kZoomNormal ? p : MulDiv(p, zoomX, kZoomNormal);
    out.height = zoomY == kZoomNormal ? q : MulDiv(q, zoomY, kZoomNormal);
    if (x == kCentred || y == kCentred) {
        out.x = r.left + (w - out.width) / 2;
        // Above the subtitle band when there is room for it.
        int f = h - out.height;
        const int g = h - 6 * h / 7;
        if (f > 0 && f > g) {
            f -= g;
            if (f > h / 4) {
                f /= 2;
            } else if (f > h / 16) {
                f = f * 2 / 3;
            }
        } else {
            f = f * 3 / 8;
        }
        out.y = r.top + f;
    } else {
        out.x = x;
        out.y = y;
    }
    return out;
}

PictureChanges planPictureChanges(int gapMs) {
    if (gapMs <= 4999) return {};
    const int k = (gapMs + 5000) / 5000;
    return {k - 1, (gapMs + 3750) / k};
}

IntRect presentationWindow(int w, int h, const IntRect& screen, const IntRect& workArea, int frame) {
    if (w == 0) return screen;
    if (w < 320 || h < 240 || w > screen.width() - 8 || h > screen.height() - 8) return workArea;
    if (w == workArea.width() && h == workArea.height()) return workArea;
    const int outerW = w + 2 * frame, outerH = h + 2 * frame;
    const int left = screen.left + (screen.width() - outerW) / 2;
    const int top = screen.top + (screen.height() - outerH) / 2;
    return {left, top, left + outerW, top + outerH};
}

const std::vector<WindowSize>& windowSizes() {
    static const std::vector<WindowSize> sizes = {
        {1024, 768, 1152}, {800, 600, 1024}, {640, 480, 800}, {512, 384, 640}, {480, 360, 0},
        {400, 300, 0},     {352, 264, 0},    {320, 240, 0},
    };
    return sizes;
}

IntRect otherScreen(const std::vector<IntRect>& screens, const IntRect& current) {
    for (const IntRect& s : screens)
        if (!(s == current)) return s;
    return {};
}

IntRect rememberedScreen(const std::vector<NamedScreen>& screens, const std::string& remembered,
                         const IntRect& current) {
    if (remembered.empty()) return {};
    for (const NamedScreen& s : screens)
        if (s.name == remembered) return s.area == current ? IntRect{} : s.area;
    return {};
}

int32_t packPictureSetting(uint32_t bgr, int mode) {
    const uint32_t kept = mode >= kModeActual && mode <= kModeAuto ? static_cast<uint32_t>(mode + 1) : 0;
    return static_cast<int32_t>((bgr & 0xFFFFFF) | kept << 24);
}

void unpackPictureSetting(int32_t setting, uint32_t& bgr, int& mode) {
    const auto v = static_cast<uint32_t>(setting);
    bgr = v & 0xFFFFFF;
    const int kept = static_cast<int>(v >> 24) - 1;
    mode = kept >= kModeActual && kept <= kModeAuto ? kept : kModeAuto;
}

IntRect subtitleBand(const IntRect& area) {
    const int h = area.width() * 2 / 21;
    // From six sevenths down; a wide area would push the band past its
    // bottom, and letters off the screen are lost, so it rises to fit.
    const int top = std::max(area.top, std::min(area.top + area.height() * 6 / 7, area.bottom - h));
    return {area.left, top, area.right, top + h};
}

}  // namespace melnix
