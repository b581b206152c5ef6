// SPDX-License-Identifier: GPL-3.0-or-later
// The media player on libmpv. The picture comes from mpv's software renderer,
// run on a thread of its own (mpv's rule for its render API: the render thread
// must never wait for the core), into a QImage that the widget paints. Events
// come back to the user-interface thread as queued calls.

#include <QImage>
#include <QMetaObject>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QWidget>
#include <atomic>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cmath>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <string_view>
#include <thread>

#include <mpv/client.h>
#include <mpv/render.h>

#include "platform/media_player.h"

namespace melnix {
namespace {

// Observed properties, told apart by their reply ids.
enum Observed : uint64_t { kPause = 1, kEofReached, kDuration, kWidth, kHeight };

constexpr std::chrono::seconds kSeekReadBack{3};

// mpv's volume property is a percentage on a cubic scale.
double mpvVolumeFromGain(double gain) { return 100.0 * std::cbrt(gain < 0 ? 0 : gain > 1 ? 1 : gain); }
double gainFromMpvVolume(double volume) {
    const double v = volume / 100.0;
    return v * v * v;
}

// Real sound unless MELNIX_AUDIO names another output; the WAV-file choice is
// the wave engine's, so the hosted player stays silent with it.
bool wantsSound() {
    const char* choice = std::getenv("MELNIX_AUDIO");
    return !choice || !*choice || std::string_view(choice) == "sdl";
}

class VideoView : public QWidget {
public:
    explicit VideoView(QWidget* parent) : QWidget(parent) {
        setAttribute(Qt::WA_OpaquePaintEvent);
        setFocusPolicy(Qt::NoFocus);
    }

    std::function<void(QSize)> resized;

    void setFrame(QImage frame) {
        frame_ = std::move(frame);
        update();
    }
    QImage frame() const { return frame_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (frame_.isNull()) {
            p.fillRect(rect(), Qt::black);
            return;
        }
        // A frame made for the previous size is stretched until the next one comes.
        p.drawImage(rect(), frame_);
    }
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (resized) resized(event->size() * devicePixelRatio());
    }

private:
    QImage frame_;
};

class MpvMediaPlayer : public MediaPlayer {
public:
    explicit MpvMediaPlayer(QWidget* parent) : view_(new VideoView(parent)), viewGuard_(view_) {
        view_->resized = [this](QSize size) {
            std::lock_guard lock(renderMutex_);
            target_ = size;
            redraw_ = true;
            renderWake_ = true;
            renderCv_.notify_one();
        };
        target_ = view_->size() * view_->devicePixelRatio();
        start();
    }

    ~MpvMediaPlayer() override {
        if (renderThread_.joinable()) {
            {
                std::lock_guard lock(renderMutex_);
                renderQuit_ = true;
            }
            renderCv_.notify_one();
            renderThread_.join();
        }
        // The render context goes first: mpv waits for it before it lets go
        // of the video output.
        if (render_) mpv_render_context_free(render_);
        if (mpv_) mpv_terminate_destroy(mpv_);
        if (viewGuard_) {
            view_->resized = nullptr;
            delete view_;
        }
    }

    const char* name() const override { return "mpv"; }
    void setEvents(MediaEvents events) override { events_ = std::move(events); }
    QWidget* videoWidget() const override { return view_; }

    bool open(const std::string& path, bool autoPlay) override {
        if (!mpv_) return false;
        resetMedia();
        opened_ = true;
        setFlag("pause", !autoPlay);
        // A relative name must not be taken for a protocol or an option.
        const std::string target = path.empty() || path[0] == '/' ? path : "./" + path;
        const char* cmd[] = {"loadfile", target.c_str(), "replace", nullptr};
        if (mpv_command(mpv_, cmd) < 0) {
            opened_ = false;
            return false;
        }
        return true;
    }

    void close() override {
        if (!mpv_ || !opened_) return;
        const char* cmd[] = {"stop", nullptr};
        mpv_command(mpv_, cmd);
        resetMedia();
        report();
    }

    void play() override {
        if (!loaded_) return;
        if (eof_) seek(0);
        setFlag("pause", false);
    }

    void pause() override {
        if (loaded_) setFlag("pause", true);
    }

