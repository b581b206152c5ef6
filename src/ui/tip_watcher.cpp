// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tip_watcher.h"

#include <QApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <algorithm>
#include <chrono>

namespace melnix {
namespace {

// Where the cursor is when it is over none of the program's windows.
constexpr QPoint kNowhere(-1000000, -1000000);

}  // namespace

TipWatcher::TipWatcher(TipDisplay* display, QObject* parent)
    : QObject(parent),
      display_(display),
      clock_([] {
          using namespace std::chrono;
          return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
      }),
      // The position the windows were last told: asking the display server
      // every tick cost a round trip to it 18 times a second.
      probe_([this] { return Cursor{cursorPos_, QGuiApplication::mouseButtons() != Qt::NoButton}; }),
      cursorPos_(QCursor::pos()) {
    connect(&timer_, &QTimer::timeout, this, &TipWatcher::tick);
    timer_.start(kTipTickMs);
    qApp->installEventFilter(this);
}

TipWatcher::~TipWatcher() {
    if (qApp) qApp->removeEventFilter(this);
}

void TipWatcher::tick() {
    int64_t now = clock_();
    Cursor c = probe_();
    switch (state_.tick(now, {c.globalPos.x(), c.globalPos.y()}, c.buttonHeld)) {
    case TipWatchState::Action::None:
        break;
    case TipWatchState::Action::HideTip:
        display_->hideTip();
        break;
    case TipWatchState::Action::AskForTip: {
        QString text = tipTextAt(c.globalPos);
        if (!text.isEmpty()) {
            display_->showTip(text);
            state_.tipShown(now);
        }
        break;
    }
    }
    // Until the cursor moves over a window again there is nothing to do.
    if (state_.idle() || (c.globalPos == kNowhere && !state_.tipVisible())) {
        timer_.stop();
        return;
    }
    if (driven_) return;
    if (state_.tipVisible()) {
        // Where the cursor goes while a tip is on show changes nothing
        // before the tip runs out.
        timer_.start(static_cast<int>(std::max<int64_t>(kTipTickMs, state_.tipEndMs() - now)));
    } else if (timer_.interval() != kTipTickMs) {
        timer_.start(kTipTickMs);
    }
}

void TipWatcher::tickSoon() {
    if (driven_ || (timer_.isActive() && timer_.interval() == kTipTickMs)) return;
    timer_.start(kTipTickMs);
}

QString TipWatcher::tipTextAt(const QPoint& globalPos) {
    // Widgets that do not answer (labels, frames) let their parent answer for
    // the point, as the areas of a window are answered by the window itself.
    for (QWidget* w = QApplication::widgetAt(globalPos); w; w = w->parentWidget()) {
        if (auto* source = dynamic_cast<TipTextSource*>(w)) return source->tipTextAt(w->mapFromGlobal(globalPos));
        if (w->isWindow()) break;
    }
    return {};
}

bool TipWatcher::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    // A window hears of every move over it, whether its widgets track the
    // mouse or not.
    case QEvent::MouseMove:
    case QEvent::Enter:
    case QEvent::Leave:
        if (!watched->isWindowType()) break;
        cursorPos_ = event->type() == QEvent::Leave ? kNowhere
                                                    : static_cast<QSinglePointEvent*>(event)->globalPosition().toPoint();
        if (!state_.tipVisible()) tickSoon();
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (state_.userInput(clock_())) display_->hideTip();
        // The wait for a tip's end is over; the next move counts at once.
        if (timer_.isActive() && timer_.interval() != kTipTickMs) timer_.stop();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace melnix
