// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/shockwave_flash.h"

namespace melnix {

CShockwaveFlash::CShockwaveFlash(QWidget* parent, int id) : MediaControlWindow(parent, id) { player().setLooping(loop_); }

void CShockwaveFlash::LoadMovie(int layer, const std::string& url) {
    if (layer != 0) return;
    movie_ = url;
    if (!player().open(url, true)) {
        mediaStateChanged(MediaState::Failed);
        return;
    }
    setReadyState(kFlashLoading);
}

void CShockwaveFlash::Play() { player().play(); }

void CShockwaveFlash::StopPlay() { player().pause(); }

void CShockwaveFlash::SetLoop(bool on) {
    loop_ = on;
    player().setLooping(on);
}

void CShockwaveFlash::setReadyState(long s) {
    if (s == readyState_) return;
    readyState_ = s;
    if (onReadyStateChange) onReadyStateChange(s);
}

void CShockwaveFlash::mediaLoaded() {
    if (onProgress) onProgress(100);
    setReadyState(kFlashComplete);
}

void CShockwaveFlash::mediaStateChanged(MediaState s) {
    playing_ = s == MediaState::Playing;
    if (s == MediaState::Failed) {
        setReadyState(kFlashUninitialized);
        if (onError) onError(player().errorText());
    }
}

}  // namespace melnix
