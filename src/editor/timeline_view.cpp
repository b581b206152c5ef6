// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/timeline_view.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>
#include <algorithm>
#include <cstdlib>

#include "playback/core/song_engine.h"
#include "playback/core/transport.h"
#include "common/gbk.h"
#include "ui/colour_ref.h"
#include "present/subtitle_window.h"
#include "sync/melody_timing.h"
#include "sync/line_times.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// A wave song may play this far left of the view before the view jumps back.
constexpr int kFollowMargin = 20;
// A waveform drag scrolls one step a millisecond beyond the area's edge; the
// steps due are done together a few times less often.
constexpr int kOutsideTickMs = 8;
constexpr int kMaxCatchUpSteps = 50;
constexpr int kCharDragStepMs = 20;
// A sweep let go this close to the text's right end reached the end.
constexpr int kSweepEndReach = 20;
// A character's glyph may reach this far right of its box's start.
constexpr int kGlyphReach = 40;
// Slots a little past the song's reported end may still hold a level.
constexpr int kLevelSlotsPastEnd = 100;

QColor colour(uint32_t c) { return colorFromColorRef(c); }

QRect toQRect(const IntRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }
IntRect toIntRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

}  // namespace

TimelineView::TimelineView(QWidget* owner, TimelineHost& host, Transport& transport, LyricDocument& document,
                           const RecordArray<NoteSpan>& notes)
    : owner_(owner), host_(host), transport_(transport), document_(document), sheet_(document.sheet()), notes_(notes) {
    outsideTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&outsideTimer_, &QTimer::timeout, owner_, [this] {
        if (gesture_ == Gesture::CharDrag) {
            outsideSteps(1);
            return;
        }
        const auto due = std::clamp<qint64>(outsideClock_.restart(), 1, kMaxCatchUpSteps);
        outsideSteps(static_cast<int>(due));
    });
}

TimelineView::~TimelineView() = default;

void TimelineView::layout(const QRect& client, const QRect& separator, int presentTop, QSize picture) {
    const TimelineAreas a =
        computeTimelineAreas(toIntRect(client), toIntRect(separator), presentTop, picture.width(), picture.height());
    subtitleArea_ = toQRect(a.subtitle);
    waveformArea_ = toQRect(a.waveform);
    adjustArea_ = toQRect(a.adjust);
    videoRect_ = toQRect(a.video);
}

int TimelineView::timeScale() const { return transport_.timeScale(); }
int TimelineView::position() const { return transport_.positionUnits(); }
bool TimelineView::playing() const { return transport_.playState() == PlayState::Playing; }
bool TimelineView::midiSong() const { return transport_.kind() == SongKind::Midi; }
int TimelineView::followMargin() const { return rulerMode_ || midiSong() ? 0 : kFollowMargin; }
int TimelineView::levelSlots() const {
    return std::clamp(transport_.lengthCs() + kLevelSlotsPastEnd, 0, kLevelTrackSize);
}

WaveDisplay TimelineView::display() const {
    return chooseWaveDisplay(rulerMode_, isWaveKind(transport_.kind()) || levelsByCapture_, midiSong());
}

void TimelineView::setViewOrigin(int units) {
    viewOrigin_ = std::max(0, units);
    redraw();
}

void TimelineView::setRulerMode(bool on) {
    rulerMode_ = on;
    redraw();
}

void TimelineView::redraw() {
    owner_->update(waveformArea_);
    if (gesture_ != Gesture::Hold) owner_->update(adjustArea_);
}

void TimelineView::scrollAreas(int dx) {
    if (dx == 0) return;
    owner_->scroll(dx, 0, gesture_ == Gesture::Hold ? waveformArea_ : waveformArea_.united(adjustArea_));
}

// Columns of the waveform area whose played state changed between two positions.
void TimelineView::updateColumns(int fromUnits, int toUnits) {
    const int x0 = std::max(waveformArea_.left(), xAt(fromUnits));
    const int x1 = std::min(waveformArea_.left() + waveformArea_.width(), xAt(toUnits));
    if (x1 > x0) owner_->update(QRect(x0, waveformArea_.top(), x1 - x0, waveformArea_.height()));
}

