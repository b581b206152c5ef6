// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/media_control_window.h"

#include <QResizeEvent>

namespace melnix {

MediaControlWindow::MediaControlWindow(QWidget* parent, int id)
    : QWidget(parent), id_(id), player_(createMediaPlayer(this)) {
    setObjectName(QString("control%1").arg(id));
    setFocusPolicy(Qt::NoFocus);
    player_->videoWidget()->setGeometry(rect());
    // The wrappers' events run virtual functions, which is safe only once the
    // wrapper is fully built: events come through the event loop, never
    // during construction.
    player_->setEvents(MediaEvents{[this] { mediaLoaded(); }, [this](MediaState s) { mediaStateChanged(s); }});
}

MediaControlWindow::~MediaControlWindow() { player_->setEvents({}); }

void MediaControlWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    player_->videoWidget()->setGeometry(rect());
}

}  // namespace melnix
