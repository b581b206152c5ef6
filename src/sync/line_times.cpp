// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_times.h"

#include "lyrics/lyric_text.h"

namespace melnix {
namespace {

constexpr unsigned char kFirstSymbolRow = 0xA1;
constexpr unsigned char kLastSymbolRow = 0xAF;
constexpr int kLastBoxReachUnits = 200;

bool timesConsistent(const LyricLine& l, int n) {
    if (static_cast<int>(l.charTimes.size()) != n + 1 || l.charTimes[0] != 0) return false;
    if (l.charTimes.back() != l.duration || l.duration < kMinCharTime * n) return false;
    for (int i = 1; i <= n; ++i)
        if (l.charTimes[static_cast<size_t>(i)] <= l.charTimes[static_cast<size_t>(i - 1)]) return false;
    return true;
}

// A line ending no later than 3 cs after the one before it can only come from
// damaged times. It gets consistent times, as the model's repair gives them,
// and moves clear of the line before it with everything after it.
void repairLine(LyricSheet& sheet, int i) {
    LyricLine& l = *sheet.lineAt(i);
    int n = charCount(l.text);
    if (n == 0) {
        l.text.assign(1, '.');
        n = 1;
    }
    if (!timesConsistent(l, n)) {
        int d = l.duration;
        if (d < kMinCharTime * n || d > kMaxLineDuration) d = kDefaultCharTime * n;
        l.duration = static_cast<uint16_t>(d);
        l.charTimes = evenCharTimes(n, d);
    }
    const LyricLine& prev = *sheet.lineAt(i - 1);
    int32_t need = prev.endTime() + kLineSeparation;
    if (l.startTime < need) ShiftLinesFrom(sheet, i, need - l.startTime);
}

// The first line whose end is later than t + lead, repairing on the way.
int firstLineEndingAfter(LyricSheet& sheet, int32_t t) {
    for (int i = 0; i < sheet.lineCount(); ++i) {
        if (i > 0 && sheet.lineAt(i)->endTime() <= sheet.lineAt(i - 1)->endTime() + kLineSeparation)
            repairLine(sheet, i);
        if (sheet.lineAt(i)->endTime() > t) return i;
    }
    return sheet.lineCount();
}

}  // namespace

int LineForEdit(LyricSheet& sheet, int p, int timeScale) {
    return firstLineEndingAfter(sheet, p / timeScale);
}

int CurrentLine(const LyricSheet& sheet, int p, int timeScale) {
    const int64_t t = int64_t{p / timeScale} + kCurrentLineLeadCs;
    for (int i = 0; i < sheet.lineCount(); ++i)
        if (sheet.lineAt(i)->endTime() > t) return i;
    return sheet.lineCount();
}

int LineForDisplay(const LyricSheet& sheet, int p, int timeScale) {
    int32_t t = p / timeScale;
    int found = -1;
    for (int i = 0; i < sheet.lineCount() && sheet.lineAt(i)->startTime <= t; ++i) found = i;
    return found;
}

void ShiftLinesFrom(LyricSheet& sheet, int i, int32_t d) {
    if (d != 0)
        sheet.shiftLines(i, d);
    else
        sheet.separateLines(i);
}

void moveCharsFrom(LyricSheet& sheet, int line, int c, int32_t delta) {
    if (delta == 0) return;
    if (c == 0) {
        sheet.shiftLines(line, delta);
        return;
    }
    LyricLine& l = *sheet.lineAt(line);
    for (size_t k = static_cast<size_t>(c); k < l.charTimes.size(); ++k)
        l.charTimes[k] = static_cast<uint16_t>(l.charTimes[k] + delta);
    l.duration = l.charTimes.back();
    sheet.shiftLines(line + 1, delta);
}

std::vector<int> charOffsets(std::string_view text) {
    std::vector<int> offsets;
    for (size_t i = 0; i < text.size() && text[i] != '\0';) {
        if (isLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 >= text.size() || text[i + 1] == '\0') break;
            offsets.push_back(static_cast<int>(i));
            i += 2;
        } else {
            offsets.push_back(static_cast<int>(i));
            ++i;
        }
    }
    return offsets;
}

bool isTimedChar(std::string_view text, int c) {
    std::vector<int> offsets = charOffsets(text);
    if (c < 0 || c >= static_cast<int>(offsets.size())) return false;
    unsigned char lead = static_cast<unsigned char>(text[static_cast<size_t>(offsets[static_cast<size_t>(c)])]);
    return isLeadByte(lead) && (lead < kFirstSymbolRow || lead > kLastSymbolRow);
}

CharRef charBoxAt(const LyricSheet& sheet, int p, int timeScale) {
    CharRef reach;
    for (int i = 0; i < sheet.lineCount(); ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        int n = charTotal(l);
        if (n < 1) continue;
        for (int c = 0; c < n; ++c) {
            int from = charStart(l, c) * timeScale;
            int to = charStart(l, c + 1) * timeScale;
            if (p >= from && p < to) return {i, c};
        }
        int end = l.endTime() * timeScale;
        // The latest line whose reach holds p is the one nearest to it.
        if (p >= end && p < end + kLastBoxReachUnits) reach = {i, n - 1};
    }
    return reach;
}

}  // namespace melnix
