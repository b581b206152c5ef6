// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/melody_timing.h"

#include <algorithm>

#include "sync/line_times.h"

namespace melnix {
namespace {

// A note may begin a little before the character it belongs to.
constexpr int kNoteLeadMs = 18;
// Notes starting closer together than this are sung on one character.
constexpr int kSameNoteMs = 30;
// Characters without a note of their own (marks, Latin letters) get 3 cs each.
constexpr int kUntimedStep = kMinCharTime;

// Song milliseconds meet lyric times by plain division, as positions do.
int32_t msToCs(int32_t ms) { return ms / 10; }

// Sets entry c of the line's character times to v, moving the entries after
// it along so the rest of the line keeps its spacing.
void setCharTime(LyricLine& l, int c, int32_t v) {
    int32_t delta = v - l.charTimes[static_cast<size_t>(c)];
    for (size_t k = static_cast<size_t>(c); k < l.charTimes.size(); ++k)
        l.charTimes[k] = static_cast<uint16_t>(l.charTimes[k] + delta);
}

// The note the clicked character takes: the first that starts no more than a
// little before it. A character that lies on a note still sounding keeps
// that note, though, when the note starts where the character may go: a
// character dragged a few pixels past its note's start must not take the
// next one and push the whole line a note late.
int noteForChar(const RecordArray<NoteSpan>& notes, int32_t charCs, int32_t earliestCs) {
    const int32_t fromMs = charCs * 10 - kNoteLeadMs;
    int k = 0;
    while (k < notes.size() && notes[k].startMs < fromMs) ++k;
    if (k == 0) return k;
    int under = k - 1;
    while (under > 0 && notes[under].startMs - notes[under - 1].startMs < kSameNoteMs) --under;
    const NoteSpan& n = notes[under];
    if (n.startMs >= earliestCs * 10 && n.startMs + n.durationMs > charCs * 10) return under;
    return k;
}

int nextNoteAfter(const RecordArray<NoteSpan>& notes, int k) {
    int32_t from = notes[k].startMs + kSameNoteMs;
    int j = k + 1;
    while (j < notes.size() && notes[j].startMs < from) ++j;
    return j;
}

}  // namespace

EditResult timeFromMelody(LyricSheet& sheet, int p, int timeScale, const RecordArray<NoteSpan>& notes) {
    if (notes.empty() || notes.size() > kMaxMelodyNotes) return {};
    CharRef at = charBoxAt(sheet, p, timeScale);
    if (!at.found() || !isTimedChar(sheet.lineAt(at.line)->text, at.index)) return {};

    const int line = at.line;
    LyricLine* l = sheet.lineAt(line);
    const LyricLine before = *l;
    const int n = charTotal(*l);
    const int32_t oldDuration = l->duration;
    const int32_t earliestStart = line > 0 ? sheet.lineAt(line - 1)->endTime() + kLineSeparation : 0;

    // The line's first sung character brings the marks and letters before
    // it along: they go just before its note and the line starts with them.
    int c = at.index;
    while (c > 0 && !isTimedChar(l->text, c - 1)) --c;
    if (c > 0) c = at.index;
    const int32_t earliestCs = c == 0 ? earliestStart + kUntimedStep * at.index : charStart(*l, c - 1) + kMinCharTime;
    int k = noteForChar(notes, charStart(*l, at.index), earliestCs);
    if (k >= notes.size()) return {};

    int used = -1;
    bool charsUsedUp = false;
    while (k < notes.size()) {
        int untimed = 0;
        while (c + untimed < n && !isTimedChar(l->text, c + untimed)) ++untimed;
        if (c + untimed >= n) {
            charsUsedUp = true;
            break;
        }
        const int timed = c + untimed;
        // The characters without notes go just before the note, 3 cs apart.
        int32_t runStart = msToCs(notes[k].startMs) - kUntimedStep * untimed;
        if (c == 0) {
            int32_t start = std::max(runStart, earliestStart);
            ShiftLinesFrom(sheet, line, start - l->startTime);
            l = sheet.lineAt(line);
            for (int j = 0; j <= untimed; ++j) setCharTime(*l, j, kUntimedStep * j);
        } else {
            int32_t run = std::max(runStart - l->startTime, l->charTimes[static_cast<size_t>(c) - 1] + kMinCharTime);
            int32_t timedAt = run + kUntimedStep * untimed;
            // Notes far apart must not stretch the line past its limit.
            if (timedAt + (l->duration - l->charTimes[static_cast<size_t>(timed)]) > kMaxEditedDuration) break;
            for (int j = 0; j <= untimed; ++j) setCharTime(*l, c + j, run + kUntimedStep * j);
        }
        used = k;
        k = nextNoteAfter(notes, k);
        c = timed + 1;
        if (c >= n) {
            charsUsedUp = true;
            break;
        }
    }

    if (charsUsedUp && used >= 0) {
        int32_t noteEnd = msToCs(notes[used].startMs + notes[used].durationMs) - l->startTime;
        int32_t last = std::max<int32_t>(l->charTimes[static_cast<size_t>(n) - 1] + kMinCharTime, noteEnd);
        l->charTimes[static_cast<size_t>(n)] = static_cast<uint16_t>(std::min(last, kMaxEditedDuration));
    }
    l->duration = l->charTimes.back();
    if (l->duration != oldDuration) ShiftLinesFrom(sheet, line + 1, l->duration - oldDuration);

    EditResult r;
    if (l->startTime == before.startTime && l->charTimes == before.charTimes) return r;
    r.modified = true;
    r.refresh = kRefreshWindow;
    return r;
}

}  // namespace melnix
