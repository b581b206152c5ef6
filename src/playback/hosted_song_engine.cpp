// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/hosted_song_engine.h"

#include <QMetaObject>
#include <QPointer>
#include <QResizeEvent>
#include <algorithm>

#include "songlist/media_kind.h"
#include "playback/core/volume.h"
#include "playback/media_player2.h"
#include "playback/rm_play_wnd.h"
#include "playback/shockwave_flash.h"
#include "songlist/media_kind.h"

namespace melnix {
namespace {

// A Flash movie reports no position; its song is one second long and its
// picture 320 x 240.
constexpr int32_t kFlashLengthMs = 1000;
constexpr int kFlashWidth = 320;
constexpr int kFlashHeight = 240;
constexpr const char* kStreamingControls = "IMAGEWINDOW";
constexpr const char* kStreamingConsole = "z0Clip1";

// What the three engines share: the control window, its ready flag, the
// volume level last asked for, and the hand-over of events to the editor.
template <typename Control>
class HostedEngine : public SongEngine {
public:
    HostedEngine(QWidget* site, int id, HostedSongEvents events) : ctl_(new Control(site, id)), events_(std::move(events)) {
        ctl_->setGeometry(site->rect());
        ctl_->show();
    }
    ~HostedEngine() override { delete ctl_; }

    void setSpeed(int, bool) override {}
    bool hasSpeeds() const override { return false; }

protected:
    // The event runs after the control's own event has returned, and never
    // once the control is gone (pending calls die with it).
    void post(const std::function<void()>& fn) {
        if (fn) QMetaObject::invokeMethod(ctl_, [fn] { fn(); }, Qt::QueuedConnection);
    }
    void fail(const std::string& detail) {
        if (auto f = events_.failed) post([f, detail] { f(detail); });
    }

    Control* ctl_;
    HostedSongEvents events_;
    bool ready_ = false;
    int level_ = kMaxVolumeLevel;
};

class MediaPlayerEngine : public HostedEngine<CMediaPlayer2> {
public:
    MediaPlayerEngine(const std::string& path, QWidget* site, HostedSongEvents events)
        : HostedEngine(site, kMediaPlayerSongId, std::move(events)) {
        ctl_->onReadyStateChange = [this](long s) {
            if (s != kMpReadyComplete || ready_) return;
            ready_ = true;
            applyVolume();
            post(events_.ready);
        };
        ctl_->onPlayStateChange = [this](long, long s) {
            if (s != kMpPlaying) return;
            applyVolume();
            post(events_.playing);
        };
        ctl_->onEndOfStream = [this](long) { post(events_.ended); };
        ctl_->onError = [this] { fail(ctl_->GetErrorDescription()); };
        ctl_->SetFileName(path);
    }

    PlayState playState() const override {
        if (!ready_) return PlayState::Stopped;
        const long s = ctl_->GetPlayState();
        return s == kMpPlaying ? PlayState::Playing : s == kMpPaused ? PlayState::Paused : PlayState::Stopped;
    }
    int32_t positionMs() const override {
        return ready_ ? static_cast<int32_t>(ctl_->GetCurrentPosition() * 1000.0) : 0;
    }
    bool seekMs(int32_t ms) override {
        if (ready_) ctl_->SetCurrentPosition(ms / 1000.0);
        return true;
    }
    bool play() override {
        if (!ready_) return false;
        ctl_->Play();
        return true;
    }
    bool pause() override {
        if (!ready_) return false;
        ctl_->Pause();
        return true;
    }
    int32_t lengthMs() const override { return ready_ ? static_cast<int32_t>(ctl_->GetDuration() * 1000.0) : 0; }
    void setVolumeLevel(int level) override {
        level_ = level;
        if (ready_) applyVolume();
    }
    bool replay() override {
        if (!ready_) return false;
        ctl_->SetCurrentPosition(0);
        ctl_->Play();
        return true;
    }
    int videoWidth() const override { return ready_ ? static_cast<int>(ctl_->GetImageSourceWidth()) : 0; }
    int videoHeight() const override { return ready_ ? static_cast<int>(ctl_->GetImageSourceHeight()) : 0; }

private:
    // Level 0 is the transport's mute.
    void applyVolume() {
        ctl_->SetMute(level_ == 0);
        if (level_ > 0) ctl_->SetVolume(mediaPlayerVolume(trackPosFromLevel(level_)));
    }
};

class StreamingEngine : public HostedEngine<CRMPlayWnd> {
public:
    StreamingEngine(const std::string& path, QWidget* site, HostedSongEvents events)
        : HostedEngine(site, kRealPlayerId, std::move(events)) {
        ctl_->SetControls(kStreamingControls);
        ctl_->SetAutoStart(true);
        ctl_->onClipOpened = [this](const std::string&, const std::string&) {
            if (ready_) return;
            ready_ = true;
            applyVolume();
            post(events_.ready);
        };
        ctl_->onErrorMessage = [this](const std::string& text) {
            failed_ = true;
            fail(text);
        };
        ctl_->onPlayStateChange = [this](long from, long to) {
            if (to == kRmPlaying) {
                // Full volume is the control's own; the lowest level is silence.
                if (level_ > 0 && level_ < kMaxVolumeLevel)
                    ctl_->SetVolume(static_cast<short>(level_ == kMinVolumeLevel ? 0 : level_ / 10));
                post(events_.playing);
            } else if (to == kRmStopped && from != kRmStopped && ready_ && !failed_) {
                post(events_.ended);
            }
        };
        ctl_->SetSource(path);
        ctl_->SetConsole(kStreamingConsole);
    }

