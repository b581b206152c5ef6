// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/timeline_math.h"

#include <algorithm>
#include <cstdio>

#include "playback/core/song_engine.h"
#include "lyrics/lyric_text.h"
#include "sync/line_times.h"

namespace melnix {
namespace {

constexpr int kAreaMargin = 6;
constexpr int kSeparatorGap = 2;
constexpr int kWaveformAbovePresent = 32;
constexpr int kAdjustAbovePresent = 26;
constexpr int kBottomRowOffset = kNoteBarHeight;

int floorDiv(int a, int b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int clampByte(int v) { return std::clamp(v, 0, 255); }

}  // namespace

TimelineAreas computeTimelineAreas(const IntRect& client, const IntRect& separator, int presentTop, int videoWidth,
                                   int videoHeight) {
    TimelineAreas a;
    const int left = client.left + kAreaMargin;
    const int right = client.right - kAreaMargin;
    a.subtitle = {left, client.top + kAreaMargin, right, separator.top - kSeparatorGap};
    a.waveform = {left, separator.bottom + kSeparatorGap, right, presentTop - kWaveformAbovePresent};
    a.adjust = {left, presentTop - kAdjustAbovePresent, right, presentTop};
    const VideoPlacement video = placeVideo(client, a.subtitle.bottom, videoWidth, videoHeight);
    a.subtitle.top = video.subtitleTop;
    a.video = video.video;
    return a;
}

WaveDisplay chooseWaveDisplay(bool rulerMode, bool hasLevels, bool midiSong) {
    if (rulerMode || (!hasLevels && !midiSong)) return WaveDisplay::Ruler;
    return midiSong ? WaveDisplay::Notes : WaveDisplay::Strip;
}

// ---- the time ruler ---------------------------------------------------------------------

TickKind rulerTickKind(int r) {
    if (r % 2 != 0 || r <= 0) return TickKind::Short;
    if (r % 10 != 0) return TickKind::Medium;
    if (r % 20 != 0) return TickKind::Long;
    return TickKind::Labelled;
}

int rulerTickLength(TickKind kind, int areaHeight) {
    const int f = areaHeight / 8;
    switch (kind) {
        case TickKind::Short: return f;
        case TickKind::Medium: return 2 * f;
        case TickKind::Long: return 3 * f;
        case TickKind::Labelled: return 4 * f;
    }
    return f;
}

std::vector<RulerTick> rulerTicks(int from, int to, int timeScale) {
    const int step = kTickSpacingCs * timeScale;
    std::vector<RulerTick> ticks;
    const int first = -floorDiv(-(from - kRulerWalkMargin), step);  // round up
    const int last = floorDiv(to + kRulerWalkMargin, step);
    for (int r = first; r <= last; ++r) ticks.push_back({r * step, rulerTickKind(r)});
    return ticks;
}

std::string rulerLabel(int units, int timeScale) {
    const int seconds = units / (100 * timeScale);
    char text[24];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

// ---- the volume strip ---------------------------------------------------------------------

std::vector<int> stripLevels(const std::atomic<uint8_t>* track, int trackSize, int from, int count, int timeScale) {
    std::vector<int> levels(static_cast<size_t>(std::max(count, 0)), kNoLevel);
    if (!track || count <= 0 || timeScale < 1) return levels;
    auto at = [&](int slot) { return static_cast<int>(track[slot].load(std::memory_order_relaxed)); };
    auto recorded = [&](int slot) { return at(slot) != kLevelNotRecorded; };
    // A slot's level belongs to its last column; the columns between two
    // recorded slots lie on the line joining them.
    auto columnOf = [&](int slot) { return (slot + 1) * timeScale - 1; };
    const int firstSlot = std::clamp(std::max(from, 0) / timeScale, 0, trackSize);
    int before = firstSlot - 1;  // the last recorded slot left of the columns
    while (before >= 0 && !recorded(before)) --before;
    int after = firstSlot;  // the first recorded slot at or right of them
    while (after < trackSize && !recorded(after)) ++after;
    for (int c = 0; c < count; ++c) {
        const int u = from + c;
        if (u < 0) continue;
        while (after < trackSize && columnOf(after) < u) {
            before = after;
            ++after;
            while (after < trackSize && !recorded(after)) ++after;
        }
        // Right of the last recorded slot nothing is known yet.
        if (after >= trackSize) break;
        const int next = at(after);
        if (before < 0) {
            levels[static_cast<size_t>(c)] = next;
            continue;
        }
        const int previous = at(before);
        const int x0 = columnOf(before), x1 = columnOf(after);
        levels[static_cast<size_t>(c)] = previous + (next - previous) * (u - x0) / (x1 - x0);
    }
    return levels;
}

int scaledLevel(int level, int levelPeak) {
    if (levelPeak != 0) level = level * kMaxShownLevel / levelPeak;
    return std::min(level, kMaxShownLevel);
}

uint32_t playedStripColour(int scaled, bool measuredByCapture) {
    const int v = measuredByCapture ? scaled : 50 + 4 * scaled / 5;
    return colourRef(clampByte(v), clampByte(v), 0);
}

uint32_t unplayedStripColour(int scaled) {
    const int w = scaled * 177 / kMaxShownLevel;
    if (w > 170) return colourRef(2 * (w + 86) % 256, 255, 255);
    return colourRef(0, clampByte(w + 85), clampByte(w + 85));
}

// ---- the melody notes ---------------------------------------------------------------------

NoteRows noteRows(int areaHeight) {
    const int base = (127 - (areaHeight - 4) / 2) / 2;
    return {base, 127 - base};
}

int noteBarOffset(int key, int areaHeight) {
    const NoteRows rows = noteRows(areaHeight);
    const int k = std::min(key, rows.topKey);
    if (k <= rows.base) return kBottomRowOffset;
    return 2 * (k - rows.base - 1) + kBottomRowOffset;
}

int trackShade(int track) { return track * 23 % 96; }

uint32_t noteColour(int level, int track) {
    const int half = level * 3 / 2;
    const int red = half >= 128 ? 255 : half + 128;
    return colourRef(red, std::max(0, red - trackShade(track)), 127);
}

uint32_t openNoteEndColour(int level, int track) {
    const uint32_t c = noteColour(level, track);
    return colourRef(redOf(c) / 2, greenOf(c), blueOf(c));
}

int firstNoteToDraw(const RecordArray<NoteSpan>& notes, int32_t fromMs) {
    const int64_t from = int64_t{fromMs} - kNoteLookBackMs;
    int lo = 0, hi = notes.size();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (notes[mid].startMs < from) {
            lo = mid + 1;
        } else {
            hi = mid;
        }
    }
    return lo;
}

// ---- the lyric adjustment area ------------------------------------------------------------

std::vector<CharBox> charBoxes(const LyricSheet& sheet, int from, int to, int timeScale) {
    std::vector<CharBox> boxes;
    for (int i = std::max(0, LineForDisplay(sheet, from, timeScale)); i < sheet.lineCount(); ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        if (l.duration <= 0) break;
        const std::vector<int> offsets = charOffsets(l.text);
        const int n = static_cast<int>(offsets.size());
        const int lastOffset = n > 0 ? offsets.back() : 0;
        const int bytes =
            n > 0 ? lastOffset + (isLeadByte(static_cast<unsigned char>(l.text[static_cast<size_t>(lastOffset)])) ? 2 : 1)
                  : 0;
        const bool timed = static_cast<int>(l.charTimes.size()) == n + 1;
        for (int c = 0; c < n; ++c) {
            const int offset = offsets[static_cast<size_t>(c)];
            const int size = (c + 1 < n ? offsets[static_cast<size_t>(c) + 1] : bytes) - offset;
            CharBox box{i, offset, size, 0, 0};
            if (timed) {
                box.from = charStart(l, c) * timeScale;
                box.to = charStart(l, c + 1) * timeScale;
            } else {
                // Without character times the line's length is shared out by bytes.
                box.from = (l.startTime + offset * l.duration / bytes) * timeScale;
                box.to = box.from + size * l.duration / bytes * timeScale;
            }
            boxes.push_back(box);
        }
        if (l.endTime() * timeScale >= to) break;
    }
    return boxes;
}

uint32_t adjustLineColour(uint32_t background, bool altPlacement) {
    const int d = altPlacement ? -30 : 40;
    return colourRef(clampByte(redOf(background) + d), clampByte(greenOf(background) + d),
                     clampByte(blueOf(background) + d));
}

// ---- moving the view -------------------------------------------------------------------------

ViewMove moveViewByButton(ViewButton button, int origin, int width, int songLengthCs, int timeScale, int position) {
    // Forward moves stop with the song's end at the right edge, but never
    // pull back a view that already shows past it.
    const int last = std::max({0, songLengthCs * timeScale - width, origin});
    switch (button) {
        case ViewButton::FarLeft: origin = std::max(0, origin - 4 * width / 5); break;
        case ViewButton::Left: origin = std::max(0, origin - width / 3); break;
        case ViewButton::Right:
            origin = std::min(origin + width / 3, last);
            return {origin, std::max(origin + 1, position)};
        case ViewButton::FarRight: origin = std::min(origin + 4 * width / 5, last); break;
    }
    return {origin, origin + 1};
}

Follow followPosition(int p, int origin, int width, int margin) {
    const int half = std::max(1, width / 2);
    if (p < origin - margin) {
        while (p < origin - margin && origin > 0) origin = std::max(0, origin - half);
        return {origin, FollowAction::Redraw};
    }
    if (p >= origin + 3 * width / 2) {
        while (p >= origin + width) origin += half;
        return {origin, FollowAction::Redraw};
    }
    if (p >= origin + width) return {origin + half, FollowAction::ScrollHalf};
    return {origin, FollowAction::None};
}

int clampDragAnchor(int anchor, int origin, int width) {
    return std::max(origin + 1, std::min(anchor, origin + 2 * width / 3));
}

int outsideScrollStep(int distance) { return std::clamp((distance + 9) / 10, 1, 3); }

}  // namespace melnix
