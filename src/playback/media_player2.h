// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The media-player control: videos, Windows Media files and every other kind
// of media that has no player of its own. It keeps the control's units:
// positions in seconds, volume in hundredths of a decibel, and its play and
// ready states.

#include <functional>
#include <string>

#include "playback/media_control_window.h"

namespace melnix {

constexpr int kMediaPlayerSongId = 1001;
constexpr int kMediaPlayerBackgroundId = 1003;

// Play states.
constexpr long kMpStopped = 0;
constexpr long kMpPaused = 1;
constexpr long kMpPlaying = 2;
constexpr long kMpWaiting = 3;  // opening the media
constexpr long kMpClosed = 6;   // no media, or media that could not be opened

// Ready states.
constexpr long kMpReadyUninitialized = 0;
constexpr long kMpReadyLoading = 1;
constexpr long kMpReadyComplete = 4;

// Volume: 0 is full volume, -10000 the quietest.
constexpr long kMpVolumeFull = 0;
constexpr long kMpVolumeMin = -10000;

class CMediaPlayer2 : public MediaControlWindow {
    Q_OBJECT
public:
    explicit CMediaPlayer2(QWidget* parent, int id = kMediaPlayerSongId);

    // Opens the media; it plays as soon as it has loaded while AutoStart is on
    // (the default).
    void SetFileName(const std::string& path);
    std::string GetFileName() const { return fileName_; }
    void SetAutoStart(bool on) { autoStart_ = on; }
    bool GetAutoStart() const { return autoStart_; }

    long GetPlayState() const { return playState_; }
    long GetReadyState() const { return readyState_; }
    void Play();
    void Pause();

    double GetCurrentPosition() const;
    void SetCurrentPosition(double seconds);
    double GetDuration() const;

    void SetMute(bool on);
    bool GetMute() const;
    void SetVolume(long hundredthsOfDecibel);
    long GetVolume() const { return volume_; }

    long GetImageSourceWidth() const;
    long GetImageSourceHeight() const;
    std::string GetErrorDescription() const;

    // Events.
    std::function<void(long readyState)> onReadyStateChange;
    std::function<void(long oldState, long newState)> onPlayStateChange;
    std::function<void(long result)> onEndOfStream;
    std::function<void()> onError;

protected:
    void mediaLoaded() override;
    void mediaStateChanged(MediaState s) override;

private:
    void setReadyState(long s);

    std::string fileName_;
    bool autoStart_ = true;
    long playState_ = kMpClosed;
    long readyState_ = kMpReadyUninitialized;
    long volume_ = kMpVolumeFull;
};

}  // namespace melnix
