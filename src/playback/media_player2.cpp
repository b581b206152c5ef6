// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/media_player2.h"

#include <algorithm>
#include <cmath>

namespace melnix {
namespace {

long playStateOf(MediaState s) {
    switch (s) {
        case MediaState::Loading: return kMpWaiting;
        case MediaState::Paused: return kMpPaused;
        case MediaState::Playing: return kMpPlaying;
        case MediaState::Ended: return kMpStopped;
        case MediaState::Closed:
        case MediaState::Failed: return kMpClosed;
    }
    return kMpClosed;
}

}  // namespace

CMediaPlayer2::CMediaPlayer2(QWidget* parent, int id) : MediaControlWindow(parent, id) {}

void CMediaPlayer2::SetFileName(const std::string& path) {
    fileName_ = path;
    if (!player().open(path, autoStart_)) {
        mediaStateChanged(MediaState::Failed);
        return;
    }
    setReadyState(kMpReadyLoading);
    mediaStateChanged(MediaState::Loading);
}

void CMediaPlayer2::Play() { player().play(); }

void CMediaPlayer2::Pause() { player().pause(); }

double CMediaPlayer2::GetCurrentPosition() const { return player().position(); }

void CMediaPlayer2::SetCurrentPosition(double seconds) { player().seek(seconds); }

double CMediaPlayer2::GetDuration() const { return player().duration(); }

void CMediaPlayer2::SetMute(bool on) { player().setMuted(on); }

bool CMediaPlayer2::GetMute() const { return player().muted(); }

void CMediaPlayer2::SetVolume(long hundredthsOfDecibel) {
    volume_ = std::clamp(hundredthsOfDecibel, kMpVolumeMin, kMpVolumeFull);
    player().setVolume(std::pow(10.0, static_cast<double>(volume_) / 2000.0));
}

long CMediaPlayer2::GetImageSourceWidth() const { return player().pictureWidth(); }

long CMediaPlayer2::GetImageSourceHeight() const { return player().pictureHeight(); }

std::string CMediaPlayer2::GetErrorDescription() const { return player().errorText(); }

void CMediaPlayer2::setReadyState(long s) {
    if (s == readyState_) return;
    readyState_ = s;
    if (onReadyStateChange) onReadyStateChange(s);
}

void CMediaPlayer2::mediaLoaded() { setReadyState(kMpReadyComplete); }

void CMediaPlayer2::mediaStateChanged(MediaState s) {
    if (s == MediaState::Failed || s == MediaState::Closed) setReadyState(kMpReadyUninitialized);
    const long old = playState_;
    playState_ = playStateOf(s);
    if (playState_ != old && onPlayStateChange) onPlayStateChange(old, playState_);
    if (s == MediaState::Ended && onEndOfStream) onEndOfStream(0);
    if (s == MediaState::Failed && onError) onError();
}

}  // namespace melnix
