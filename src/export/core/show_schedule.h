// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// When the exported show changes its line and its picture, in song time: the
// same rules as the picture show on the screen (a picture change with every
// line, more during a long prelude, the closing texts every 5 s after the
// last line), stepped frame by frame instead of by a wall-clock timer.

#include <cstdint>
#include <vector>

#include "present/core/presentation_math.h"

namespace melnix {

// A lyric line's start and end, 1/100 s.
struct LineSpan {
    int32_t start = 0;
    int32_t end = 0;
};

// The closing texts the show cycles through after the last line.
constexpr int kExportClosingTexts = 4;

// The line shown at positionCs: the first whose end lies more than 0.1 s
// after it; lines.size() when none.
int currentLineAt(const std::vector<LineSpan>& lines, int32_t positionCs);

class ShowSchedule {
public:
    explicit ShowSchedule(std::vector<LineSpan> lines) : lines_(std::move(lines)) {}

    struct Step {
        bool newText = false;    // the subtitle changes to line or closing
        int line = -1;           // the lyric line shown, or -1
        int closing = -1;        // the closing text shown (0..3), or -1
        bool changePicture = false;
    };

    // The show's step at song time ms; times must not go backwards.
    Step advance(int64_t ms);

private:
    std::vector<LineSpan> lines_;
    int shownLine_ = -2;
    int closingIndex_ = 0;
    int64_t lastChangeMs_ = 0;
    PictureChanges planned_;
};

// ---- Export settings ------------------------------------------------------

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
