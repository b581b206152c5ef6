// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The time line under the subtitle area: the waveform area (time ruler,
// volume strip or melody notes) and the lyric adjustment area with every
// character at its time, scrolled together; and the mouse gestures of these
// two areas and of the subtitle area, which time lines and characters while
// the song plays. It paints into the editor's window and asks the editor,
// through TimelineHost, for whatever touches the transport or the controls.

#include <QElapsedTimer>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QTimer>
#include <cstdint>

#include "editor/core/timeline_math.h"
#include "common/record_array.h"
#include "editor/core/lyric_document.h"
#include "lyrics/lyric_sheet.h"
#include "midi/midi_types.h"
#include "sync/char_drag.h"
#include "sync/edit_result.h"
#include "sync/line_hold.h"
#include "sync/subtitle_sweep.h"

class QMouseEvent;
class QPainter;
class QWidget;

namespace melnix {

class SubtitleWindow;
class Transport;

// What the time line needs from the editor around it.
class TimelineHost {
public:
    virtual ~TimelineHost() = default;
    // Outside the edit modes; the gestures work only then.
    virtual bool timelineTransportEnabled() const = 0;
    // A MIDI song whose player sounds its melody track alone.
    virtual bool timelineMelodyAlone() const = 0;
    // Seek (editor units), showing the new position and its line.
    virtual void timelineSeek(int units) = 0;
    virtual void timelinePause() = 0;
    virtual void timelinePlay() = 0;
    virtual void timelineStopResumeTimer() = 0;
    // Carries out what a timing gesture asks once the lyric changed: the
    // modified mark, the line list, the view, the seek, the transport, the
    // resume timer, the slow replay and the redraw.
    virtual void timelineApply(const EditResult& result) = 0;
    // Back to normal speed after a drag's slow replay.
    virtual void timelineEndSlowReplay() = 0;
};

class TimelineView {
public:
    TimelineView(QWidget* owner, TimelineHost& host, Transport& transport, LyricDocument& document,
                 const RecordArray<NoteSpan>& notes);
    ~TimelineView();
    TimelineView(const TimelineView&) = delete;
    TimelineView& operator=(const TimelineView&) = delete;

    // The subtitle window sits in the subtitle area; sweeps ask it which
    // character lies under the pointer.
    void setSubtitleWindow(SubtitleWindow* subtitle) { subtitle_ = subtitle; }

    // Recomputes the areas from the owner's client rectangle, the separator
    // under the subtitle area and the top of the present button. picture is
    // the song's picture size (empty for none).
    void layout(const QRect& client, const QRect& separator, int presentTop, QSize picture = {});
    QRect subtitleArea() const { return subtitleArea_; }
    QRect waveformArea() const { return waveformArea_; }
    QRect adjustArea() const { return adjustArea_; }
    QRect videoRect() const { return videoRect_; }

    int viewOrigin() const { return viewOrigin_; }
    void setViewOrigin(int units);
    bool rulerMode() const { return rulerMode_; }
    void setRulerMode(bool on);
    // The volume levels are measured from the recording source (a hosted
    // player) rather than by the wave engine.
    void setLevelsByCapture(bool on) { levelsByCapture_ = on; }
    WaveDisplay display() const;

    // Paints the parts of both areas inside dirty.
    void paint(QPainter& painter, const QRect& dirty);
    // Both areas are drawn again (the adjustment area not while the right
    // button holds a line).
    void redraw();

    // The clock: the waveform is drawn once when it starts; every step then
    // keeps the position in view and draws what was played since.
    void clockStarted(int position);
    void clockStep(int position);
    // A seek while the clock stands still (the slider): the view moves to
    // keep p in sight as the clock would, and the played part is drawn anew.
    void followSeek(int p);
    // While a line is held or swept, the line on show stays.
    bool keepsLine() const { return gesture_ == Gesture::Hold || gesture_ == Gesture::Sweep; }

    // The four view buttons.
    void viewButton(ViewButton button);

    // Mouse events of the owner; true when the time line took the event.
    bool mousePress(QMouseEvent* event);
    bool mouseMove(QMouseEvent* event);
    bool mouseRelease(QMouseEvent* event);
    // Scrolling while a drag holds the pointer beyond an area's edge: the
    // given number of steps (a waveform step is due every millisecond, a
    // character drag step every 20 ms).
    void outsideSteps(int steps);

    bool dragging() const { return gesture_ == Gesture::WaveDrag || gesture_ == Gesture::CharDrag; }
    int dragAnchor() const { return anchor_; }
    const CharDrag& charDrag() const { return drag_; }
    const SubtitleSweep& sweep() const { return sweep_; }

private:
    enum class Gesture { None, Sweep, Hold, WaveDrag, CharDrag };

    int timeScale() const;
    int position() const;
    bool playing() const;
    bool midiSong() const;
    int followMargin() const;
    // The slots a recorded level may be found in: none lie past the song's end.
    int levelSlots() const;
    int unitsAt(int x) const { return unitsAtX(x, waveformArea_.left(), viewOrigin_); }
    int xAt(int units) const { return xAtUnits(units, waveformArea_.left(), viewOrigin_); }

    void paintWaveform(QPainter& painter, int x0, int x1);
    void paintRuler(QPainter& painter, int x0, int x1, bool played);
    void paintStrip(QPainter& painter, int x0, int x1);
    void paintNotes(QPainter& painter, int x0, int x1);
    void paintAdjust(QPainter& painter, int x0, int x1);
    void updateColumns(int fromUnits, int toUnits);
    void scrollAreas(int dx);

    bool pressSubtitle(QMouseEvent* event);
    bool pressWaveform(QMouseEvent* event);
    bool pressAdjust(QMouseEvent* event);
    void moveView(int dx);
    // A gesture's change of the lyric is over; the editor carries out the rest.
    // touched: the line a one-line gesture was about.
    void finishChange(const EditResult& r, int touched = LyricDocument::kChained);
    void sweepWipe();
    void startOutside();

    QWidget* owner_;
    TimelineHost& host_;
    Transport& transport_;
    LyricDocument& document_;
    LyricSheet& sheet_;  // the document's
    const RecordArray<NoteSpan>& notes_;
    SubtitleWindow* subtitle_ = nullptr;

    QRect subtitleArea_, waveformArea_, adjustArea_, videoRect_;
    int viewOrigin_ = 0;
    bool rulerMode_ = false;
    bool levelsByCapture_ = false;
    int lastDrawn_ = -1;  // the clock's last drawn position

    Gesture gesture_ = Gesture::None;
    Qt::MouseButton gestureButton_ = Qt::NoButton;
    QPoint pointer_;
    int lastX_ = 0;
    int anchor_ = 0;
    SubtitleSweep sweep_;
    LineHold hold_;
    CharDrag drag_;
    QTimer outsideTimer_;
    QElapsedTimer outsideClock_;
};

}  // namespace melnix
