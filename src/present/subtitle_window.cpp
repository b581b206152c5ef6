// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/subtitle_window.h"

#include "platform/desktop_hints.h"

#include <utility>

#include <QBitmap>
#include <QFontMetricsF>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "common/gbk.h"
#include "lyrics/lyric_text.h"
#include "ui/colour_ref.h"
#include "ui/command_event.h"
#include "ui/command_ids.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// Marks a window that shows nothing: a shape outside its own area. (An
// empty region would take the shape away and show the whole box.)
const QRegion& nothingShown() {
    static const QRegion r(-1, -1, 1, 1);
    return r;
}

// The picture inside the shape, on the ground outside it: inside, the pixels
// are those a window masked to the shape shows.
QImage onGround(const QImage& picture, const QRegion& shape, const QColor& ground) {
    if (picture.isNull()) return {};
    QImage cut(picture.size(), ground.alpha() == 255 ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    cut.setDevicePixelRatio(picture.devicePixelRatio());
    cut.fill(ground);
    QPainter p(&cut);
    p.setClipRegion(shape);
    p.drawImage(0, 0, picture);
    return cut;
}

int64_t steadyMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

struct MenuItem {
    int id;  // 0: separator
    const char* text;
};

const MenuItem kMenuItems[] = {
    {kMenuTogglePause, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "暂    停")},
    {kMenuRestartSong, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "从头听...")},
    {kMenuChooseSong, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "选择歌曲")},
    {kMenuExportVideo, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "导出视频...")},
    {kMenuKey, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "升降调")},
    {0, nullptr},
    {kMenuSubtitleFont, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "字幕字体")},
    {0, nullptr},
    {kMenuShowPicture, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "显示画面")},
    {kMenuBackToEditor, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "返回编辑界面(Esc)")},
    {kMenuHideEditor, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "隐    藏")},
    {kMenuHelp, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "帮    助")},
    {kMenuExit, QT_TRANSLATE_NOOP("melnix::SubtitleWindow", "退    出")},
};

}  // namespace

SubtitleWindow::SubtitleWindow(QWidget* owner, const QRect& rect, int id)
    : QWidget(owner), owner_(owner), controlId_(id), clock_(steadyMs) {
    setAttribute(Qt::WA_NoSystemBackground);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setGeometry(rect);
    boxWidth_ = rect.width();
    boxHeight_ = rect.height();
    hide();
    fitFont(kDefaultSubtitleFace);
    buildMenu();
    // On the desktop the window has no parent; it still goes with its owner.
    if (owner) connect(owner, &QObject::destroyed, this, &QObject::deleteLater);
}

SubtitleWindow::~SubtitleWindow() = default;

void SubtitleWindow::createFont(int width, int height, const QString& face) {
    font_ = makeSubtitleFont(width, height, face);
    fontWidth_ = width;
    fontHeight_ = height;
}

void SubtitleWindow::fitFont(const QString& face) {
    FontSize s = fitFontSize(boxHeight_);
    if (sizePercent_ < 100) s = {s.width * sizePercent_ / 100, s.height * sizePercent_ / 100};
    createFont(s.width, s.height, face);
}

void SubtitleWindow::showEvent(QShowEvent* event) {
    // On the desktop the line is part of the show, not a window of its own:
    // no taskbar entry (icewm gives a tool window one). The window manager
    // forgets the hint whenever the window is hidden, so it is given again
    // before every showing.
    if (where_ == SubtitlePlace::OnDesktop) keepOffTaskbar(*this);
    QWidget::showEvent(event);
}