// ---- painting ----------------------------------------------------------------------------

void TimelineView::paint(QPainter& painter, const QRect& dirty) {
    const QRect adjust = dirty & adjustArea_;
    if (!adjust.isEmpty()) paintAdjust(painter, adjust.left(), adjust.right() + 1);
    const QRect wave = dirty & waveformArea_;
    if (!wave.isEmpty()) paintWaveform(painter, wave.left(), wave.right() + 1);
}

void TimelineView::paintWaveform(QPainter& painter, int x0, int x1) {
    painter.save();
    painter.setClipRect(QRect(x0, waveformArea_.top(), x1 - x0, waveformArea_.height()));
    switch (display()) {
        case WaveDisplay::Ruler: {
            const int split = std::clamp(xAt(position()), x0, x1);
            if (split > x0) paintRuler(painter, x0, split, true);
            if (x1 > split) paintRuler(painter, split, x1, false);
            break;
        }
        case WaveDisplay::Strip: paintStrip(painter, x0, x1); break;
        case WaveDisplay::Notes: paintNotes(painter, x0, x1); break;
    }
    painter.restore();
}

// The played part of the ruler shows in the inverse colours.
void TimelineView::paintRuler(QPainter& painter, int x0, int x1, bool played) {
    const int top = waveformArea_.top(), height = waveformArea_.height(), bottom = top + height;
    const QRect columns(x0, top, x1 - x0, height);
    painter.save();
    painter.setClipRect(columns, Qt::IntersectClip);
    painter.fillRect(columns, colour(played ? invertedColour(kRulerFill) : kRulerFill));
    painter.setPen(colour(played ? invertedColour(kRulerInk) : kRulerInk));
    const QFontMetrics metrics(painter.font());
    const int labelTop = bottom - 6 * (height / 8);
    const int ts = timeScale();
    for (const RulerTick& tick : rulerTicks(unitsAt(x0), unitsAt(x1), ts)) {
        const int x = xAt(tick.units);
        if (x >= x0 && x < x1) painter.drawLine(x, bottom - rulerTickLength(tick.kind, height), x, bottom - 1);
        if (tick.kind != TickKind::Labelled) continue;
        const QString label = QString::fromStdString(rulerLabel(tick.units, ts));
        painter.drawText(QPoint(x - metrics.horizontalAdvance(label) / 2, labelTop + metrics.ascent()), label);
    }
    painter.restore();
}

void TimelineView::paintStrip(QPainter& painter, int x0, int x1) {
    const int top = waveformArea_.top(), height = waveformArea_.height();
    const std::vector<int> levels = stripLevels(transport_.levelTrack(), levelSlots(), unitsAt(x0), x1 - x0, timeScale());
    const int peak = transport_.levelPeak().load(std::memory_order_relaxed);
    const int playedEnd = xAt(position());
    auto levelAt = [&](int x) { return levels[static_cast<size_t>(x - x0)]; };
    auto colourAt = [&](int x) {
        const int scaled = scaledLevel(levelAt(x), peak);
        return x < playedEnd ? playedStripColour(scaled, levelsByCapture_) : unplayedStripColour(scaled);
    };
    for (int x = x0; x < x1;) {
        int end = x + 1;
        if (levelAt(x) == kNoLevel) {
            // Where nothing was recorded the ruler shows.
            while (end < x1 && levelAt(end) == kNoLevel) ++end;
            const int split = std::clamp(playedEnd, x, end);
            if (split > x) paintRuler(painter, x, split, true);
            if (end > split) paintRuler(painter, split, end, false);
        } else {
            // Loudness is brightness: full-height columns, runs of one colour at once.
            const uint32_t c = colourAt(x);
            while (end < x1 && levelAt(end) != kNoLevel && colourAt(end) == c) ++end;
            painter.fillRect(QRect(x, top, end - x, height), colour(c));
        }
        x = end;
    }
}

