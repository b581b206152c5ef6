// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/timeline_view.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QWidget>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "playback/core/song_engine.h"
#include "playback/core/transport.h"
#include "ui/colour_ref.h"
#include "present/subtitle_window.h"
#include "support/gbk_text.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// An engine whose position the test sets.
class FakeEngine : public SongEngine {
public:
    PlayState playState() const override { return state; }
    int32_t positionMs() const override { return ms; }
    bool seekMs(int32_t to) override {
        ms = to;
        return true;
    }
    bool play() override {
        state = PlayState::Playing;
        return true;
    }
    bool pause() override {
        state = PlayState::Paused;
        return true;
    }
    int32_t lengthMs() const override { return lengthMsValue; }
    void setVolumeLevel(int) override {}
    void setSpeed(int, bool) override {}
    bool hasSpeeds() const override { return true; }
    bool replay() override { return true; }

    PlayState state = PlayState::Paused;
    int32_t ms = 0;
    int32_t lengthMsValue = 100000;
};

class RecordingHost : public TimelineHost {
public:
    explicit RecordingHost(Transport& t) : transport(t) {}
    bool timelineTransportEnabled() const override { return enabled; }
    bool timelineMelodyAlone() const override { return melodyAlone; }
    void timelineSeek(int units) override {
        seeks.push_back(units);
        transport.seekUnits(units);
    }
    void timelinePause() override {
        ++pauses;
        transport.pause();
    }
    void timelinePlay() override {
        ++plays;
        transport.play();
    }
    void timelineStopResumeTimer() override { ++resumeStops; }
    void timelineApply(const EditResult& r) override { results.push_back(r); }
    void timelineEndSlowReplay() override { ++slowReplayEnds; }

    Transport& transport;
    bool enabled = true;
    bool melodyAlone = false;
    std::vector<int> seeks;
    std::vector<EditResult> results;
    int pauses = 0, plays = 0, resumeStops = 0, slowReplayEnds = 0;
};

class Canvas : public QWidget {
public:
    TimelineView* view = nullptr;

protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter p(this);
        for (const QRect& r : event->region()) view->paint(p, r);
    }
};

QRgb rgb(uint32_t colorRef) { return colorFromColorRef(colorRef).rgb() & 0xFFFFFF; }

// The editor's own layout: areas 628 pixels wide from x = 6; waveform
// 170..258, lyric adjustment 264..290.
constexpr int kLeft = 6;
constexpr int kWidth = 628;
constexpr int kWaveBottom = 258;
constexpr int kAdjustTop = 264;
constexpr int kFillRow = 180;  // above every tick and label of the ruler

class TimelineViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto fake = [this](const std::string&) {
            auto e = std::make_unique<FakeEngine>();
            engine = e.get();
            return e;
        };
        transport.setMidiFactory(fake);
        transport.setMediaFactory(fake);
        canvas.resize(640, 434);
        view = std::make_unique<TimelineView>(&canvas, host, transport, document, notes);
        canvas.view = view.get();
        view->layout(QRect(0, 0, 640, 434), QRect(0, 166, 640, 2), 290);
    }

    void open(const char* name) { ASSERT_TRUE(transport.openSong(name, 0)); }
    void playAt(int ms) {
        engine->ms = ms;
        engine->state = PlayState::Playing;
    }
    QImage pixels() { return canvas.grab().toImage().convertToFormat(QImage::Format_RGB32); }
    static QRgb at(const QImage& img, int x, int y) { return img.pixel(x, y) & 0xFFFFFF; }

    void mouse(QEvent::Type type, Qt::MouseButton button, int x, int y) {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent e(type, QPointF(x, y), QPointF(x, y), type == QEvent::MouseMove ? Qt::NoButton : button, held,
                      Qt::NoModifier);
        if (type == QEvent::MouseButtonPress) taken = view->mousePress(&e);
        if (type == QEvent::MouseMove) taken = view->mouseMove(&e);
        if (type == QEvent::MouseButtonRelease) taken = view->mouseRelease(&e);
    }
    void press(Qt::MouseButton b, int x, int y) { mouse(QEvent::MouseButtonPress, b, x, y); }
    void move(Qt::MouseButton b, int x, int y) { mouse(QEvent::MouseMove, b, x, y); }
    void release(Qt::MouseButton b, int x, int y) { mouse(QEvent::MouseButtonRelease, b, x, y); }

    Transport transport;
    RecordingHost host{transport};
    LyricDocument document;
    LyricSheet& sheet = document.sheet();
    RecordArray<NoteSpan> notes;
    Canvas canvas;
    std::unique_ptr<TimelineView> view;
    FakeEngine* engine = nullptr;
    bool taken = false;
};

