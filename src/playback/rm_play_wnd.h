// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The streaming-media control: RealMedia files and their pointer files. It
// keeps the control's units: positions and lengths in milliseconds, volume
// 0..100, its play states, its source and console names, and the clip-opened
// event that says the media has loaded.

#include <functional>
#include <string>

#include "playback/media_control_window.h"

namespace melnix {

constexpr int kRealPlayerId = 1171;

// Play states.
constexpr long kRmStopped = 0;
constexpr long kRmContacting = 1;
constexpr long kRmBuffering = 2;
constexpr long kRmPlaying = 3;
constexpr long kRmPaused = 4;
constexpr long kRmSeeking = 5;

constexpr short kRmVolumeMax = 100;

class CRMPlayWnd : public MediaControlWindow {
    Q_OBJECT
public:
    explicit CRMPlayWnd(QWidget* parent, int id = kRealPlayerId);

    // The parts of the control that are shown; the picture is all there is here.
    void SetControls(const std::string& controls) { controls_ = controls; }
    std::string GetControls() const { return controls_; }
    void SetAutoStart(bool on) { autoStart_ = on; }
    bool GetAutoStart() const { return autoStart_; }
    // Opens the clip; it plays as soon as it has loaded while AutoStart is on.
    void SetSource(const std::string& path);
    std::string GetSource() const { return source_; }
    // The name that ties controls of one presentation together.
    void SetConsole(const std::string& name) { console_ = name; }
    std::string GetConsole() const { return console_; }

    void DoPlay();
    void DoPause();
    long GetPlayState() const { return playState_; }

    long GetPosition() const;
    void SetPosition(long ms);
    long GetLength() const;

    void SetVolume(short volume);
    short GetVolume() const { return volume_; }
    void SetMute(bool on);
    bool GetMute() const;

    long GetClipWidth() const;
    long GetClipHeight() const;

    // Events.
    std::function<void(const std::string& shortClipName, const std::string& url)> onClipOpened;
    std::function<void(long oldState, long newState)> onPlayStateChange;
    std::function<void(const std::string& message)> onErrorMessage;

protected:
    void mediaLoaded() override;
    void mediaStateChanged(MediaState s) override;

private:
    std::string controls_;
    std::string source_;
    std::string console_;
    bool autoStart_ = true;
    long playState_ = kRmStopped;
    short volume_ = kRmVolumeMax;
};

}  // namespace melnix
