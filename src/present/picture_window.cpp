// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/picture_window.h"

#include <QColorDialog>
#include <QContextMenuEvent>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPointer>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <chrono>

#include "ui/app_icons.h"
#include "present/transition_dialog.h"
#include "common/gbk.h"
#include "common/paths.h"
#include "present/core/picture_scrambler.h"
#include "ui/prompt_dialog.h"
#include "present/transitions/transitions.h"
#include "ui/command_event.h"
#include "songlist/background_list.h"
#include "ui/qt_text.h"

namespace melnix {

namespace {

constexpr int kBorder = 18;              // a press this near the edge moves the window
constexpr int kCursorHideMs = 2800;
constexpr int kDoubleClickMs = 500;
constexpr int kWaitMs = 2000;
constexpr int kMoveIntervalMs = 26;

}  // namespace

int PictureWindow::displayMode_ = kModeAuto;
QColor PictureWindow::backColour_ = QColor(0, 0, 0);

PictureWindow::PictureWindow(QWidget* owner, BackgroundMediaList& list, PictureImage::BuiltIn builtIn,
                             PictureScrambler* scrambler, EffectSelection* effects, int32_t* smoothness)
    : QWidget(owner),
      owner_(owner),
      list_(list),
      builtIn_(std::move(builtIn)),
      scrambler_(scrambler),
      effects_(effects),
      storedSmoothness_(smoothness),
      runner_(std::make_unique<TransitionRunner>()) {
    if (smoothness) smoothness_ = std::clamp(*smoothness, 0, kMaxTransitionSmoothness);
    setObjectName("PictureWindow");
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(owner->rect());
    buildMenu();
    cursorTimer_.setInterval(kCursorHideMs);
    connect(&cursorTimer_, &QTimer::timeout, this, [this] {
        if (!menuOpen_ && rect().contains(mapFromGlobal(QCursor::pos()))) setCursor(Qt::BlankCursor);
    });
    cursorTimer_.start();
    lastChange_.start();
    lastClick_.invalidate();
}

PictureWindow::~PictureWindow() {
    runner_->stop();
    runner_->wait(kWaitMs);
    runner_.reset();
    if (loader_.joinable()) loader_.join();
    if (storedSmoothness_) *storedSmoothness_ = smoothness_.load();
}

void PictureWindow::stopTransition() {
    runner_->stop();
    runner_->wait(kWaitMs);
    if (showingTransition_) {
        showingTransition_ = false;
        update();
    }
}

QSize PictureWindow::screenSize() const {
    const QScreen* s = screen() ? screen() : QGuiApplication::primaryScreen();
    return s ? s->size() : QSize(1024, 768);
}

void PictureWindow::loadNow(const std::string& path) {
    waitForLoader(kWaitMs);
    std::lock_guard lock(builtInMutex_);
    slots_[1 - current_].load(path, builtIn_, scrambler_);
}

void PictureWindow::loadInBackground(const std::string& path) {
    if (!waitForLoader(kWaitMs)) return;
    loaderBusy_ = true;
    PictureImage* slot = &slots_[1 - current_];
    loader_ = std::thread([this, slot, path] {
        {
            std::lock_guard lock(builtInMutex_);
            slot->load(path, builtIn_, scrambler_);
        }
        loaderBusy_ = false;
    });
}

bool PictureWindow::waitForLoader(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (loaderBusy_ && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (loaderBusy_) return false;
    if (loader_.joinable()) loader_.join();
    return true;
}

void PictureWindow::startTransition(int effect) {
    stopTransition();
    if (!waitForLoader(kWaitMs)) return;
    // What the window shows now is where the effect starts.
    QImage before(size(), QImage::Format_RGB32);
    {
        QPainter painter(&before);
        current().draw(painter, rect(), displayMode_, zoom_, zoom_, posX_, posY_, backColour_, screenSize());
    }
    current_ = 1 - current_;
    posX_ = posY_ = kCentred;
    zoom_ = kZoomNormal;
    currentItem_->setText(displayPath(fileNameOf(current().path())));
    if (effect < 0 && effects_) effect = chooseRandomEffect(*effects_);
    const bool direct = effect <= kDirectSwitch || firstPicture_ || dragging_ || !effects_ || width() <= 0;
    firstPicture_ = false;
    if (direct) {
        update();
        return;
    }
    TransitionJob job;
    job.canvas = before;
    job.background = backColour_;
    job.effect = effect;
    const PicturePlacement at =
        current().placement(rect(), displayMode_, kZoomNormal, kZoomNormal, kCentred, kCentred, screenSize());
    if (at.mode == kModeTiled) {
        // Tiles reveal as one window-sized picture.
        job.picture = current().render(size(), displayMode_, backColour_, screenSize());
        job.picturePos = QPoint(0, 0);
    } else {
        job.picture = at.drawn ? current().image().scaled(at.width, at.height, Qt::IgnoreAspectRatio,
                                                          Qt::SmoothTransformation)
                               : QImage();
        job.picturePos = QPoint(at.x, at.y);
    }
    // The flash needs a picture no larger than the screen, fitted or at its own size.
    const QSize screen = screenSize();
    job.flashAllowed = at.mode == kModeFitted ||
                       (at.mode == kModeActual && current().size().width() <= screen.width() &&
                        current().size().height() <= screen.height());
    showingTransition_ = true;
    QPointer<PictureWindow> self(this);
    runner_->start(
        std::move(job), smoothness_,
        [self](const QRegion& dirty) {
            QMetaObject::invokeMethod(self, [self, dirty] { if (self) self->update(dirty); }, Qt::QueuedConnection);
        },
        [self] {
            QMetaObject::invokeMethod(
                self,
                [self] {
                    if (!self || self->runner_->running()) return;
                    self->showingTransition_ = false;
                    self->update();
                },
                Qt::QueuedConnection);
        });
}

void PictureWindow::stepPicture(int direction) {
    const int n = static_cast<int>(list_.entries.size());
    if (n == 0) return;
    lastChange_.restart();
    if (direction < 0) {
        // list_.index is the entry being loaded next: the one on the screen is before it.
        list_.index = (list_.index - 2 + 2 * n) % n;
        loadNow(list_.entries[static_cast<size_t>(list_.index)]);
        startTransition(0);
        list_.index = (list_.index + 1) % n;
        loadInBackground(list_.entries[static_cast<size_t>(list_.index)]);
    } else {
        startTransition(0);
        list_.index = (list_.index + 1) % n;
        loadInBackground(list_.entries[static_cast<size_t>(list_.index)]);
    }
}

int32_t PictureWindow::keptSetting() {
    const QColor c = backColour_;
    const uint32_t bgr = static_cast<uint32_t>(c.blue()) << 16 | static_cast<uint32_t>(c.green()) << 8 |
                         static_cast<uint32_t>(c.red());
    return packPictureSetting(bgr, displayMode_);
}

void PictureWindow::restoreSetting(int32_t setting) {
    uint32_t bgr = 0;
    unpackPictureSetting(setting, bgr, displayMode_);
    backColour_ = QColor(static_cast<int>(bgr & 0xFF), static_cast<int>(bgr >> 8 & 0xFF), static_cast<int>(bgr >> 16 & 0xFF));
}

void PictureWindow::setDisplayMode(int mode) {
    stopTransition();
    displayMode_ = mode;
    resetView();
}

void PictureWindow::setPaused(bool paused) {
    pauseItem_->setText((paused ? tr("恢复播放") : tr("暂    停")) + tr(" (空格键)"));
}

void PictureWindow::resetView() {
    posX_ = posY_ = kCentred;
    zoom_ = kZoomNormal;
    update();
}

void PictureWindow::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (showingTransition_) {
        runner_->paintCanvas(painter, event->region());
        return;
    }
    current().draw(painter, rect(), displayMode_, zoom_, zoom_, posX_, posY_, backColour_, screenSize());
}

void PictureWindow::resizeEvent(QResizeEvent*) {
    stopTransition();
    const QSize s = screenSize();
    fullWindow_ = width() >= s.width() - 8 || height() >= s.height() - 8;
}

bool PictureWindow::insideBorder(const QPoint& p) const {
    return fullWindow_ || rect().adjusted(kBorder, kBorder, -kBorder, -kBorder).contains(p);
}

void PictureWindow::updateCursor(const QPoint& p) {
    if (menuOpen_) {
        setCursor(Qt::ArrowCursor);
    } else {
        setCursor(insideBorder(p) ? melnixCursor(kCursorPicture) : QCursor(Qt::ArrowCursor));
    }
}

void PictureWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    stopTransition();
    lastPoint_ = event->globalPosition().toPoint();
    dragMoved_ = false;
    if (insideBorder(event->position().toPoint())) {
        dragging_ = true;
        // The picture moves from where it is now.
        const PicturePlacement at = current().placement(rect(), displayMode_, zoom_, zoom_, posX_, posY_, screenSize());
        posX_ = at.x;
        posY_ = at.y;
    } else {
        movingWindow_ = true;
        lastMove_.start();
    }
}

