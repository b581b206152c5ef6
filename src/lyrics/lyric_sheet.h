// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The synchronized lyric of the open song: ordered lines, each with its text,
// start, length and the start of every character, in hundredths of a second.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/record_array.h"

namespace melnix {

constexpr int32_t kLineAltPlacement = 1;   // flags bit 0: caption at the alternate position
constexpr int kDefaultCharTime = 30;       // units a character for new lines
constexpr int kFirstLineStart = 200;       // first line of an empty sheet
constexpr int kAppendGap = 50;             // between a new line and the one before
constexpr int kLineSeparation = 3;         // least gap between two lines
constexpr int kMinCharTime = 3;
constexpr int kMaxLineDuration = 30000;    // 300 s
constexpr int kLineGrowStep = 100;

struct LyricLine {
    int32_t startTime = 0;
    int32_t flags = 0;
    std::string text;                 // GBK, 1..30 bytes once normalized
    std::vector<uint16_t> charTimes;  // charCount + 1 entries, 0 .. duration
    uint16_t duration = 0;

    int32_t endTime() const { return startTime + duration; }
};

class LyricSheet {
public:
    // Returns the byte length of the stored text, or 0 when nothing was added.
    int appendLine(std::string_view text);
    void clearLines() { lines_.clear(); }
    int lineCount() const { return lines_.size(); }
    int lastIndex() const { return lines_.highestIndex(); }
    bool empty() const { return lines_.empty(); }
    LyricLine* lineAt(int i) { return lines_.at(i); }
    const LyricLine* lineAt(int i) const { return lines_.at(i); }

    // Adds a fully formed line at the end; readers build lines this way and
    // leave the repair to normalizeLines.
    void addLine(LyricLine line) { lines_.append(std::move(line)); }
    int insertLine(int i, LyricLine line) { return lines_.insertAt(i, std::move(line)); }
    void removeLines(int i, int count = 1) { lines_.removeAt(i, count); }
    void setLineCount(int n) { lines_.setSize(n); }

    void shiftLines(int from, int32_t delta);
    void separateLines(int from);
    void normalizeLines();
    void reverseDurations();
    void finishLoad();

    // The stored format keeps durations mirrored; loaders set this as soon as
    // they know the file is in that format.
    bool durationsMirrored = false;
    // The song file's length without a lyric block at its tail.
    int64_t songDataLength = 0;
    // Lines the last read of an LRC file left out: each came too soon after
    // the one before to be sung. Readers set it; the user is told.
    int droppedOnRead = 0;

    auto begin() const { return lines_.begin(); }
    auto end() const { return lines_.end(); }

private:
    RecordArray<LyricLine> lines_{kLineGrowStep};
};

// Even character times for a line of n characters lasting d units.
std::vector<uint16_t> evenCharTimes(int n, int d);

}  // namespace melnix
