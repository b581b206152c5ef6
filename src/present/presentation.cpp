// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/presentation.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <optional>

#include "present/default_pictures.h"
#include "present/picture_window.h"
#include "playback/core/transport.h"
#include "common/gbk.h"
#include "playback/media_player2.h"
#include "present/core/picture_scrambler.h"
#include "present/subtitle_window.h"
#include "songlist/background_list.h"
#include "songlist/media_kind.h"
#include "sync/line_times.h"
#include "ui/qt_text.h"

namespace melnix {

namespace {
constexpr int kPictureStepMs = 20;
constexpr int kVideoStepMs = 26;
constexpr int kClosingSlidePx = 8;
constexpr int kWaitLoaderMs = 2000;

QRect toQt(const IntRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }
IntRect toInt(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
}  // namespace

Presentation::Presentation(PresentationHost& host) : host_(host) {
    connect(&timer_, &QTimer::timeout, this, &Presentation::step);
}

Presentation::~Presentation() { leave(); }

PictureWindow* Presentation::pictureWindow() const { return pictures_.data(); }

bool Presentation::enter() {
    if (running()) return true;
    QWidget* stage = host_.stage();
    savedState_ = stage->windowState();
    savedGeometry_ = stage->geometry();
    savedFlags_ = stage->windowFlags();
    // The show's window has no title bar at any size.
    stage->setWindowFlags(savedFlags_ | Qt::FramelessWindowHint);
    userPaused_ = false;
    schedule_.restart();
    videoLine_ = kNoLineYet;
    videoClosing_ = 0;
    host_.hideEditor();
    stage->installEventFilter(this);
    Transport& t = host_.showTransport();
    QWidget* video = host_.songVideo();
    if (video && t.videoWidth() >= 2 && t.videoHeight() >= 2) {
        startBackgroundMusic();
        enterVideo(video);
    } else if (!startBackgroundVideo()) {
        enterPictures();
    }
    return true;
}

void Presentation::enterPictures() {
    kind_ = Kind::Pictures;
    QWidget* stage = host_.stage();
    fillStartScreen();
    BackgroundMediaList& list = host_.showBackground();
    if (list.entries.empty()) list.setFromSpec("");
    PictureScrambler* scrambler = host_.showScrambler();
    pictures_ = new PictureWindow(stage, list, [] { return NextDefaultPicture(); }, scrambler, host_.showEffects(),
                                  host_.showSmoothness());
    connect(pictures_, &PictureWindow::moveRequested, this, [this](QPoint delta) {
        // The subtitle keeps its place on the picture (in the stage it moves with it).
        host_.stage()->move(host_.stage()->pos() + delta);
        SubtitleWindow& subtitle = host_.showSubtitle();
        if (subtitle.onDesktop()) subtitle.move(subtitle.pos() + delta);
    });
    connect(pictures_, &PictureWindow::sizeRequested, this, &Presentation::applyRequestedSize);
    connect(pictures_, &PictureWindow::helpRequested, this, [this] { host_.showHelp(); });
    pictures_->setGeometry(stage->rect());
    pictures_->show();
    pictures_->raise();
    pictures_->setFocus();
    {
        // The first picture may ask for its password; later ones try the known ones only.
        std::optional<MayAskScope> ask;
        if (scrambler) ask.emplace(*scrambler);
        pictures_->loadNow(list.entries[static_cast<size_t>(list.index)]);
    }
    placeSubtitle();
    timer_.start(kPictureStepMs);
}

// A song without a picture of its own whose background is a video shows
// that video, silent, where it was left the last time.
bool Presentation::startBackgroundVideo() {
    BackgroundMediaList& list = host_.showBackground();
    if (list.entries.empty() || mediaKind(list.entries.front(), MediaTable::Video) == 0) return false;
    CMediaPlayer2* player = openBackground(list.entries[static_cast<size_t>(list.index)]);
    player->SetMute(true);
    enterVideo(player);
    return true;
}

// A video song in the media player may have music chosen to play instead of
// its own sound.
void Presentation::startBackgroundMusic() {
    BackgroundMediaList& list = host_.showBackground();
    Transport& t = host_.showTransport();
    const SongKind kind = t.kind();
    if (kind == SongKind::Flash || kind == SongKind::Streaming) return;  // Flash and streaming media keep their sound
    if (list.entries.empty() || mediaKind(list.entries.front(), MediaTable::Audio) == 0) return;
    CMediaPlayer2* player = openBackground(list.entries[static_cast<size_t>(list.index)]);
    player->setGeometry(0, 0, 0, 0);
    if (!t.isMuted()) {
        t.setMute(true);
        songMuted_ = true;
    }
}

// The background player opens where the last show left it.
CMediaPlayer2* Presentation::openBackground(const std::string& path) {
    auto* player = new CMediaPlayer2(host_.stage(), kMediaPlayerBackgroundId);
    player->SetFileName(path);
    const double at = backgroundSeconds_;
    player->onReadyStateChange = [player, at](long state) {
        if (state == kMpReadyComplete && at > 0) player->SetCurrentPosition(at);
    };
    backgroundPlayer_ = player;
    return player;
}

void Presentation::enterVideo(QWidget* video) {
    kind_ = Kind::Video;
    QWidget* stage = host_.stage();
    fillStartScreen();
    video_ = video;
    videoHome_ = video->geometry();
    video->setGeometry(stage->rect());
    video->show();
    video->raise();
    video->setEnabled(true);
    video->setFocus();
    placeSubtitle();
    timer_.start(kVideoStepMs);
}

void Presentation::leave() {
    if (!running()) return;
    timer_.stop();
    const Kind was = kind_;
    kind_ = Kind::None;
    host_.stage()->removeEventFilter(this);
    if (was == Kind::Pictures && pictures_) {
        pictures_->waitForLoader(kWaitLoaderMs);
        delete pictures_;
    }
    const bool backgroundVideo = backgroundPlayer_ && backgroundPlayer_ == video_;
    if (backgroundPlayer_) {
        backgroundSeconds_ = backgroundPlayer_->GetCurrentPosition();
        backgroundPlayer_->Pause();
        delete backgroundPlayer_;
    }
    if (was == Kind::Video && video_ && !backgroundVideo) video_->setGeometry(videoHome_);
    if (songMuted_) {
        host_.showTransport().setMute(false);
        songMuted_ = false;
    }
    QWidget* stage = host_.stage();
    // Changing the flags hides the window: shown again as it was.
    stage->setWindowFlags(savedFlags_);
    stage->setWindowState(savedState_);
    if (!(savedState_ & (Qt::WindowMaximized | Qt::WindowFullScreen))) stage->setGeometry(savedGeometry_);
    stage->show();
    host_.restoreEditor();
}

void Presentation::setUserPaused(bool paused) {
    userPaused_ = paused;
    if (pictures_) pictures_->setPaused(paused);
    host_.showSubtitle().setPaused(paused);
}

// The lyric band is part of the show's own window, above the pictures or
// the video; only while that window is minimised does the line stay on the
// desktop by itself.
void Presentation::placeSubtitle() {
    QWidget* stage = host_.stage();
    const QRect area = stage->rect();
    const QRect band = toQt(subtitleBand(toInt(area)));
    SubtitleWindow& subtitle = host_.showSubtitle();
    if (stage->isMinimized()) {
        // Over the desktop the line keeps to its work area, above a panel.
        const QScreen* screen = stage->screen() ? stage->screen() : QGuiApplication::primaryScreen();
        subtitle.place(toQt(subtitleBand(toInt(screen->availableGeometry()))), host_.showSubtitleFace(),
                       SubtitlePlace::OnDesktop);
    } else {
        subtitle.place(band, host_.showSubtitleFace(), SubtitlePlace::OnStage);
    }
    // Shown again at the next step.
    schedule_.showAgain();
    videoLine_ = kNoLineYet;
}

bool Presentation::eventFilter(QObject* watched, QEvent* event) {
    if (running() && watched == host_.stage() && event->type() == QEvent::WindowStateChange) {
        // Minimised (the menu's "hide"), the line goes on over the desktop;
        // restored, it comes back into the show.
        const bool minimised = host_.stage()->isMinimized();
        if (minimised != host_.showSubtitle().onDesktop())
            QMetaObject::invokeMethod(this, [this] { if (running()) placeSubtitle(); }, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

void Presentation::stageResized() {
    if (!running()) return;
    QWidget* stage = host_.stage();
    if (pictures_) {
        pictures_->setGeometry(stage->rect());
        pictures_->update();
    }
    if (video_ && kind_ == Kind::Video) video_->setGeometry(stage->rect());
    placeSubtitle();
}

void Presentation::applyRequestedSize(QSize size) {
    QWidget* stage = host_.stage();
    const QScreen* screen = stage->screen() ? stage->screen() : QGuiApplication::primaryScreen();
    if (size.width() == kExternalScreenWidth && size.height() == kExternalScreenHeight) {
        // The whole of another screen (a projector, a television), when there is one.
        std::vector<IntRect> screens;
        for (const QScreen* s : QGuiApplication::screens()) screens.push_back(toInt(s->geometry()));
        const IntRect other = otherScreen(screens, toInt(screen->geometry()));
        if (other.width() <= 0) return;
        for (const QScreen* s : QGuiApplication::screens())
            if (toInt(s->geometry()) == other) showScreen_ = s->name();
        fillScreen(toQt(other));
        return;
    }
    if (size.width() == kThisScreenSize) {
        screen = QGuiApplication::primaryScreen();
        showScreen_.clear();
    }
    const IntRect r = presentationWindow(size.width(), size.height(), toInt(screen->geometry()),
                                         toInt(screen->availableGeometry()), 0);
    // The geometry as well as the state: without a window manager only the geometry counts.
    stage->setGeometry(toQt(r));
    if (size.width() == 0) {
        stage->showFullScreen();
    } else {
        // Without a title bar (the show's window has none): the desktop's work
        // area or a window of the chosen size.
        stage->showNormal();
        stage->setGeometry(toQt(r));
    }
    placeSubtitle();
}

void Presentation::fillStartScreen() {
    QWidget* stage = host_.stage();
    const QScreen* screen = stage->screen() ? stage->screen() : QGuiApplication::primaryScreen();
    std::vector<NamedScreen> screens;
    for (const QScreen* s : QGuiApplication::screens()) screens.push_back({s->name().toStdString(), toInt(s->geometry())});
    const IntRect there = rememberedScreen(screens, showScreen_.toStdString(), toInt(screen->geometry()));
    if (there.width() > 0)
        fillScreen(toQt(there));
    else
        applyRequestedSize(QSize(0, 0));
}

void Presentation::fillScreen(const QRect& area) {
    QWidget* stage = host_.stage();
    stage->showNormal();
    stage->setGeometry(area);
    stage->showFullScreen();
    placeSubtitle();
}

void Presentation::songChanged() {
    if (kind_ != Kind::Pictures || !pictures_) return;
    schedule_.restart();
    // The new song's show begins with its own first picture at once; a
    // picture of the song before, loaded ahead, is dropped.
    BackgroundMediaList& list = host_.showBackground();
    if (list.entries.empty()) list.setFromSpec("");
    pictures_->waitForLoader(kWaitLoaderMs);
    list.index = 0;
    pictures_->loadNow(list.entries.front());
    pictures_->startTransition(0);
    pictures_->lastChange().restart();
    if (list.entries.size() > 1) {
        list.index = 1;
        pictures_->loadInBackground(list.entries[1]);
    }
}

void Presentation::showLine(int line, int closing) {
    SubtitleWindow& subtitle = host_.showSubtitle();
    subtitle.hide();
    if (line >= 0) {
        const LyricLine& l = *host_.showSheet().lineAt(line);
        subtitle.setText(l.text, true);
        subtitle.setLineTiming(l.startTime, l.endTime(), l.charTimes);
    } else {
        subtitle.setText(toGbk(host_.closingText(closing)), true);
        subtitle.setLineTiming(0, 1, {});
    }
    subtitle.showTopMost();
}

void Presentation::changePicture(bool waitForLoader) {
    if (!pictures_ || pictures_->dragging()) return;
    if (!pictures_->isVisible() || host_.stage()->isMinimized()) return;
    if (pictures_->loaderBusy() && !(waitForLoader && pictures_->waitForLoader(kWaitLoaderMs))) return;
    BackgroundMediaList& list = host_.showBackground();
    const int n = static_cast<int>(list.entries.size());
    pictures_->startTransition(-1);
    pictures_->lastChange().restart();
    if (n == 0) return;
    list.index = (list.index + 1) % n;
    pictures_->loadInBackground(list.entries[static_cast<size_t>(list.index)]);
}

void Presentation::step() {
    if (kind_ == Kind::Video) {
        stepVideo();
        return;
    }
    if (kind_ != Kind::Pictures || !pictures_) return;
    Transport& t = host_.showTransport();
    const int positionCs = t.positionUnits() / t.timeScale();
    const ShowSchedule::Step s =
        schedule_.advance(host_.showSheet(), positionCs, pictures_->lastChange().elapsed(), userPaused_);
    if (s.newText) {
        showLine(s.line, s.closing);
        changePicture(false);
    } else if (s.changePicture) {
        changePicture(true);
    }
    // The wipe runs a tenth of a second ahead of the sound, as in the editor.
    host_.showSubtitle().wipeTo(positionCs + kWipeLead);
    if (t.playState() != PlayState::Playing && !userPaused_) host_.resumeSong();
}

void Presentation::stepVideo() {
    Transport& t = host_.showTransport();
    const LyricSheet& sheet = host_.showSheet();
    SubtitleWindow& subtitle = host_.showSubtitle();
    const int scale = t.timeScale();
    const int units = t.positionUnits();
    const int last = sheet.lineCount() - 1;
    const int cur = std::min(CurrentLine(sheet, units, scale), last + 1);
    const int centre = host_.stage()->width() / 2;
    const auto nextClosing = [&] {
        showLine(-1, videoClosing_);
        videoClosing_ = (videoClosing_ + 1) % kClosingTextCount;
        closingX_ = centre;
    };
    if (cur != videoLine_) {
        videoLine_ = cur;
        videoClosing_ = 0;
        if (cur <= last)
            showLine(cur, -1);
        else
            nextClosing();
    } else if (cur > last && videoClosing_ > 0 && videoClosing_ <= kClosingTextCount) {
        // Each closing text slides off to the left before the next one comes.
        closingX_ -= kClosingSlidePx;
        if (closingX_ + subtitle.textWidth() < centre) {
            if (videoClosing_ < kClosingTextCount) {
                nextClosing();
            } else {
                subtitle.hide();
                videoClosing_ = kClosingTextCount + 1;
            }
        }
    }
    subtitle.wipeTo(units / scale + kWipeLead);
    if (t.playState() != PlayState::Playing && !userPaused_) host_.resumeSong();
    if (backgroundPlayer_ && !userPaused_ && backgroundPlayer_->GetReadyState() == kMpReadyComplete &&
        backgroundPlayer_->GetPlayState() != kMpPlaying) {
        // A background video that ran out starts over.
        if (backgroundPlayer_->GetPlayState() == kMpStopped) backgroundPlayer_->SetCurrentPosition(0);
        backgroundPlayer_->Play();
    }
}

}  // namespace melnix