void TimelineView::paintNotes(QPainter& painter, int x0, int x1) {
    const int top = waveformArea_.top(), height = waveformArea_.height(), bottom = top + height;
    const int split = std::clamp(xAt(position()), x0, x1);
    if (split > x0) painter.fillRect(QRect(x0, top, split - x0, height), colour(kNotesPlayedFill));
    if (x1 > split) painter.fillRect(QRect(split, top, x1 - split, height), colour(kNotesUnplayedFill));
    const int ts = timeScale();
    const int a = unitsAt(x0), b = unitsAt(x1);
    const auto fromMs = static_cast<int32_t>(int64_t{a} * 10 / ts);
    for (int i = firstNoteToDraw(notes_, fromMs); i < notes_.size(); ++i) {
        const NoteSpan& n = notes_[i];
        const int start = unitsOfMs(n.startMs, ts);
        if (start >= b) break;
        const int end = unitsOfMs(int64_t{n.startMs} + n.durationMs, ts);
        if (end < a) continue;
        const int barTop = bottom - noteBarOffset(n.key, height);
        painter.fillRect(QRect(xAt(start), barTop, end - start, kNoteBarHeight), colour(noteColour(n.level, n.track())));
        if (n.open() && end >= a && end < b)
            painter.fillRect(QRect(xAt(end) - kNoteBarHeight, barTop, kNoteBarHeight, kNoteBarHeight),
                             colour(openNoteEndColour(n.level, n.track())));
        if (start >= a) {
            painter.setPen(colour(kNoteStartLine));
            painter.drawLine(xAt(start), barTop, xAt(start), bottom - 1);
        }
    }
}

void TimelineView::paintAdjust(QPainter& painter, int x0, int x1) {
    const int top = adjustArea_.top();
    const QRect columns(x0, top, x1 - x0, adjustArea_.height());
    painter.save();
    painter.setClipRect(columns);
    const QColor background = owner_->palette().color(QPalette::Window);
    painter.fillRect(columns, background);
    const uint32_t backgroundRef = colourRef(background.red(), background.green(), background.blue());
    painter.setFont(owner_->font());
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    const int baseline = top + (kCharBoxHeight + metrics.ascent() - metrics.descent()) / 2;
    for (const CharBox& box : charBoxes(sheet_, unitsAt(x0) - kGlyphReach, unitsAt(x1), timeScale())) {
        const int x = xAt(box.from);
        if (x >= x1 || std::max(xAt(box.to), x + kGlyphReach) < x0) continue;
        const LyricLine& line = *sheet_.lineAt(box.line);
        const int width = box.to - box.from - kCharBoxGap;
        if (width > 0)
            painter.fillRect(QRect(x, top, width, kCharBoxHeight),
                             colour(adjustLineColour(backgroundRef, (line.flags & kLineAltPlacement) != 0)));
        const std::string bytes = line.text.substr(static_cast<size_t>(box.byteOffset), static_cast<size_t>(box.byteCount));
        painter.drawText(QPoint(x, baseline), fromGbk(bytes));
    }
    painter.restore();
}

// ---- the clock -----------------------------------------------------------------------------

void TimelineView::clockStarted(int p) {
    // A wave song's strip is drawn as played from the view's left edge on.
    lastDrawn_ = display() == WaveDisplay::Strip ? -1 : p;
    owner_->update(waveformArea_);
}

void TimelineView::clockStep(int p) {
    if (gesture_ == Gesture::Sweep) sweepWipe();
    const Follow f = followPosition(p, viewOrigin_, waveformArea_.width(), followMargin());
    switch (f.action) {
        case FollowAction::None: break;
        case FollowAction::Redraw:
            viewOrigin_ = f.origin;
            redraw();
            break;
        case FollowAction::ScrollHalf:
            scrollAreas(viewOrigin_ - f.origin);
            viewOrigin_ = f.origin;
            break;
    }
    updateColumns(std::min(lastDrawn_, p), std::max(lastDrawn_, p));
    lastDrawn_ = p;
}

void TimelineView::followSeek(int p) {
    const Follow f = followPosition(p, viewOrigin_, waveformArea_.width(), followMargin());
    viewOrigin_ = f.origin;
    lastDrawn_ = p;
    redraw();
}

void TimelineView::sweepWipe() {
    if (subtitle_) subtitle_->wipeToX(pointer_.x() - subtitle_->x() - subtitle_->textLeft());
}