// ---- painting ----------------------------------------------------------------------------

TEST_F(TimelineViewTest, RulerSecondsAreAHundredPixelsApartOrTwoHundredAtDoubleScale) {
    open("clip.avi");  // no levels, no notes: the ruler
    for (int scale : {1, 2}) {
        transport.setTimeScale(scale);
        engine->ms = 500;  // 50 units, or 100 at double scale
        const QImage img = pixels();
        // Only the labelled ticks reach half way up.
        const int row = kWaveBottom - rulerTickLength(TickKind::Labelled, 88) + 1;
        std::vector<int> marks;
        for (int x = kLeft; x < kLeft + kWidth; ++x)
            if (at(img, x, row) == rgb(kRulerInk)) marks.push_back(x);
        ASSERT_EQ(marks.size(), scale == 1 ? 6u : 3u) << scale;
        EXPECT_EQ(marks.front(), kLeft + 100 * scale);
        for (size_t i = 1; i < marks.size(); ++i) EXPECT_EQ(marks[i] - marks[i - 1], 100 * scale);
        // The part already played shows inverted.
        EXPECT_EQ(at(img, kLeft + 10, kFillRow), rgb(invertedColour(kRulerFill))) << scale;
        EXPECT_EQ(at(img, kLeft + 50 * scale + 10, kFillRow), rgb(kRulerFill)) << scale;
    }
}

TEST_F(TimelineViewTest, VolumeStripColoursForRecordedUnrecordedAndPlayedColumns) {
    open("clip.avi");
    view->setLevelsByCapture(true);
    std::atomic<uint8_t>* track = transport.levelTrack();
    for (int i = 0; i < 100; ++i) track[i] = 100;
    for (int i = 200; i < 300; ++i) track[i] = 200;
    transport.levelPeak() = 200;
    engine->ms = 2500;  // played up to 250
    const QImage img = pixels();
    EXPECT_EQ(at(img, kLeft + 50, kFillRow), rgb(playedStripColour(127, true)));
    EXPECT_EQ(at(img, kLeft + 50, kWaveBottom - 1), rgb(playedStripColour(127, true)));  // full height
    EXPECT_EQ(at(img, kLeft + 240, kFillRow), rgb(playedStripColour(254, true)));
    EXPECT_EQ(at(img, kLeft + 260, kFillRow), rgb(unplayedStripColour(254)));
    // The unrecorded slots between are bridged: half way, half as loud again.
    EXPECT_EQ(at(img, kLeft + 150, kFillRow), rgb(playedStripColour(scaledLevel(150, 200), true)));
    // Right of the last recorded slot: the ruler.
    EXPECT_EQ(at(img, kLeft + 400, kFillRow), rgb(kRulerFill));
    EXPECT_EQ(at(img, kLeft + 400, kWaveBottom - 1), rgb(kRulerInk));  // a tick every 5 units
    engine->ms = 4000;
    EXPECT_EQ(at(pixels(), kLeft + 350, kFillRow), rgb(invertedColour(kRulerFill)));  // inverted where played
}

// The clock records a hosted song's level at every step and draws what was
// played; positions are fed by the test, so nothing races a clock.
TEST_F(TimelineViewTest, AHostedSongsStripStaysWholeThroughStepsSeeksAndRedraws) {
    open("clip.avi");
    view->setLevelsByCapture(true);
    canvas.show();
    QApplication::processEvents();
    auto shown = [&] { return canvas.screen()->grabWindow(canvas.winId()).toImage().convertToFormat(QImage::Format_RGB32); };
    auto isStrip = [](QRgb c) { return qRed(c) == qGreen(c) && qBlue(c) == 0; };  // played strip: yellow
    auto steps = [&](int from, int to) {
        for (int p = from; p <= to; p += 2) {  // 20 ms steps: two slots each
            engine->ms = p * 10;
            transport.recordLevelStep(p, 100 + p % 50);
            view->clockStep(p);
            QApplication::processEvents();
        }
    };
    playAt(0);
    transport.startLevelRun();
    view->clockStarted(0);
    steps(0, 200);
    // A seek forward while playing, then on.
    transport.startLevelRun();
    view->clockStarted(400);
    steps(400, 500);
    for (const QImage& img : {shown(), pixels()}) {
        for (int u = 0; u < 500; ++u) ASSERT_TRUE(isStrip(at(img, kLeft + u, kFillRow))) << "column " << u;
        EXPECT_EQ(at(img, kLeft + 520, kFillRow), rgb(kRulerFill));
    }
}

