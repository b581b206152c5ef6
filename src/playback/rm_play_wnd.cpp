// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/rm_play_wnd.h"

#include <algorithm>
#include <cmath>

namespace melnix {
namespace {

long playStateOf(MediaState s) {
    switch (s) {
        case MediaState::Loading: return kRmContacting;
        case MediaState::Paused: return kRmPaused;
        case MediaState::Playing: return kRmPlaying;
        case MediaState::Closed:
        case MediaState::Ended:
        case MediaState::Failed: return kRmStopped;
    }
    return kRmStopped;
}

std::string shortNameOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

CRMPlayWnd::CRMPlayWnd(QWidget* parent, int id) : MediaControlWindow(parent, id) {}

void CRMPlayWnd::SetSource(const std::string& path) {
    source_ = path;
    if (!player().open(path, autoStart_)) {
        mediaStateChanged(MediaState::Failed);
        return;
    }
    mediaStateChanged(MediaState::Loading);
}

void CRMPlayWnd::DoPlay() { player().play(); }

void CRMPlayWnd::DoPause() { player().pause(); }

long CRMPlayWnd::GetPosition() const { return std::lround(player().position() * 1000.0); }

void CRMPlayWnd::SetPosition(long ms) { player().seek(static_cast<double>(ms) / 1000.0); }

long CRMPlayWnd::GetLength() const { return std::lround(player().duration() * 1000.0); }

void CRMPlayWnd::SetVolume(short volume) {
    volume_ = std::clamp<short>(volume, 0, kRmVolumeMax);
    player().setVolume(static_cast<double>(volume_) / kRmVolumeMax);
}

void CRMPlayWnd::SetMute(bool on) { player().setMuted(on); }

bool CRMPlayWnd::GetMute() const { return player().muted(); }

long CRMPlayWnd::GetClipWidth() const { return player().pictureWidth(); }

long CRMPlayWnd::GetClipHeight() const { return player().pictureHeight(); }

void CRMPlayWnd::mediaLoaded() {
    if (onClipOpened) onClipOpened(shortNameOf(source_), source_);
}

void CRMPlayWnd::mediaStateChanged(MediaState s) {
    // The error comes first, so that a listener can tell a failure from the
    // clip's end when the state falls to stopped.
    if (s == MediaState::Failed && onErrorMessage) onErrorMessage(player().errorText());
    const long old = playState_;
    playState_ = playStateOf(s);
    if (playState_ != old && onPlayStateChange) onPlayStateChange(old, playState_);
}

}  // namespace melnix
