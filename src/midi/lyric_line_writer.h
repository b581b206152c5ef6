// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The last steps shared by both ways of making lyric lines from a MIDI song:
// the minimum time of every character, the gap to the line before, and the
// conversion of millisecond times into a line of the lyric model.

#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/lyric_sheet.h"

namespace melnix {

// Every character is sung for at least this long, and two lines are at
// least this far apart.
constexpr int32_t kMinCharMs = 30;
// The longest line the lyric model keeps.
constexpr int32_t kMaxLineMs = kMaxLineDuration * 10;

struct LineChar {
    std::string bytes;  // one character: 1 byte, or 2 for a GBK character
    int32_t ms = 0;
};

// Raises every character under kMinCharMs to it when the characters and the
// spare time together allow it: the spare time pays first (the last raised
// character takes all that is left of it), then the first character before
// it with more than kMinCharMs, then the first one after it, never below
// kMinCharMs. Returns false (times unchanged) when the total is too short.
bool applyMinimumTime(std::vector<int32_t>& times, int32_t spareMs);

// Cumulative even shares of totalMs over `parts` parts, rounded so that the
// shares add up to totalMs exactly.
std::vector<int32_t> shareEvenly(int32_t totalMs, int parts);

// Scales the times so that they add up to target, each share rounded to the
// nearest millisecond from the running sum.
void scaleToTotal(std::vector<int32_t>& times, int64_t target);

class LyricLineWriter {
public:
    // The sheet is cleared when the first line is written, so a writer that
    // writes nothing leaves it unchanged.
    explicit LyricLineWriter(LyricSheet& sheet) : sheet_(sheet) {}

    // Writes one line starting at startMs. A start closer than kMinCharMs to
    // the previous line's end moves later, taking the overlap from the first
    // characters. spareMs may be handed to characters under the minimum.
    // Returns false when the line was not written (its characters cannot
    // each have the minimum time).
    bool write(int32_t startMs, const std::vector<LineChar>& chars, int32_t spareMs, int32_t flags);

    bool hasPrevious() const { return written_ > 0; }
    int64_t previousEndMs() const { return previousEndMs_; }
    int written() const { return written_; }

private:
    LyricSheet& sheet_;
    int written_ = 0;
    int64_t previousEndMs_ = 0;
};

}  // namespace melnix