    PlayState playState() const override {
        if (!ready_) return PlayState::Stopped;
        const long s = ctl_->GetPlayState();
        return s == kRmPlaying ? PlayState::Playing : s != kRmStopped ? PlayState::Paused : PlayState::Stopped;
    }
    int32_t positionMs() const override { return ready_ ? static_cast<int32_t>(ctl_->GetPosition()) : 0; }
    bool seekMs(int32_t ms) override {
        if (ready_) ctl_->SetPosition(ms);
        return true;
    }
    bool play() override {
        if (!ready_) return false;
        ctl_->DoPlay();
        return true;
    }
    bool pause() override {
        if (!ready_) return false;
        ctl_->DoPause();
        return true;
    }
    int32_t lengthMs() const override { return ready_ ? static_cast<int32_t>(ctl_->GetLength()) : 0; }
    void setVolumeLevel(int level) override {
        level_ = level;
        if (ready_) applyVolume();
    }
    bool replay() override {
        if (!ready_) return false;
        ctl_->SetPosition(0);
        ctl_->DoPlay();
        return true;
    }
    int videoWidth() const override { return ready_ ? static_cast<int>(ctl_->GetClipWidth()) : 0; }
    int videoHeight() const override { return ready_ ? static_cast<int>(ctl_->GetClipHeight()) : 0; }

private:
    void applyVolume() {
        ctl_->SetMute(level_ == 0);
        if (level_ > 0) ctl_->SetVolume(streamingVolume(level_));
    }

    bool failed_ = false;
};

// The Flash control has no position, state or volume for the transport: it
// plays (and loops) on its own.
class FlashEngine : public HostedEngine<CShockwaveFlash> {
public:
    FlashEngine(const std::string& path, QWidget* site, HostedSongEvents events)
        : HostedEngine(site, kFlashId, std::move(events)) {
        ctl_->onReadyStateChange = [this](long s) {
            if (s != kFlashComplete || ready_) return;
            ready_ = true;
            post(events_.ready);
        };
        ctl_->onError = [this](const std::string& text) { fail(text); };
        ctl_->LoadMovie(0, path);
    }

    PlayState playState() const override { return PlayState::Stopped; }
    int32_t positionMs() const override { return 0; }
    bool seekMs(int32_t) override { return true; }
    bool play() override {
        ctl_->Play();
        return true;
    }
    bool pause() override {
        ctl_->StopPlay();
        return true;
    }
    int32_t lengthMs() const override { return kFlashLengthMs; }
    void setVolumeLevel(int) override {}
    bool replay() override { return play(); }
    int videoWidth() const override { return kFlashWidth; }
    int videoHeight() const override { return kFlashHeight; }
};

}  // namespace

std::unique_ptr<SongEngine> makeHostedSongEngine(const std::string& path, QWidget* site, HostedSongEvents events) {
    const SongKind kind = songKindOf(path);
    if (isWaveKind(kind) || kind == SongKind::Midi) return nullptr;
    if (kind == SongKind::Flash) return std::make_unique<FlashEngine>(path, site, std::move(events));
    if (kind == SongKind::Streaming) return std::make_unique<StreamingEngine>(path, site, std::move(events));
    return std::make_unique<MediaPlayerEngine>(path, site, std::move(events));
}

ControlSite::ControlSite(QWidget* parent, const QRect& home) : QWidget(parent) {
    setObjectName("controlSite");
    setFocusPolicy(Qt::NoFocus);
    setGeometry(home);
}

void ControlSite::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (QWidget* w : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) w->setGeometry(rect());
}

}  // namespace melnix