void SubtitleWindow::place(const QRect& rect, const QString& face, SubtitlePlace where) {
    boxWidth_ = rect.width();
    boxHeight_ = rect.height();
    fitFont(face);
    dragging_ = false;
    where_ = where;
    if (where == SubtitlePlace::OnDesktop) {
        // Showing the subtitle must not take the keyboard from the window
        // under it, which handles the show's keys.
        setParent(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::WindowDoesNotAcceptFocus);
        setAttribute(Qt::WA_ShowWithoutActivating);
    } else {
        setParent(owner_, Qt::Widget);
        setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    // In the editor, disabled, the window passes every mouse event on to the
    // editor; in the show it is dragged and has its menu.
    setEnabled(interactive());
    if (interactive())
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
    // In the show and on the desktop the window is cut to the letters, so the
    // mouse reaches the picture between them. In the editor the letters are
    // drawn on their ground: a mask there made every step of the wipe a
    // region of many small rectangles to clip, paint and flush.
    setAttribute(Qt::WA_OpaquePaintEvent, interactive() || ground_.alpha() == 255);
    if (interactive())
        setMask(nothingShown());
    else
        clearMask();
    setGeometry(rect);
    // Shape and drawing follow the new font at once, so that a caller that
    // shows the window without setting a text sees no stale shape.
    reshape();
    hide();
}

int SubtitleWindow::setText(std::string_view gbkText, bool centred) {
    text_.assign(gbkText);
    centred_ = centred;
    wipeX_ = 0;
    SubtitleArt art =
        drawSubtitleArt(font_, fontHeight_, QSize(boxWidth_, boxHeight_), text_, centred, devicePixelRatioF());
    layout_ = art.layout;
    textRect_ = art.textRect;
    shape_ = art.empty() ? QRegion() : QRegion(QBitmap::fromImage(art.shape.createAlphaMask()));
    if (interactive()) {
        unsung_ = std::move(art.unsung);
        sung_ = std::move(art.sung);
        setMask(shape_.isEmpty() ? nothingShown() : shape_);
    } else {
        unsung_ = onGround(art.unsung, shape_, ground_);
        sung_ = onGround(art.sung, shape_, ground_);
    }
    update();
    return art.empty() ? 0 : std::min(boxWidth_, layout_.textWidth);
}

void SubtitleWindow::reshape() {
    if (!text_.empty()) setText(std::string(text_), centred_);
}

void SubtitleWindow::showTopMost() {
    raise();
    show();
}

void SubtitleWindow::setLineTiming(int32_t start, int32_t end, std::span<const uint16_t> charTimes) {
    timing_ = makeLineTiming(start, end, charTimes);
}

void SubtitleWindow::wipeTo(int32_t t) { wipeToX(wipePosition(layout_, timing_, t)); }

void SubtitleWindow::wipeToX(int x) {
    x = std::clamp(x, 0, layout_.textWidth);
    if (x == wipeX_) return;
    int from = std::min(wipeX_, x);
    int to = std::max(wipeX_, x);
    wipeX_ = x;
    // Only the strip between the old and the new position changes colour.
    update(QRect(textRect_.left() + from, textRect_.top(), to - from, textRect_.height()));
}

void SubtitleWindow::paintEvent(QPaintEvent* event) {
    if (layout_.textWidth == 0 || unsung_.isNull()) {
        if (!interactive() && ground_.alpha() != 0) QPainter(this).fillRect(event->rect(), ground_);
        return;
    }
    // Qt keeps the drawing inside the region asked for (and in the show
    // inside the letters); the parts are copied as rectangles.
    QPainter p(this);
    const QRect dirty = event->rect();
    const int split = textRect_.left() + wipeX_;
    auto copy = [&p](const QRect& part, const QImage& from) {
        if (part.isEmpty()) return;
        const qreal dpr = from.devicePixelRatio();
        p.drawImage(QRectF(part), from,
                    QRectF(part.x() * dpr, part.y() * dpr, part.width() * dpr, part.height() * dpr));
    };
    copy(dirty & QRect(0, 0, split, height()), sung_);
    copy(dirty & QRect(split, 0, width() - split, height()), unsung_);
}

void SubtitleWindow::setPaused(bool paused) {
    paused_ = paused;
    updatePauseItem();
}

void SubtitleWindow::updatePauseItem() {
    if (pauseItem_) pauseItem_->setText(paused_ ? tr("恢复播放") : tr("暂    停"));
}

QString SubtitleWindow::tipTextAt(const QPoint&) const {
    if (!owner_ || where_ != SubtitlePlace::InEditor) return {};
    return tr("字幕区: 演唱时,用鼠标左键同步划过整个语句可初步定其时,若该句需很久才唱,可压住右键等待 ");
}

void SubtitleWindow::buildMenu() {
    menu_ = new QMenu(this);
    for (const MenuItem& item : kMenuItems) {
        if (item.id == 0) {
            menu_->addSeparator();
            continue;
        }
        if (item.id == kMenuKey) {
            QMenu* keys = menu_->addMenu(tr(item.text));
            keys->menuAction()->setData(item.id);
            addKeyMenu(*keys);
            continue;
        }
        QAction* a = menu_->addAction(tr(item.text));
        a->setData(item.id);
        if (item.id == kMenuTogglePause) pauseItem_ = a;
    }
    connect(menu_, &QMenu::triggered, this, &SubtitleWindow::menuChosen);
}

// The key of the song that plays, changed without leaving the show.
void SubtitleWindow::addKeyMenu(QMenu& keys) {
    keys.addAction(tr("升高音调"))->setData(kMenuKeyUp);
    keys.addAction(tr("降低音调"))->setData(kMenuKeyDown);
    keys.addAction(tr("复 位"))->setData(kMenuKeyReset);
}

void SubtitleWindow::menuChosen(QAction* action) {
    // Items that only hand their command to the owner.
    static constexpr std::pair<int, uint32_t> kForwarded[] = {
        {kMenuKeyUp, kCmdKeyUp},           {kMenuKeyDown, kCmdKeyDown},         {kMenuKeyReset, kCmdKeyReset},
        {kMenuTogglePause, kCmdTogglePause}, {kMenuRestartSong, kCmdRestartSong}, {kMenuChooseSong, kCmdChooseSong},
        {kMenuExportVideo, kCmdExportVideo}, {kMenuSubtitleFont, kCmdSubtitleFont}, {kMenuExit, kCmdExit},
    };
    const int id = action->data().toInt();
    for (const auto& [menu, command] : kForwarded)
        if (menu == id) {
            postCommand(owner_, command);
            return;
        }
    switch (id) {
    case kMenuShowPicture:
        showOwner();
        break;
    case kMenuBackToEditor:
        showOwner();
        postCommand(owner_, kCmdBackToEditor);
        break;
    case kMenuHideEditor:
        minimiseOwner();
        break;
    case kMenuHelp:
        if (helpHandler_) helpHandler_();
        break;
    default:
        break;
    }
}

void SubtitleWindow::showOwner() {
    QWidget* w = owner_ ? owner_->window() : nullptr;
    if (!w) return;
    if (w->isMinimized()) {
        // Restoring is queued like the other commands, after the menu closed.
        QMetaObject::invokeMethod(
            w,
            [w] {
                w->setWindowState((w->windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
                w->show();
            },
            Qt::QueuedConnection);
    } else {
        w->raise();
        w->activateWindow();
    }
}

void SubtitleWindow::minimiseOwner() {
    QWidget* w = owner_ ? owner_->window() : nullptr;
    if (!w) return;
    QMetaObject::invokeMethod(w, [w] { w->showMinimized(); }, Qt::QueuedConnection);
}

void SubtitleWindow::runMenu(const QPoint& globalPos) {
    menuOpen_ = true;
    setCursor(Qt::ArrowCursor);
    updatePauseItem();
    // The menu runs its own event loop, in which a command may delete this
    // window along with its owner.
    QPointer<SubtitleWindow> self(this);
    menu_->exec(globalPos);
    if (!self) return;
    menuOpen_ = false;
    if (interactive())
        setCursor(Qt::SizeAllCursor);
    else
        unsetCursor();
}

void SubtitleWindow::mousePressEvent(QMouseEvent* event) {
    if (!interactive()) {
        event->ignore();
        return;
    }
    QPoint global = event->globalPosition().toPoint();
    if (event->button() == Qt::LeftButton) {
        // Qt keeps sending the mouse here until the button is released.
        dragPoint_ = global;
        dragging_ = true;
    } else if (event->button() == Qt::RightButton) {
        runMenu(global);
    }
}

void SubtitleWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!interactive() || !dragging_) {
        event->ignore();
        return;
    }
    int64_t now = clock_();
    if (now - lastMoveMs_ > kDragMoveIntervalMs) {
        moveBy(event->globalPosition().toPoint());
        lastMoveMs_ = now;
    }
}

void SubtitleWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (!interactive() || !dragging_ || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    dragging_ = false;
    moveBy(event->globalPosition().toPoint());
}

void SubtitleWindow::moveBy(const QPoint& globalPos) {
    move(pos() + (globalPos - dragPoint_));
    dragPoint_ = globalPos;
}

}  // namespace melnix
