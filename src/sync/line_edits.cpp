// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/line_edits.h"

#include <algorithm>
#include <cstdio>

#include "common/gbk.h"
#include "lyrics/lyric_text.h"
#include "lyrics/text_scan.h"
#include "sync/line_times.h"

namespace melnix {
namespace {

constexpr int kAddViewLeadUnits = 300;   // the view shows a little before the new line
constexpr int kMaxReferenceLines = 999;  // the list numbers lines with three digits
constexpr char kReferenceEntryFormat[] = "^%03d - ";

constexpr unsigned kConfirmRefresh = kRefreshLineList | kRefreshWindow;

// After an edit the song stays where it stood and plays on only if it
// played before: an edit never moves or starts the song.
EditResult asBefore() {
    EditResult r;
    r.transport = TransportAction::Resume;
    r.refresh = kConfirmRefresh;
    return r;
}

EditResult changedAsBefore() {
    EditResult r = asBefore();
    r.modified = true;
    return r;
}

// Spreads n characters evenly over the line. A line too short for 3 cs a
// character grows to that and carries the later lines with its end.
void spreadEvenly(LyricSheet& sheet, int i, int n) {
    LyricLine& l = *sheet.lineAt(i);
    int d = l.duration;
    int growth = std::max(0, kMinCharTime * n - d);
    d += growth;
    l.duration = static_cast<uint16_t>(d);
    l.charTimes.assign(static_cast<size_t>(n) + 1, 0);
    for (int k = 0; k <= n; ++k) l.charTimes[static_cast<size_t>(k)] = static_cast<uint16_t>(k * d / n);
    if (growth > 0) ShiftLinesFrom(sheet, i + 1, growth);
}

std::string referenceEntry(int line, std::string_view text) {
    char number[16];
    std::snprintf(number, sizeof number, kReferenceEntryFormat, line + 1);
    return number + std::string(text);
}

}  // namespace

std::string cleanEntryText(std::string_view boxText) {
    std::string t = trimLyricText(boxText);
    if (static_cast<int>(t.size()) > kMaxLineBytes) t = trimLyricText(cutToBytes(t, kMaxLineBytes));
    return t;
}

EditResult confirmAdd(LyricSheet& sheet, EditSpot at, std::string_view boxText) {
    std::string text = cleanEntryText(boxText);
    int n = charCount(text);
    if (n == 0) return asBefore();

    int k = LineForDisplay(sheet, at.editPosition, at.timeScale);
    // The timing of a line with the same words, else of one as long.
    const LyricLine* model = nullptr;
    for (int j = k; j >= 0 && !model; --j)
        if (sheet.lineAt(j)->text == text) model = sheet.lineAt(j);
    for (int j = k; j >= 0 && !model; --j)
        if (charCount(sheet.lineAt(j)->text) == n) model = sheet.lineAt(j);

    LyricLine line;
    line.text = text;
    if (model) {
        line.charTimes = model->charTimes;
        line.duration = model->duration;
    } else {
        line.duration = static_cast<uint16_t>(kDefaultCharTime * n);
        line.charTimes.resize(static_cast<size_t>(n) + 1);
        for (int c = 0; c <= n; ++c) line.charTimes[static_cast<size_t>(c)] = static_cast<uint16_t>(kDefaultCharTime * c);
    }
    int32_t start = at.cs();
    if (k >= 0) start = std::max(start, sheet.lineAt(k)->endTime() + kLineSeparation);
    if (k + 1 < sheet.lineCount()) start = std::min(start, sheet.lineAt(k + 1)->startTime);
    line.startTime = start;
    int32_t room = line.duration + kLineSeparation;
    sheet.insertLine(k + 1, std::move(line));
    ShiftLinesFrom(sheet, k + 2, room);

    EditResult r = changedAsBefore();
    r.viewOrigin = std::max(0, start * at.timeScale - kAddViewLeadUnits);
    return r;
}

EditResult confirmModify(LyricSheet& sheet, EditSpot at, std::string_view boxText) {
    std::string text = cleanEntryText(boxText);
    int i = LineForEdit(sheet, at.editPosition, at.timeScale);
    LyricLine* l = sheet.lineAt(i);
    if (text.empty() || !l || l->text == text) return asBefore();
    int n = charCount(text);
    bool recount = n != charCount(l->text);
    l->text = text;
    if (recount) spreadEvenly(sheet, i, n);
    return changedAsBefore();
}

EditResult confirmDelete(LyricSheet& sheet, EditSpot at) {
    int i = LineForEdit(sheet, at.editPosition, at.timeScale);
    const LyricLine* l = sheet.lineAt(i);
    if (!l) return asBefore();
    if (const LyricLine* next = sheet.lineAt(i + 1)) {
        // The next line takes the deleted line's place, 3 cs after its start.
        int32_t pull = next->startTime - l->startTime - kLineSeparation;
        if (pull > kLineSeparation) ShiftLinesFrom(sheet, i + 1, -pull);
    }
    sheet.removeLines(i);
    return changedAsBefore();
}

EditResult confirmSplit(LyricSheet& sheet, EditSpot at, std::string_view boxText) {
    std::string first = cleanEntryText(boxText);
    int i = LineForEdit(sheet, at.editPosition, at.timeScale);
    LyricLine* l = sheet.lineAt(i);
    if (!l || first.empty()) return asBefore();
    const std::string whole = l->text;
    int a = charCount(first);
    int n = charCount(whole);
    if (first.size() >= whole.size() || a >= n || whole.compare(0, first.size(), first) != 0) return asBefore();

    size_t restFrom = first.size();
    int spaces = 0;
    while (restFrom < whole.size() && whole[restFrom] == ' ') {
        ++restFrom;
        ++spaces;
    }
    const std::vector<uint16_t> old = l->charTimes;
    auto T = [&old](int c) { return static_cast<int>(old[static_cast<size_t>(c)]); };

    // The first part ends 3 cs before the cut, but keeps 3 cs for its last
    // character.
    int end = std::max(T(a) - kLineSeparation, T(a - 1) + kMinCharTime);
    l->text = first;
    l->charTimes.assign(old.begin(), old.begin() + a + 1);
    l->charTimes.back() = static_cast<uint16_t>(end);
    l->duration = static_cast<uint16_t>(end);

    int from = a + spaces;
    LyricLine rest;
    rest.text = whole.substr(restFrom);
    rest.flags = l->flags;
    rest.startTime = l->startTime + T(from);
    for (int c = from; c <= n; ++c) rest.charTimes.push_back(static_cast<uint16_t>(T(c) - T(from)));
    rest.duration = rest.charTimes.back();
    sheet.insertLine(i + 1, std::move(rest));
    ShiftLinesFrom(sheet, i, 0);
    return changedAsBefore();
}

EditResult confirmMerge(LyricSheet& sheet, EditSpot at, std::string_view boxText) {
    std::string text = cleanEntryText(boxText);
    int i = LineForEdit(sheet, at.editPosition, at.timeScale);
    LyricLine* l = sheet.lineAt(i);
    const LyricLine* next = sheet.lineAt(i + 1);
    if (text.empty() || !l || !next) return asBefore();

    int c1 = charCount(l->text);
    int c2 = charCount(next->text);
    int n = charCount(text);
    int32_t g = l->startTime;
    int32_t d = next->startTime;
    int32_t span = next->endTime() - g;
    // Lines far apart would make a line longer than a line may be.
    if (span > kMaxEditedDuration) return asBefore();

    int32_t joinAt = d - g;
    int32_t oldEnd = l->duration;
    bool keepTimes = n == c1 + c2 ||
                     (n == c1 + c2 + 1 && joinAt > 2 && joinAt - oldEnd >= kMinCharTime);
    if (keepTimes) {
        std::vector<uint16_t> times(l->charTimes.begin(), l->charTimes.begin() + c1);
        if (n == c1 + c2 + 1) times.push_back(static_cast<uint16_t>(oldEnd));  // the kept space
        for (uint16_t t : next->charTimes) times.push_back(static_cast<uint16_t>(t + joinAt));
        l->charTimes = std::move(times);
        l->duration = static_cast<uint16_t>(span);
        l->text = text;
        sheet.removeLines(i + 1);
    } else {
        l->text = text;
        l->duration = static_cast<uint16_t>(span);
        sheet.removeLines(i + 1);
        spreadEvenly(sheet, i, n);
    }
    return changedAsBefore();
}

EditResult cancelEdit(EditSpot) {
    return asBefore();
}

ReferenceList referenceList(LyricSheet& sheet, EditSpot at, std::string_view selfText) {
    ReferenceList list;
    int self = LineForEdit(sheet, at.editPosition, at.timeScale);
    const LyricLine* l = sheet.lineAt(self);
    if (!l) return list;
    int n = charCount(l->text);
    int count = std::min(sheet.lineCount(), kMaxReferenceLines);
    bool anyOther = false;
    for (int i = 0; i < count; ++i) anyOther |= i != self && charCount(sheet.lineAt(i)->text) == n;
    if (!anyOther) return list;

    for (int i = 0; i < count; ++i) {
        const std::string& text = sheet.lineAt(i)->text;
        if (text != l->text) continue;
        if (i == self) {
            list.entries.push_back(referenceEntry(i, utf8ToGbk(selfText)));
        } else {
            list.entries.push_back(referenceEntry(i, text));
            if (list.boxText.empty()) list.boxText = list.entries.back();
        }
    }
    for (int i = 0; i < count; ++i) {
        if (i == self || charCount(sheet.lineAt(i)->text) != n) continue;
        list.entries.push_back(referenceEntry(i, sheet.lineAt(i)->text));
        if (list.boxText.empty()) list.boxText = list.entries.back();
    }
    return list;
}

EditResult confirmReference(LyricSheet& sheet, EditSpot at, std::string_view boxText) {
    int self = LineForEdit(sheet, at.editPosition, at.timeScale);
    LyricLine* l = sheet.lineAt(self);
    if (!l || boxText.empty() || boxText[0] != '^' || !isDigitAt(boxText, 1)) return asBefore();
    int chosen = readDecimal(boxText, 1) - 1;
    const LyricLine* model = sheet.lineAt(chosen);
    if (!model || chosen == self || model->text != l->text) return asBefore();
    if (model->charTimes == l->charTimes) return asBefore();

    int32_t change = model->charTimes.back() - l->duration;
    l->charTimes = model->charTimes;
    l->duration = model->charTimes.back();
    if (change != 0) ShiftLinesFrom(sheet, self + 1, change);
    return changedAsBefore();
}

}  // namespace melnix