    MediaState state() const override {
        if (failed_) return MediaState::Failed;
        if (!opened_) return MediaState::Closed;
        if (!loaded_) return MediaState::Loading;
        if (eof_) return MediaState::Ended;
        return paused_ ? MediaState::Paused : MediaState::Playing;
    }

    double position() const override {
        if (!loaded_) return 0;
        // A seek reads back its target until it is done; a stream that cannot
        // seek never reports done, so the target only counts for a while.
        if (seeking_ && std::chrono::steady_clock::now() - seekStarted_ < kSeekReadBack) return seekTarget_;
        double pos = 0;
        if (mpv_get_property(mpv_, "time-pos", MPV_FORMAT_DOUBLE, &pos) < 0 || !(pos > 0)) return 0;
        return pos;
    }

    double duration() const override { return loaded_ ? duration_ : 0; }

    void seek(double seconds) override {
        if (!loaded_) return;
        if (!(seconds > 0)) seconds = 0;
        // Numbers in commands are C-locale text.
        char at[32] = {};
        std::to_chars(at, at + sizeof at - 1, seconds, std::chars_format::fixed, 3);
        const char* cmd[] = {"seek", at, "absolute+exact", nullptr};
        if (mpv_command(mpv_, cmd) < 0) return;
        seeking_ = true;
        seekStarted_ = std::chrono::steady_clock::now();
        seekTarget_ = duration_ > 0 && seconds > duration_ ? duration_ : seconds;
    }

    void setMuted(bool on) override {
        muted_ = on;
        setFlag("mute", on);
    }
    bool muted() const override { return muted_; }

    void setVolume(double gain) override {
        if (!mpv_) return;
        double v = mpvVolumeFromGain(gain);
        mpv_set_property(mpv_, "volume", MPV_FORMAT_DOUBLE, &v);
        volume_ = gainFromMpvVolume(v);
    }
    double volume() const override { return volume_; }

    void setLooping(bool on) override {
        if (mpv_) mpv_set_property_string(mpv_, "loop-file", on ? "inf" : "no");
    }