void PictureWindow::mouseMoveEvent(QMouseEvent* event) {
    updateCursor(event->position().toPoint());
    const QPoint now = event->globalPosition().toPoint();
    const QPoint delta = now - lastPoint_;
    if (dragging_ && !delta.isNull()) {
        dragMoved_ = true;
        posX_ += delta.x();
        posY_ += delta.y();
        scroll(delta.x(), delta.y());
        lastPoint_ = now;
    } else if (movingWindow_ && !delta.isNull() && lastMove_.elapsed() >= kMoveIntervalMs) {
        dragMoved_ = true;
        emit moveRequested(delta);
        lastPoint_ = now;
        lastMove_.restart();
    }
}

void PictureWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (movingWindow_) {
        const QPoint delta = event->globalPosition().toPoint() - lastPoint_;
        if (!delta.isNull()) emit moveRequested(delta);
    }
    const bool click = !dragMoved_;
    dragging_ = movingWindow_ = false;
    if (!click) {
        lastClick_.invalidate();
        return;
    }
    // Two clicks in a row take the user back to the editor.
    if (lastClick_.isValid() && lastClick_.elapsed() <= kDoubleClickMs) {
        lastClick_.invalidate();
        command(kCmdBackToEditor);
        return;
    }
    lastClick_.start();
}

