// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Flash control. The movie plays for what the media library can decode of
// it (its video and sound streams; vector animation is not drawn). It keeps
// the control's ready states and its progress event, and loops by default as
// the control does.

#include <functional>
#include <string>

#include "playback/media_control_window.h"

namespace melnix {

constexpr int kFlashId = 1173;

// Ready states.
constexpr long kFlashLoading = 0;
constexpr long kFlashUninitialized = 1;
constexpr long kFlashLoaded = 2;
constexpr long kFlashInteractive = 3;
constexpr long kFlashComplete = 4;

class CShockwaveFlash : public MediaControlWindow {
    Q_OBJECT
public:
    explicit CShockwaveFlash(QWidget* parent, int id = kFlashId);

    // Only the base layer (0) holds a movie here; other layers are ignored.
    void LoadMovie(int layer, const std::string& url);
    std::string GetMovie() const { return movie_; }
    void Play();
    void StopPlay();
    bool IsPlaying() const { return playing_; }
    void SetLoop(bool on);
    bool GetLoop() const { return loop_; }
    long GetReadyState() const { return readyState_; }

    // Events.
    std::function<void(long newState)> onReadyStateChange;
    std::function<void(long percentDone)> onProgress;
    // The movie could not be decoded at all.
    std::function<void(const std::string& reason)> onError;

protected:
    void mediaLoaded() override;
    void mediaStateChanged(MediaState s) override;

private:
    void setReadyState(long s);

    std::string movie_;
    bool loop_ = true;
    bool playing_ = false;
    long readyState_ = kFlashUninitialized;
};

}  // namespace melnix