    int pictureWidth() const override { return loaded_ ? width_ : 0; }
    int pictureHeight() const override { return loaded_ ? height_ : 0; }
    QImage lastFrame() const override { return view_->frame(); }
    std::string errorText() const override { return error_; }

private:
    void start() {
        // mpv reads and writes numbers in the C locale only, and refuses to
        // start under another one; our own number texts do not depend on it.
        std::setlocale(LC_NUMERIC, "C");
        mpv_ = mpv_create();
        if (!mpv_) return;
        const std::pair<const char*, const char*> options[] = {
            {"config", "no"},
            {"terminal", "no"},
            {"load-scripts", "no"},
            {"ytdl", "no"},
            {"input-default-bindings", "no"},
            {"input-vo-keyboard", "no"},
            {"osc", "no"},
            {"osd-level", "0"},
            {"osd-bar", "no"},
            {"sub-auto", "no"},
            {"sid", "no"},
            {"hwdec", "no"},
            {"vo", "libmpv"},
            {"ao", wantsSound() ? "" : "null"},
            // A machine without a working sound device still plays, silently
            // and in time, instead of failing the song.
            {"audio-fallback-to-null", "yes"},
            // Cover pictures of sound files are not a video.
            {"audio-display", "no"},
            // At the end the media stays loaded, paused at its last frame, so
            // its position and duration can still be read and it can play again.
            {"keep-open", "yes"},
            {"idle", "yes"},
            // Frames are rendered as they come; the render thread never sleeps
            // in mpv waiting for a display time.
            {"video-timing-offset", "0"},
        };
        for (const auto& [name, value] : options)
            if (*value) mpv_set_option_string(mpv_, name, value);
        if (mpv_initialize(mpv_) < 0) {
            mpv_terminate_destroy(mpv_);
            mpv_ = nullptr;
            return;
        }
        mpv_observe_property(mpv_, kPause, "pause", MPV_FORMAT_FLAG);
        mpv_observe_property(mpv_, kEofReached, "eof-reached", MPV_FORMAT_FLAG);
        mpv_observe_property(mpv_, kDuration, "duration", MPV_FORMAT_DOUBLE);
        mpv_observe_property(mpv_, kWidth, "dwidth", MPV_FORMAT_INT64);
        mpv_observe_property(mpv_, kHeight, "dheight", MPV_FORMAT_INT64);
        mpv_set_wakeup_callback(mpv_, &MpvMediaPlayer::wakeup, this);

        char api[] = MPV_RENDER_API_TYPE_SW;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api}, {MPV_RENDER_PARAM_INVALID, nullptr}};
        if (mpv_render_context_create(&render_, mpv_, params) < 0) {
            render_ = nullptr;
            return;
        }
        mpv_render_context_set_update_callback(render_, &MpvMediaPlayer::renderUpdate, this);
        renderThread_ = std::thread([this] { renderLoop(); });
    }

    void resetMedia() {
        opened_ = loaded_ = fileLoaded_ = failed_ = eof_ = seeking_ = false;
        duration_ = 0;
        width_ = height_ = 0;
        error_.clear();
    }

    void setFlag(const char* property, bool on) {
        if (!mpv_) return;
        int flag = on ? 1 : 0;
        mpv_set_property(mpv_, property, MPV_FORMAT_FLAG, &flag);
    }

    // ---- events, on the user-interface thread --------------------------------

    static void wakeup(void* self) {
        auto* p = static_cast<MpvMediaPlayer*>(self);
        if (p->eventsQueued_.exchange(true)) return;
        QMetaObject::invokeMethod(p->view_, [p] { p->drainEvents(); }, Qt::QueuedConnection);
    }

    void drainEvents() {
        eventsQueued_ = false;
        while (mpv_) {
            mpv_event* e = mpv_wait_event(mpv_, 0);
            if (e->event_id == MPV_EVENT_NONE) break;
            handle(*e);
        }
    }

    void handle(const mpv_event& e) {
        switch (e.event_id) {
            case MPV_EVENT_START_FILE:
                entry_ = static_cast<const mpv_event_start_file*>(e.data)->playlist_entry_id;
                break;
            case MPV_EVENT_FILE_LOADED: fileLoaded_ = true; break;
            case MPV_EVENT_PLAYBACK_RESTART:
                seeking_ = false;
                // The first restart after loading: the first frame is decoded,
                // so the picture size is known too.
                if (fileLoaded_ && !loaded_ && opened_) {
                    loaded_ = true;
                    readMediaProperties();
                    if (events_.loaded) events_.loaded();
                }
                report();
                break;
            case MPV_EVENT_END_FILE: {
                const auto* end = static_cast<const mpv_event_end_file*>(e.data);
                if (end->playlist_entry_id != entry_ || !opened_) break;
                if (end->reason == MPV_END_FILE_REASON_ERROR) {
                    failed_ = true;
                    error_ = mpv_error_string(end->error);
                } else if (end->reason == MPV_END_FILE_REASON_EOF) {
                    eof_ = true;
                }
                report();
                break;
            }
            case MPV_EVENT_PROPERTY_CHANGE: {
                const auto* prop = static_cast<const mpv_event_property*>(e.data);
                readProperty(e.reply_userdata, *prop);
                report();
                break;
            }
            default: break;
        }
    }

    void readProperty(uint64_t id, const mpv_event_property& prop) {
        const bool has = prop.data != nullptr;
        switch (id) {
            case kPause: paused_ = has && *static_cast<int*>(prop.data) != 0; break;
            case kEofReached: eof_ = has && *static_cast<int*>(prop.data) != 0; break;
            case kDuration: duration_ = has ? *static_cast<double*>(prop.data) : 0; break;
            case kWidth: width_ = has ? static_cast<int>(*static_cast<int64_t*>(prop.data)) : 0; break;
            case kHeight: height_ = has ? static_cast<int>(*static_cast<int64_t*>(prop.data)) : 0; break;
            default: break;
        }
    }

    // Observed values may still be on their way when the media reports loaded.
    void readMediaProperties() {
        double d = 0;
        if (mpv_get_property(mpv_, "duration", MPV_FORMAT_DOUBLE, &d) >= 0) duration_ = d;
        int64_t w = 0, h = 0;
        if (mpv_get_property(mpv_, "dwidth", MPV_FORMAT_INT64, &w) >= 0 &&
            mpv_get_property(mpv_, "dheight", MPV_FORMAT_INT64, &h) >= 0) {
            width_ = static_cast<int>(w);
            height_ = static_cast<int>(h);
        }
        int flag = 0;
        if (mpv_get_property(mpv_, "pause", MPV_FORMAT_FLAG, &flag) >= 0) paused_ = flag != 0;
    }

    void report() {
        const MediaState s = state();
        if (s == reported_) return;
        reported_ = s;
        if (events_.stateChanged) events_.stateChanged(s);
    }

    // ---- the picture, on the render thread ---------------------------------------

    static void renderUpdate(void* self) {
        auto* p = static_cast<MpvMediaPlayer*>(self);
        std::lock_guard lock(p->renderMutex_);
        p->renderWake_ = true;
        p->renderCv_.notify_one();
    }

    void renderLoop() {
        std::unique_lock lock(renderMutex_);
        for (;;) {
            renderCv_.wait(lock, [this] { return renderWake_ || renderQuit_; });
            if (renderQuit_) return;
            renderWake_ = false;
            const bool redraw = redraw_;
            redraw_ = false;
            const QSize size = target_;
            lock.unlock();
            const uint64_t flags = mpv_render_context_update(render_);
            if ((flags & MPV_RENDER_UPDATE_FRAME) || redraw) renderFrame(size);
            lock.lock();
        }
    }

    void renderFrame(QSize size) {
        if (size.width() < 1 || size.height() < 1) {
            // mpv still waits for each frame to be taken.
            int skip = 1;
            mpv_render_param params[] = {{MPV_RENDER_PARAM_SKIP_RENDERING, &skip}, {MPV_RENDER_PARAM_INVALID, nullptr}};
            mpv_render_context_render(render_, params);
            return;
        }
        QImage frame(size, QImage::Format_RGBX8888);
        int dims[2] = {size.width(), size.height()};
        char format[] = "rgb0";
        size_t stride = static_cast<size_t>(frame.bytesPerLine());
        int block = 0;
        mpv_render_param params[] = {
            {MPV_RENDER_PARAM_SW_SIZE, dims},
            {MPV_RENDER_PARAM_SW_FORMAT, format},
            {MPV_RENDER_PARAM_SW_STRIDE, &stride},
            {MPV_RENDER_PARAM_SW_POINTER, frame.bits()},
            {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
            {MPV_RENDER_PARAM_INVALID, nullptr},
        };
        if (mpv_render_context_render(render_, params) < 0) return;
        {
            std::lock_guard lock(frameMutex_);
            nextFrame_ = std::move(frame);
        }
        // One hand-over at a time; a slow widget simply gets the newest frame.
        if (frameQueued_.exchange(true)) return;
        QMetaObject::invokeMethod(
            view_,
            [this] {
                frameQueued_ = false;
                QImage f;
                {
                    std::lock_guard lock(frameMutex_);
                    f = std::move(nextFrame_);
                }
                if (!f.isNull()) view_->setFrame(std::move(f));
            },
            Qt::QueuedConnection);
    }

    // The parent must outlive the player (the threads use the widget); the
    // guard only keeps the last delete from touching a widget already gone.
    VideoView* view_;
    QPointer<VideoView> viewGuard_;
    mpv_handle* mpv_ = nullptr;
    mpv_render_context* render_ = nullptr;
    MediaEvents events_;

    bool opened_ = false;
    bool fileLoaded_ = false;
    bool loaded_ = false;
    bool failed_ = false;
    bool eof_ = false;
    bool paused_ = false;
    bool muted_ = false;
    bool seeking_ = false;
    double seekTarget_ = 0;
    std::chrono::steady_clock::time_point seekStarted_;
    double duration_ = 0;
    double volume_ = 1;
    int width_ = 0, height_ = 0;
    int64_t entry_ = -1;
    std::string error_;
    MediaState reported_ = MediaState::Closed;
    std::atomic<bool> eventsQueued_{false};

    std::thread renderThread_;
    std::mutex renderMutex_;
    std::condition_variable renderCv_;
    bool renderWake_ = false;
    bool renderQuit_ = false;
    bool redraw_ = false;
    QSize target_;

    std::mutex frameMutex_;
    QImage nextFrame_;
    std::atomic<bool> frameQueued_{false};
};

}  // namespace

std::unique_ptr<MediaPlayer> makeMpvMediaPlayer(QWidget* parent) { return std::make_unique<MpvMediaPlayer>(parent); }

}  // namespace melnix
