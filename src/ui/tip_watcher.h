// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One per application: every 55 ms it looks where the mouse cursor last
// moved over a window of the program (none: outside them all), asks the
// window under a resting cursor for its help text and shows the text on a
// TipDisplay. Clicks and keys anywhere in the application take the tip away
// and keep tips off until the mouse moves again; until then the watcher
// does not wake up either, and while a tip is on show it sleeps until the
// tip runs out.

#include <QObject>
#include <QPoint>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "ui/tip_text.h"
#include "ui/core/tip_timing.h"

class QWidget;

namespace melnix {

class TipWatcher : public QObject {
    Q_OBJECT
public:
    struct Cursor {
        QPoint globalPos;
        bool buttonHeld = false;
    };
    using Clock = std::function<int64_t()>;
    using CursorProbe = std::function<Cursor()>;

    // Watches the whole application from construction on; display must
    // outlive the watcher.
    explicit TipWatcher(TipDisplay* display, QObject* parent = nullptr);
    ~TipWatcher() override;

    // For tests: a clock in ms and the cursor to look at instead of the real
    // ones. A watcher with replaced probes is usually driven by tick().
    void setClock(Clock clock) { clock_ = std::move(clock); }
    void setCursorProbe(CursorProbe probe) { probe_ = std::move(probe); }
    void stopTimer() {
        timer_.stop();
        driven_ = true;
    }

    void tick();
    bool ticking() const { return timer_.isActive(); }
    // When the watcher wakes next (ms from now), -1 when it sleeps until
    // the mouse moves.
    int nextTickMs() const { return timer_.isActive() ? timer_.remainingTime() : -1; }

    // The text that the window under a screen point has for it: the deepest
    // widget there (disabled ones too) or the nearest of its parents within
    // the same window that answers tips.
    static QString tipTextAt(const QPoint& globalPos);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Ticks at the watcher's pace from now on, unless it does already.
    void tickSoon();

    TipDisplay* display_;
    QTimer timer_;
    Clock clock_;
    CursorProbe probe_;
    QPoint cursorPos_;
    bool driven_ = false;  // ticked by hand (tests): the timer stays off
    TipWatchState state_;
};

}  // namespace melnix
