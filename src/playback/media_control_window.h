// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window of a hosted control: a child window whose whole client area is
// the media player's picture. The three control wrappers build on it and turn
// the player's events into their own.

#include <QImage>
#include <QWidget>
#include <memory>

#include "platform/media_player.h"

namespace melnix {

class MediaControlWindow : public QWidget {
    Q_OBJECT
public:
    // id is the control's child-window id; the window is named "control<id>".
    MediaControlWindow(QWidget* parent, int id);
    ~MediaControlWindow() override;

    int controlId() const { return id_; }
    // The picture last drawn (null before the first).
    QImage lastFrame() const { return player_->lastFrame(); }

protected:
    MediaPlayer& player() const { return *player_; }
    // The player's events, on the user-interface thread.
    virtual void mediaLoaded() {}
    virtual void mediaStateChanged(MediaState) {}

    void resizeEvent(QResizeEvent* event) override;

private:
    int id_;
    std::unique_ptr<MediaPlayer> player_;
};

}  // namespace melnix