void PictureWindow::wheelEvent(QWheelEvent* event) {
    const int d = event->angleDelta().y();
    const int steps = d > 0 ? (d + 99) / 100 : (99 - d) / 100;
    for (int i = 0; i < steps && d != 0; ++i) sendCommand(owner_, d > 0 ? kCmdVolumeUp : kCmdVolumeDown);
}

// Keys act when released; a press must not reach the editor (Esc would close
// it). Only a key pressed here acts: the Esc that closed the menu goes no
// further.
void PictureWindow::keyPressEvent(QKeyEvent* event) {
    if (!event->isAutoRepeat()) pressedKey_ = event->key();
    event->accept();
}

void PictureWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat() || event->key() != pressedKey_) return;
    pressedKey_ = 0;
    stopTransition();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter: setDisplayMode((displayMode_ + 1) % 4); break;
        case Qt::Key_Escape: command(kCmdEscape); break;
        case Qt::Key_Space: command(kCmdTogglePause); break;
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_8: stepPicture(-1); break;
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_2: stepPicture(+1); break;
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Meta: break;
        default: command(kCmdBackToEditor); break;
    }
}

void PictureWindow::command(uint32_t id) { postCommand(owner_, id); }

void PictureWindow::buildMenu() {
    menu_ = new QMenu(this);
    currentItem_ = menu_->addAction(tr("当前图片"));
    currentItem_->setEnabled(false);
    menu_->addSeparator();
    const char* const modes[] = {QT_TRANSLATE_NOOP("melnix::PictureWindow", "图像原点阵显示"),
                                QT_TRANSLATE_NOOP("melnix::PictureWindow", "图像平铺"),
                                QT_TRANSLATE_NOOP("melnix::PictureWindow", "图像大小充满"),
                                QT_TRANSLATE_NOOP("melnix::PictureWindow", "图像大小自动")};
    for (int m = 0; m < 4; ++m) {
        modeItems_[static_cast<size_t>(m)] = menu_->addAction(tr(modes[m]), this, [this, m] { setDisplayMode(m); });
        modeItems_[static_cast<size_t>(m)]->setCheckable(true);
    }
    menu_->addSeparator();
    menu_->addAction(tr("下一张图像 (↓)"), this, [this] { stepPicture(+1); });
    menu_->addAction(tr("前一张图像 (↑)"), this, [this] { stepPicture(-1); });
    menu_->addSeparator();
    if (effects_) {
        menu_->addAction(tr("图片切换模式"), this, [this] {
            TransitionDialog dialog(*effects_, this);
            dialog.exec();
        });
    }
    if (scrambler_) menu_->addAction(tr("预备图片密码"), this, [this] { preparePasswords(); });
    menu_->addAction(tr("另选一组图片"), this, [this] { command(kCmdOtherPictures); });
    menu_->addSeparator();
    pauseItem_ = menu_->addAction(QString(), this, [this] { command(kCmdTogglePause); });
    setPaused(false);
    menu_->addAction(tr("从头听..."), this, [this] { command(kCmdRestartSong); });
    menu_->addAction(tr("选择歌曲"), this, [this] { command(kCmdChooseSong); });
    menu_->addAction(tr("导出视频..."), this, [this] { command(kCmdExportVideo); });
    // The key of the song that plays, changed without leaving the show.
    QMenu* keys = menu_->addMenu(tr("升降调"));
    keys->addAction(tr("升高音调"), this, [this] { command(kCmdKeyUp); });
    keys->addAction(tr("降低音调"), this, [this] { command(kCmdKeyDown); });
    keys->addAction(tr("复 位"), this, [this] { command(kCmdKeyReset); });
    menu_->addSeparator();
    menu_->addAction(tr("背景颜色"), this, [this] {
        const QColor c = QColorDialog::getColor(backColour_, this, tr("背景颜色"));
        if (!c.isValid()) return;
        backColour_ = c;
        update();
    });
    menu_->addAction(tr("字幕字体"), this, [this] { command(kCmdSubtitleFont); });
    menu_->addSeparator();
    QMenu* sizes = menu_->addMenu(tr("窗口尺寸"));
    sizes->addAction(tr("全屏幕"), this, [this] { emit sizeRequested(QSize(0, 0)); });
    sizes->addAction(tr("全桌面"), this, [this] { emit sizeRequested(QSize(1, 1)); });
    const int screenWidth = screenSize().width();
    for (const WindowSize& s : windowSizes()) {
        if (screenWidth < s.minScreenWidth) continue;
        sizes->addAction(QString("%1*%2").arg(s.w).arg(s.h), this, [this, s] { emit sizeRequested(QSize(s.w, s.h)); });
    }
    screenItem_ = menu_->addAction(tr("在外屏上显示"), this, [this] {
        const bool elsewhere = window()->screen() != QGuiApplication::primaryScreen();
        emit sizeRequested(elsewhere ? QSize(kThisScreenSize, kThisScreenSize)
                                     : QSize(kExternalScreenWidth, kExternalScreenHeight));
    });
    menu_->addAction(tr("返回编辑界面(Esc)"), this, [this] { command(kCmdBackToEditor); });
    menu_->addAction(tr("帮    助"), this, [this] { emit helpRequested(); });
    menu_->addAction(tr("退    出"), this, [this] { command(kCmdExit); });
}

// Passwords given in advance open scrambled pictures later without a question.
void PictureWindow::preparePasswords() {
    for (;;) {
        const QString typed = promptText(tr("预备的图片密码"), tr("以便后面能播放你的加密图片"), true, false, 0, {},
                                         tr("请你输入"), this);
        if (typed.isEmpty()) break;
        scrambler_->knownPasswords().add(toGbk(typed));
    }
}

void PictureWindow::contextMenuEvent(QContextMenuEvent* event) {
    stopTransition();
    cursorTimer_.stop();
    for (int m = 0; m < 4; ++m) modeItems_[static_cast<size_t>(m)]->setChecked(m == displayMode_);
    // Offered when there is a second screen; names the way back once there.
    screenItem_->setEnabled(QGuiApplication::screens().size() > 1);
    screenItem_->setText(window()->screen() != QGuiApplication::primaryScreen() ? tr("在本屏上显示")
                                                                               : tr("在外屏上显示"));
    menuOpen_ = true;
    setCursor(Qt::ArrowCursor);
    menu_->exec(event->globalPos());
    menuOpen_ = false;
    cursorTimer_.start();
}

}  // namespace melnix