// ---- the view buttons ----------------------------------------------------------------------

void TimelineView::viewButton(ViewButton button) {
    host_.timelineStopResumeTimer();
    const bool wasPlaying = playing();
    host_.timelinePause();
    const ViewMove m =
        moveViewByButton(button, viewOrigin_, waveformArea_.width(), transport_.lengthCs(), timeScale(), position());
    viewOrigin_ = m.origin;
    owner_->update();
    host_.timelineSeek(m.seek);
    if (wasPlaying) host_.timelinePlay();
}

// ---- the mouse -------------------------------------------------------------------------------

bool TimelineView::mousePress(QMouseEvent* event) {
    if (gesture_ != Gesture::None) return true;  // one gesture at a time
    if (!host_.timelineTransportEnabled()) return false;
    pointer_ = event->position().toPoint();
    if (subtitleArea_.contains(pointer_)) return pressSubtitle(event);
    if (waveformArea_.contains(pointer_)) return pressWaveform(event);
    if (adjustArea_.contains(pointer_)) return pressAdjust(event);
    return false;
}

bool TimelineView::pressSubtitle(QMouseEvent* event) {
    const int line = CurrentLine(sheet_, position(), timeScale());
    if (event->button() == Qt::LeftButton) {
        sweep_.begin(line);
        document_.beginChange(QT_TRANSLATE_NOOP("EditHistory", "扫过"));
        gesture_ = Gesture::Sweep;
        gestureButton_ = Qt::LeftButton;
        return true;
    }
    if (event->button() == Qt::RightButton && playing()) {
        document_.beginChange(QT_TRANSLATE_NOOP("EditHistory", "按住"));
        if (!hold_.begin(sheet_, line)) {
            document_.endChange(false);
            return false;
        }
        gesture_ = Gesture::Hold;
        gestureButton_ = Qt::RightButton;
        return true;
    }
    return false;
}

bool TimelineView::pressWaveform(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        host_.timelineStopResumeTimer();
        host_.timelinePause();
        lastX_ = pointer_.x();
        anchor_ = unitsAt(pointer_.x());
        gesture_ = Gesture::WaveDrag;
        gestureButton_ = Qt::LeftButton;
        owner_->update(waveformArea_);
        return true;
    }
    if (event->button() == Qt::RightButton) {
        host_.timelineStopResumeTimer();
        if (playing()) host_.timelinePause();
        host_.timelineSeek(unitsAt(pointer_.x()));
        owner_->update(waveformArea_);
        return true;
    }
    return false;
}

bool TimelineView::pressAdjust(QMouseEvent* event) {
    const int u = unitsAt(pointer_.x());
    if (event->button() == Qt::LeftButton) {
        host_.timelineStopResumeTimer();
        const SongKind kind = transport_.kind();
        // The replay before the character lasts half a second of what is heard.
        const int speed = isWaveKind(kind) || kind == SongKind::Midi ? transport_.speedPercent() : 100;
        document_.beginChange(QT_TRANSLATE_NOOP("EditHistory", "拖动"));
        if (drag_.begin(sheet_, u, timeScale(), viewOrigin_, speed)) host_.timelinePause();
        gesture_ = Gesture::CharDrag;
        gestureButton_ = Qt::LeftButton;
        return true;
    }
    if (event->button() == Qt::RightButton) {
        host_.timelineStopResumeTimer();
        host_.timelineEndSlowReplay();
        if (midiSong() && host_.timelineMelodyAlone()) {
            document_.beginChange(QT_TRANSLATE_NOOP("EditHistory", "旋律"));
            const EditResult r = timeFromMelody(sheet_, u, timeScale(), notes_);
            document_.endChange(r.modified);
            if (r.modified) host_.timelineApply(r);
        }
        return true;
    }
    return false;
}

