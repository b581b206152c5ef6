// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The arithmetic of the time line under the subtitle area, without widgets:
// where the three areas lie, how pixels map to song positions, what the time
// ruler, the volume strip, the melody notes and the lyric characters look
// like column by column, and how the view moves. One pixel is one editor
// unit (1/100 s times the time scale).

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "common/colour_ref.h"
#include "common/int_rect.h"
#include "editor/core/video_placement.h"
#include "common/record_array.h"
#include "lyrics/lyric_sheet.h"
#include "midi/midi_types.h"

namespace melnix {

constexpr uint32_t kSubtitleAreaFill = colourRef(64, 128, 182);
constexpr uint32_t kRulerFill = colourRef(110, 80, 150);
constexpr uint32_t kRulerInk = colourRef(255, 255, 255);
// The note display's background before and after the play position.
constexpr uint32_t kNotesUnplayedFill = colourRef(64, 128, 182);
constexpr uint32_t kNotesPlayedFill = colourRef(64, 128, 73);
constexpr uint32_t kNoteStartLine = colourRef(128, 240, 127);

// ---- the areas ------------------------------------------------------------------

// The editor's areas, in client coordinates, right and bottom exclusive.
struct TimelineAreas {
    IntRect subtitle;
    IntRect waveform;
    IntRect adjust;
    // Where the picture of a song that has one is shown (placeVideo).
    IntRect video;
};

// client: the editor's client rectangle; separator: control 1061;
// presentTop: the top of button 1031. videoWidth and videoHeight are the
// song's picture size, 0 when it has none.
TimelineAreas computeTimelineAreas(const IntRect& client, const IntRect& separator, int presentTop, int videoWidth,
                                   int videoHeight);

// ---- mapping --------------------------------------------------------------------

inline int unitsAtX(int x, int areaLeft, int viewOrigin) { return viewOrigin + x - areaLeft; }
inline int xAtUnits(int units, int areaLeft, int viewOrigin) { return areaLeft + units - viewOrigin; }

// ---- what the waveform area shows ------------------------------------------------------

enum class WaveDisplay { Ruler, Notes, Strip };

// hasLevels: the song's volume levels are being recorded.
WaveDisplay chooseWaveDisplay(bool rulerMode, bool hasLevels, bool midiSong);

// ---- the time ruler ----------------------------------------------------------------

constexpr int kTickSpacingCs = 5;  // a tick every 50 ms
// The walk over the ticks reaches this far beyond the columns drawn, so that
// a label cut by the left or right edge is still drawn in part.
constexpr int kRulerWalkMargin = 50;

enum class TickKind { Short, Medium, Long, Labelled };

// The kind of tick r (at position r x 5 x timeScale).
TickKind rulerTickKind(int r);
// Pixels of the tick above the area's bottom: 1, 2, 3 or 4 eighths of its height.
int rulerTickLength(TickKind kind, int areaHeight);

struct RulerTick {
    int units;  // position of the tick
    TickKind kind;
};

// The ticks from kRulerWalkMargin units before `from` to as far after `to`.
std::vector<RulerTick> rulerTicks(int from, int to, int timeScale);

// A labelled tick's text: its whole seconds as "%d:%02d".
std::string rulerLabel(int units, int timeScale);

// ---- the volume strip ---------------------------------------------------------------

// A column shows the time ruler where no level was recorded.
constexpr int kNoLevel = -1;
constexpr int kMaxShownLevel = 254;

// The level of each column from `from` on (count columns). Slots that were
// not recorded are skipped: a column lies on the line between the recorded
// slots left and right of it, and takes the first recorded level when none is
// left of it. Columns right of the last recorded slot (of the first
// trackSize) are kNoLevel.
std::vector<int> stripLevels(const std::atomic<uint8_t>* track, int trackSize, int from, int count, int timeScale);

// Levels are stretched so that the loudest recorded so far is 254.
int scaledLevel(int level, int levelPeak);

// Brightness stands for loudness. measuredByCapture: the level came from the
// recording source while a hosted player played, not from the wave engine.
uint32_t playedStripColour(int scaled, bool measuredByCapture);
uint32_t unplayedStripColour(int scaled);

// ---- the melody notes ---------------------------------------------------------------

constexpr int kNoteBarHeight = 4;
// Notes are looked for this far before the first column, so that long notes
// that began earlier still reach in.
constexpr int kNoteLookBackMs = 10000;

struct NoteRows {
    int base;    // keys at or below this share the bottom row
    int topKey;  // keys above this share the top row
};
NoteRows noteRows(int areaHeight);

// Pixels above the area's bottom of the top of a note bar: two a semitone.
int noteBarOffset(int key, int areaHeight);

// Tells the tracks apart in the note colours.
int trackShade(int track);
uint32_t noteColour(int level, int track);
// The last pixels of a note still sounding.
uint32_t openNoteEndColour(int level, int track);

// Index of the first note to draw for columns starting at song time fromMs.
int firstNoteToDraw(const RecordArray<NoteSpan>& notes, int32_t fromMs);

// Song milliseconds to editor units.
inline int unitsOfMs(int64_t ms, int timeScale) { return static_cast<int>(ms * timeScale / 10); }

// ---- the lyric adjustment area -------------------------------------------------------

constexpr int kCharBoxGap = 2;
constexpr int kCharBoxHeight = 20;

struct CharBox {
    int line;
    int byteOffset;
    int byteCount;  // 1 or 2
    int from;       // units; the box is drawn up to `to` minus the gap
    int to;
};

// The boxes of the characters that may show in the columns from..to, line by
// line from the line at `from`; a line of no length ends them.
std::vector<CharBox> charBoxes(const LyricSheet& sheet, int from, int to, int timeScale);

// Lines at the alternate placement are darker than the background, the
// others lighter.
uint32_t adjustLineColour(uint32_t background, bool altPlacement);

// ---- moving the view ------------------------------------------------------------------

enum class ViewButton { FarLeft, Left, Right, FarRight };

struct ViewMove {
    int origin;
    int seek;
};

// A view button: the new left edge and where the song goes on from.
ViewMove moveViewByButton(ViewButton button, int origin, int width, int songLengthCs, int timeScale, int position);

enum class FollowAction { None, Redraw, ScrollHalf };

struct Follow {
    int origin;
    FollowAction action;
};

// Keeps the play position p in view: margin is how far p may fall left of
// the view before it jumps back.
Follow followPosition(int p, int origin, int width, int margin);

// The content is dragged right by d pixels (left when negative): how far it
// may go without the view's left edge passing the song start.
inline int limitDragScroll(int d, int origin) { return d > origin ? origin : d; }

// Where a waveform drag will play from: kept in the first two thirds of the view.
int clampDragAnchor(int anchor, int origin, int width);

// Pixels a step while the pointer is `distance` pixels outside the area.
int outsideScrollStep(int distance);

}  // namespace melnix