TEST_F(TimelineViewTest, TheViewFollowsASeekWhilePaused) {
    open("clip.avi");
    engine->state = PlayState::Paused;
    struct {
        int seek, origin;
    } cases[] = {
        {300, 0},                  // in sight: the view stays
        {700, kWidth / 2},         // just past the right edge: half a view on
        {3000, 8 * (kWidth / 2)},  // far ahead: on by halves until in sight
        {100, 0},                  // back before the view: back by halves
    };
    for (const auto& c : cases) {
        transport.seekUnits(c.seek);
        view->followSeek(c.seek);
        EXPECT_EQ(view->viewOrigin(), c.origin) << c.seek;
        // The played part ends at the new position.
        const QImage img = pixels();
        const int x = kLeft + c.seek - c.origin;
        EXPECT_EQ(at(img, x - 1, kFillRow), rgb(invertedColour(kRulerFill))) << c.seek;
        EXPECT_EQ(at(img, x, kFillRow), rgb(kRulerFill)) << c.seek;
    }
}

TEST_F(TimelineViewTest, MelodyNotesInAShortArea) {
    // A waveform area only 20 pixels high: 104..124.
    view->layout(QRect(0, 0, 640, 434), QRect(0, 100, 640, 2), 156);
    ASSERT_EQ(view->waveformArea().height(), 20);
    const int top = 104, bottom = 124;
    open("song.mid");
    notes.append(NoteSpan{1000, 500, 127, 1, 64});
    notes.append(NoteSpan{2000, 300, 30, 0, 20});
    notes.append(NoteSpan{3000, 400, 64, 2 | NoteSpan::kNoteOpen, 100});
    engine->ms = 1500;  // played up to 150
    const QImage img = pixels();
    // Key 127 on the top row, not above the area.
    EXPECT_EQ(at(img, kLeft + 120, top), rgb(noteColour(64, 1)));
    EXPECT_EQ(at(img, kLeft + 120, top + 3), rgb(noteColour(64, 1)));
    EXPECT_EQ(at(img, kLeft + 120, top + 4), rgb(kNotesPlayedFill));
    EXPECT_EQ(at(img, kLeft + 100, top + 10), rgb(kNoteStartLine));  // from the bar down to the bottom
    EXPECT_EQ(at(img, kLeft + 100, bottom - 1), rgb(kNoteStartLine));
    // A low key on the bottom row.
    EXPECT_EQ(at(img, kLeft + 215, bottom - 1), rgb(noteColour(20, 0)));
    EXPECT_EQ(at(img, kLeft + 215, bottom - 5), rgb(kNotesUnplayedFill));
    // A note still sounding: its last 4 pixels at half red.
    const int openTop = bottom - noteBarOffset(64, 20);
    EXPECT_EQ(at(img, kLeft + 330, openTop + 1), rgb(noteColour(100, 2)));
    EXPECT_EQ(at(img, kLeft + 338, openTop + 1), rgb(openNoteEndColour(100, 2)));
}

TEST_F(TimelineViewTest, CharacterBoxesAtTheirTimesWithAGapAndTheLineColour) {
    open("clip.avi");
    sheet.addLine(makeLine(100, g("一二"), times({0, 50, 100})));
    sheet.addLine(makeLine(300, g("三"), times({0, 60}), kLineAltPlacement));
    const QImage img = pixels();
    const QColor window = canvas.palette().color(QPalette::Window);
    const uint32_t background = colourRef(window.red(), window.green(), window.blue());
    const int row = kAdjustTop + 1;
    EXPECT_EQ(at(img, kLeft + 130, row), rgb(adjustLineColour(background, false)));
    EXPECT_EQ(at(img, kLeft + 147, row), rgb(adjustLineColour(background, false)));
    // Two pixels between neighbours.
    EXPECT_EQ(at(img, kLeft + 148, row), rgb(background));
    EXPECT_EQ(at(img, kLeft + 149, row), rgb(background));
    EXPECT_EQ(at(img, kLeft + 180, row), rgb(adjustLineColour(background, false)));
    EXPECT_EQ(at(img, kLeft + 340, row), rgb(adjustLineColour(background, true)));
    // Boxes are 20 pixels high; below them the strip is bare.
    EXPECT_EQ(at(img, kLeft + 130, kAdjustTop + 19), rgb(adjustLineColour(background, false)));
    EXPECT_EQ(at(img, kLeft + 130, kAdjustTop + 22), rgb(background));
    // The characters themselves are drawn in black at their box's start.
    auto dark = [&](int x, int y) { return qRed(at(img, x, y)) < 90 && qGreen(at(img, x, y)) < 90; };
    bool ink = false;
    for (int x = kLeft + 100; x < kLeft + 120; ++x)
        for (int y = kAdjustTop; y < kAdjustTop + 20; ++y) ink = ink || dark(x, y);
    EXPECT_TRUE(ink);
}

