// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/song_clock.h"

#include <QWidget>

#include "editor/core/clock_text.h"
#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/line_display.h"
#include "editor/progress_slider.h"
#include "editor/show_bridge.h"
#include "editor/timeline_view.h"
#include "platform/wave_in_capture.h"
#include "playback/core/transport.h"
#include "ui/command_event.h"

namespace melnix {
namespace {

// The clock steps, and the display follows the song, 25 times a second, as
// a television picture does: every step is a repaint of the window, and 50
// of them cost the editor more processor time than a media player playing
// the same song (the show keeps its own faster steps).
constexpr int kClockStepMs = 40;

}  // namespace

SongClock::SongClock(EditorContext& ctx) : ctx_(ctx) {
    timer_.setInterval(kClockStepMs);
    connect(&timer_, &QTimer::timeout, this, [this] { step(); });
}

SongClock::~SongClock() = default;

void SongClock::setCapture(std::unique_ptr<WaveInCapture> capture) { capture_ = std::move(capture); }

void SongClock::start() {
    if (timer_.isActive()) {
        pending_ = Request::Clock;
        stop();
        return;
    }
    const Transport& t = *ctx_.transport;
    if (t.playState() != PlayState::Playing || ctx_.show->running()) return;
    lastDrawn_ = -1;
    ctx_.transport->startLevelRun();
    if (capture_ && !ctx_.timeline->rulerMode()) capture_->Resume();
    ctx_.lines->restartClosingTexts();
    ctx_.timeline->clockStarted(t.positionUnits());
    timer_.start();
}

void SongClock::stop() {
    if (!timer_.isActive()) return;
    timer_.stop();
    if (capture_) capture_->Pause();
    postCommand(ctx_.window, kCmdPendingRequest);
}

void SongClock::step() {
    Transport& t = *ctx_.transport;
    if (t.playState() != PlayState::Playing) {
        stop();
        return;
    }
    const int p = t.positionUnits();
    // The recording covers the first hour; there the clock has done its part.
    if (capture_ && !ctx_.timeline->rulerMode() &&
        !t.recordLevelStep(p / t.timeScale(), captureLevel(capture_->RecentPeak()))) {
        stop();
        return;
    }
    if (p == lastDrawn_) return;
    showPosition(p);
    if (!ctx_.timeline->keepsLine()) ctx_.lines->showAt(p);
    ctx_.timeline->clockStep(p);
    lastDrawn_ = p;
}

void SongClock::showPosition(int units) {
    const int cs = units / ctx_.transport->timeScale();
    ctx_.controls->slider()->setPos(cs);
    if (cs / 10 != lastTenths_) {
        lastTenths_ = cs / 10;
        ctx_.controls->setLabelText(idPosition, QString::fromStdString(formatClock(cs)));
    }
}

void SongClock::runPendingRequest() {
    const Request request = pending_;
    pending_ = Request::None;
    switch (request) {
        case Request::Exit: ctx_.window->close(); break;
        case Request::Clock: start(); break;
        case Request::None: break;
    }
}

}  // namespace melnix