bool TimelineView::mouseMove(QMouseEvent* event) {
    if (gesture_ == Gesture::None) return false;
    pointer_ = event->position().toPoint();
    const int left = waveformArea_.left(), right = left + waveformArea_.width();
    const bool outside = pointer_.x() < left || pointer_.x() >= right;
    switch (gesture_) {
        case Gesture::Sweep:
            if (playing()) {
                const int c = subtitle_ ? subtitle_->charAt(pointer_.x() - subtitle_->x()) : -1;
                sweep_.move(sheet_, position() / timeScale(), c);
            }
            break;
        case Gesture::WaveDrag:
            moveView(pointer_.x() - lastX_);
            lastX_ = pointer_.x();
            break;
        case Gesture::CharDrag:
            if (drag_.active() && drag_.moveTo(sheet_, unitsAt(pointer_.x()))) {
                document_.changedSoFar(drag_.line());
                owner_->update(adjustArea_);
            }
            break;
        case Gesture::Hold:
        case Gesture::None: break;
    }
    if (gesture_ == Gesture::WaveDrag || (gesture_ == Gesture::CharDrag && drag_.active())) {
        if (outside) {
            startOutside();
        } else {
            outsideTimer_.stop();
        }
    }
    return true;
}

void TimelineView::moveView(int dx) {
    dx = limitDragScroll(dx, viewOrigin_);
    if (dx != 0) {
        scrollAreas(dx);
        viewOrigin_ -= dx;
    }
    anchor_ = clampDragAnchor(anchor_, viewOrigin_, waveformArea_.width());
}

void TimelineView::startOutside() {
    if (outsideTimer_.isActive()) return;
    outsideClock_.start();
    outsideTimer_.start(gesture_ == Gesture::CharDrag ? kCharDragStepMs : kOutsideTickMs);
}

void TimelineView::outsideSteps(int steps) {
    const int left = waveformArea_.left(), right = left + waveformArea_.width();
    const int x = pointer_.x();
    const int outside = x >= right ? x - right + 1 : (x < left ? x - left : 0);
    if (outside == 0 || (gesture_ != Gesture::WaveDrag && gesture_ != Gesture::CharDrag)) {
        outsideTimer_.stop();
        return;
    }
    if (gesture_ == Gesture::WaveDrag) {
        // Beyond the right edge the content keeps following the pointer
        // right, bringing earlier times into view; beyond the left edge, later.
        const int step = outsideScrollStep(std::abs(outside)) * steps;
        moveView(outside > 0 ? step : -step);
        return;
    }
    for (int i = 0; i < steps; ++i) {
        const int before = viewOrigin_;
        const bool changed = drag_.autoScroll(sheet_, outside, viewOrigin_, waveformArea_.width());
        scrollAreas(before - viewOrigin_);
        if (changed) {
            document_.changedSoFar(drag_.line());
            owner_->update(adjustArea_);
        }
    }
}

void TimelineView::finishChange(const EditResult& r, int touched) {
    document_.endChange(r.modified, touched);
    host_.timelineApply(r);
}

bool TimelineView::mouseRelease(QMouseEvent* event) {
    if (gesture_ == Gesture::None) return false;
    if (event->button() != gestureButton_) return true;
    pointer_ = event->position().toPoint();
    outsideTimer_.stop();
    const Gesture gesture = gesture_;
    gesture_ = Gesture::None;
    const int ts = timeScale();
    switch (gesture) {
        case Gesture::Sweep: {
            const bool reachedEnd =
                subtitle_ && pointer_.x() > subtitle_->x() + subtitle_->textRight() - kSweepEndReach;
            finishChange(sweep_.end(sheet_, position() / ts, reachedEnd, playing(), ts));
            break;
        }
        case Gesture::Hold:
            finishChange(hold_.end(sheet_, position() / ts, playing()), hold_.holdLine);
            // The adjustment area stood still while the line was held.
            owner_->update(adjustArea_);
            break;
        case Gesture::WaveDrag:
            host_.timelineSeek(anchor_);
            host_.timelinePlay();
            host_.timelineEndSlowReplay();
            break;
        case Gesture::CharDrag: {
            const int line = drag_.line();
            finishChange(drag_.end(pointer_.x() - waveformArea_.left(), viewOrigin_, waveformArea_.width(),
                                   transport_.lengthCs(), midiSong(), host_.timelineTransportEnabled()),
                         line);
            break;
        }
        case Gesture::None: break;
    }
    return true;
}

}  // namespace melnix