TEST_F(TimelineViewTest, ScrollingAndProgressDrawTheSameAsAFullRedraw) {
    open("clip.avi");
    sheet.addLine(makeLine(500, g("一二三"), times({0, 50, 100, 150})));
    canvas.show();
    QApplication::processEvents();
    playAt(0);
    view->clockStarted(0);
    // The clock steps through two scrolls of half the view.
    int p = 0;
    for (; p <= 1000; p += 7) {
        engine->ms = p * 10;
        view->clockStep(p);
        QApplication::processEvents();
    }
    EXPECT_EQ(view->viewOrigin(), 2 * (kWidth / 2));
    const QRect areas = view->waveformArea().united(view->adjustArea());
    const QImage shown = canvas.screen()->grabWindow(canvas.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage fresh = pixels();
    ASSERT_FALSE(shown.isNull());
    int differing = 0;
    for (int y = areas.top(); y <= areas.bottom(); ++y)
        for (int x = areas.left(); x <= areas.right(); ++x) differing += at(shown, x, y) != at(fresh, x, y);
    EXPECT_EQ(differing, 0);
}

// ---- the waveform area's mouse -------------------------------------------------------------

TEST_F(TimelineViewTest, RightClickSeeksToThePositionUnderThePointerAndPauses) {
    open("clip.avi");
    for (int scale : {1, 2}) {
        transport.setTimeScale(scale);
        view->setViewOrigin(300);
        playAt(0);
        press(Qt::RightButton, kLeft + 50, 200);
        EXPECT_TRUE(taken);
        release(Qt::RightButton, kLeft + 50, 200);
        EXPECT_EQ(engine->ms, 350 * 10 / scale) << scale;
        EXPECT_EQ(engine->state, PlayState::Paused);
    }
}

TEST_F(TimelineViewTest, DraggingTheWaveformFollowsThePointerAndPlaysFromTheAnchor) {
    open("clip.avi");
    view->setViewOrigin(500);
    playAt(12000);
    press(Qt::LeftButton, kLeft + 100, 200);  // anchor 600
    EXPECT_EQ(engine->state, PlayState::Paused);
    move(Qt::LeftButton, kLeft + 140, 200);
    EXPECT_EQ(view->viewOrigin(), 460);
    EXPECT_EQ(view->dragAnchor(), 600);
    // Never left of the song start; the anchor stays in the first two thirds.
    move(Qt::LeftButton, kLeft + 600, 200);
    EXPECT_EQ(view->viewOrigin(), 0);
    EXPECT_EQ(view->dragAnchor(), 2 * kWidth / 3);
    release(Qt::LeftButton, kLeft + 600, 200);
    EXPECT_EQ(host.seeks.back(), 2 * kWidth / 3);
    EXPECT_EQ(engine->state, PlayState::Playing);
    EXPECT_EQ(host.slowReplayEnds, 1);
}

TEST_F(TimelineViewTest, AWaveformDragHeldOutsideTheAreaKeepsScrolling) {
    open("clip.avi");
    view->setViewOrigin(1000);
    press(Qt::LeftButton, kLeft + 300, 200);
    move(Qt::LeftButton, 700, 200);  // 394 right, ending 67 pixels beyond the right edge
    EXPECT_EQ(view->viewOrigin(), 606);
    view->outsideSteps(10);  // right of the area: toward earlier times, 3 a step
    EXPECT_EQ(view->viewOrigin(), 576);
    move(Qt::LeftButton, -20, 200);  // 26 pixels left of the area
    EXPECT_EQ(view->viewOrigin(), 1296);
    view->outsideSteps(5);
    EXPECT_EQ(view->viewOrigin(), 1311);
    release(Qt::LeftButton, -20, 200);
    view->outsideSteps(5);  // over: nothing moves
    EXPECT_EQ(view->viewOrigin(), 1311);
}

// ---- the lyric adjustment area's mouse ---------------------------------------------------------

TEST_F(TimelineViewTest, DraggingACharacterMovesItAndReplaysFromBeforeIt) {
    open("song.mid");
    sheet.addLine(makeLine(100, g("一二三"), times({0, 50, 100, 150})));
    sheet.addLine(makeLine(400, g("四"), times({0, 30})));
    playAt(3000);
    press(Qt::LeftButton, kLeft + 160, 270);  // the second character
    EXPECT_EQ(engine->state, PlayState::Paused);
    move(Qt::LeftButton, kLeft + 190, 270);
    EXPECT_EQ(sheet.lineAt(0)->charTimes, times({0, 80, 130, 180}));
    EXPECT_EQ(sheet.lineAt(1)->startTime, 430);  // later lines move along
    EXPECT_TRUE(document.modified());
    release(Qt::LeftButton, kLeft + 190, 270);
    ASSERT_EQ(host.results.size(), 1u);
    const EditResult& r = host.results.back();
    EXPECT_EQ(r.transport, TransportAction::Play);
    EXPECT_EQ(r.seekUnits, 160 - 50 - 20);  // half a second before, and a little more for MIDI
    EXPECT_TRUE(r.slowReplay);
}

TEST_F(TimelineViewTest, AClickWithoutMovingOnlyPausesAndSeeks) {
    open("song.mid");
    sheet.addLine(makeLine(100, g("一二三"), times({0, 50, 100, 150})));
    for (int x : {kLeft + 160, kLeft + 500}) {  // on a character, and beyond every line
        playAt(3000);
        press(Qt::LeftButton, x, 270);
        release(Qt::LeftButton, x, 270);
        const EditResult& r = host.results.back();
        EXPECT_EQ(r.transport, TransportAction::Pause) << x;
        EXPECT_EQ(r.seekUnits, x - kLeft) << x;
        EXPECT_FALSE(r.modified) << x;
    }
    EXPECT_EQ(sheet.lineAt(0)->charTimes, times({0, 50, 100, 150}));
}

TEST_F(TimelineViewTest, ACharacterDraggedBeyondTheEdgeKeepsMovingWithTheView) {
    open("clip.avi");
    sheet.addLine(makeLine(100, g("一二三"), times({0, 50, 100, 150})));
    press(Qt::LeftButton, kLeft + 210, 270);  // the third character, at 200
    move(Qt::LeftButton, kLeft + 600, 270);
    EXPECT_EQ(sheet.lineAt(0)->charTimes[2], 100 + 390);
    move(Qt::LeftButton, 700, 270);  // 67 beyond the right edge: 3 units a step
    const int before = sheet.lineAt(0)->charTimes[2];
    view->outsideSteps(4);
    EXPECT_EQ(view->viewOrigin(), 12);
    EXPECT_EQ(sheet.lineAt(0)->charTimes[2], before + 12);
    release(Qt::LeftButton, 700, 270);
    EXPECT_TRUE(host.results.back().slowReplay);
}

TEST_F(TimelineViewTest, MelodyTimingOnlyWhenTheMelodyPlaysAlone) {
    open("song.mid");
    sheet.addLine(makeLine(100, g("一二三"), times({0, 50, 100, 150})));
    for (int32_t start : {1200, 1700, 2300}) notes.append(NoteSpan{start, 300, 60, 0, 64});
    press(Qt::RightButton, kLeft + 110, 270);
    release(Qt::RightButton, kLeft + 110, 270);
    EXPECT_EQ(sheet.lineAt(0)->startTime, 100);
    EXPECT_TRUE(host.results.empty());
    EXPECT_EQ(host.slowReplayEnds, 1);  // a right click ends a slow replay all the same

    host.melodyAlone = true;
    press(Qt::RightButton, kLeft + 110, 270);
    release(Qt::RightButton, kLeft + 110, 270);
    EXPECT_EQ(sheet.lineAt(0)->startTime, 120);
    EXPECT_EQ(sheet.lineAt(0)->charTimes[1], 50);
    EXPECT_EQ(sheet.lineAt(0)->charTimes[2], 110);
    ASSERT_EQ(host.results.size(), 1u);
    EXPECT_TRUE(host.results.back().modified);
}

TEST_F(TimelineViewTest, GesturesWaitOutsideTheEditModes) {
    open("clip.avi");
    host.enabled = false;
    view->setViewOrigin(100);
    press(Qt::RightButton, kLeft + 50, 200);
    EXPECT_FALSE(taken);
    press(Qt::LeftButton, kLeft + 50, 200);
    EXPECT_FALSE(taken);
    EXPECT_TRUE(host.seeks.empty());
    EXPECT_EQ(host.pauses, 0);
}

// ---- the subtitle area's mouse -------------------------------------------------------------------

class SubtitleGestureTest : public TimelineViewTest {
protected:
    void SetUp() override {
        TimelineViewTest::SetUp();
        open("clip.avi");
        sheet.addLine(makeLine(1000, g("一二三四"), times({0, 30, 60, 90, 120})));
        sheet.addLine(makeLine(2000, g("五六"), times({0, 40, 80})));
        const QRect area = view->subtitleArea();
        const int h = 2 * area.width() / 21;
        subtitle = new SubtitleWindow(&canvas, area, 1100);
        subtitle->place(QRect(area.left(), area.top() + (area.height() - h) / 2, area.width(), h), kDefaultSubtitleFace,
                        SubtitlePlace::InEditor);
        subtitle->setText(sheet.lineAt(0)->text, true);
        view->setSubtitleWindow(subtitle);
        y = subtitle->y() + subtitle->height() / 2;
    }
    // Window x over the middle of character k of the text shown.
    int charX(int k) const {
        const SubtitleLayout& l = subtitle->layout();
        return subtitle->x() + l.textLeft + (l.charX[static_cast<size_t>(k)] + l.charX[static_cast<size_t>(k) + 1]) / 2;
    }

    SubtitleWindow* subtitle = nullptr;  // a child of the canvas
    int y = 0;
};

TEST_F(SubtitleGestureTest, SweepingTheWholeLineTimesItsCharacters) {
    playAt(10000);
    press(Qt::LeftButton, subtitle->x() + subtitle->textLeft() - 10, y);
    EXPECT_TRUE(view->keepsLine());
    const int at[] = {10500, 10800, 11100, 11400};
    for (int k = 0; k < 4; ++k) {
        engine->ms = at[k];
        move(Qt::LeftButton, charX(k), y);
    }
    engine->ms = 11700;
    release(Qt::LeftButton, subtitle->x() + subtitle->textRight() + 5, y);
    EXPECT_FALSE(view->keepsLine());
    // The first time is taken 20 cs early: the hand follows the singer.
    EXPECT_EQ(sheet.lineAt(0)->startTime, 1030);
    EXPECT_EQ(sheet.lineAt(0)->charTimes, times({0, 50, 80, 110, 140}));
    ASSERT_EQ(host.results.size(), 1u);
    EXPECT_EQ(host.results[0].transport, TransportAction::PauseThenResume);
    EXPECT_EQ(host.results[0].seekUnits, 1030);
    EXPECT_EQ(host.results[0].viewOrigin, 1030);
}

TEST_F(SubtitleGestureTest, ASweepEndingShortOfTheTextChangesNothing) {
    playAt(10000);
    press(Qt::LeftButton, charX(0), y);
    for (int k = 0; k < 2; ++k) {
        engine->ms += 300;
        move(Qt::LeftButton, charX(k), y);
    }
    release(Qt::LeftButton, charX(1), y);
    EXPECT_EQ(sheet.lineAt(0)->startTime, 1000);
    EXPECT_EQ(sheet.lineAt(0)->charTimes, times({0, 30, 60, 90, 120}));
    ASSERT_EQ(host.results.size(), 1u);
    EXPECT_EQ(host.results[0].transport, TransportAction::PauseThenResume);
    EXPECT_FALSE(host.results[0].modified);
}

TEST_F(SubtitleGestureTest, HoldingTheRightButtonStartsTheLineWhereItIsLetGo) {
    playAt(11500);  // the second line is on show
    press(Qt::RightButton, charX(0), y);
    EXPECT_TRUE(view->keepsLine());
    engine->ms = 18000;
    release(Qt::RightButton, charX(0), y);
    EXPECT_FALSE(view->keepsLine());
    EXPECT_EQ(sheet.lineAt(1)->startTime, 1800);
    EXPECT_EQ(sheet.lineAt(0)->startTime, 1000);
    ASSERT_EQ(host.results.size(), 1u);
    EXPECT_TRUE(host.results[0].modified);
}

TEST_F(SubtitleGestureTest, NoHoldWhileTheSongIsPaused) {
    engine->ms = 11500;
    press(Qt::RightButton, charX(0), y);
    EXPECT_FALSE(taken);
    EXPECT_FALSE(view->keepsLine());
}

}  // namespace
}  // namespace melnix
