// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What an exported video is made with: its size, quality and frame times.

#include <cstdint>

namespace melnix {

struct VideoSize {
    int width = 1280;
    int height = 720;
};

// "WxH" with even sides from 128 x 96 up to 3840 x 2160.
bool parseVideoSize(const char* text, VideoSize& size);

enum class ExportQuality { Low, Normal, High };
bool parseQuality(const char* text, ExportQuality& quality);
// The encoder's constant-quality value (lower is better).
int qualityCrf(ExportQuality quality);

constexpr int kMinExportFps = 1;
constexpr int kMaxExportFps = 60;

// The time frame n shows, in microseconds: exactly n / fps seconds, rounded down.
inline int64_t frameTimeUs(int64_t n, int fps) { return n * 1000000 / fps; }
// Frames needed to cover durationMs: the last one starts before its end.
inline int64_t frameCountFor(int64_t durationMs, int fps) { return (durationMs * fps + 999) / 1000; }

}  // namespace melnix
