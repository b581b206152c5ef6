// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window of the show's background pictures: two picture slots, the one
// on the screen and the one the background loader fills next; display mode,
// dragging, keys, the wheel and a popup menu that command the editor.

#include <QColor>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "songlist/state_file.h"
#include "present/picture_image.h"

class QAction;
class QMenu;

namespace melnix {

class BackgroundMediaList;
class TransitionRunner;
class PictureScrambler;

class PictureWindow : public QWidget {
    Q_OBJECT
public:
    // owner receives the commands (the editor); list is the show's pictures.
    // effects: the ticked transitions; smoothness: their shared step size,
    // read at creation and written back when the window goes. Without
    // effects every picture switches directly.
    PictureWindow(QWidget* owner, BackgroundMediaList& list, PictureImage::BuiltIn builtIn,
                  PictureScrambler* scrambler = nullptr, EffectSelection* effects = nullptr,
                  int32_t* smoothness = nullptr);
    ~PictureWindow() override;

    // Loads an entry into the slot not on the screen, now or on the loader.
    void loadNow(const std::string& path);
    void loadInBackground(const std::string& path);
    bool loaderBusy() const { return loaderBusy_; }
    // Waits at most ms for the loader; true when it is idle.
    bool waitForLoader(int ms);

    // Puts the loaded picture on the screen; effect 0 switches directly, -1
    // lets the transitions choose. The first picture is always direct.
    void startTransition(int effect);
    // Steps the slideshow by hand: +1 forward, -1 back.
    void stepPicture(int direction);

    const PictureImage& current() const { return slots_[current_]; }
    int displayMode() const { return displayMode_; }
    void setDisplayMode(int mode);
    // The pause item names what it will do.
    void setPaused(bool paused);
    bool dragging() const { return dragging_; }
    bool fullWindow() const { return fullWindow_; }
    QSize requestedSize() const { return requestedSize_; }
    QMenu* menu() const { return menu_; }

    // The last picture change, set by the show and by manual steps.
    QElapsedTimer& lastChange() { return lastChange_; }

    bool transitionRunning() const { return showingTransition_; }
    // Ends a running transition with the whole picture, at most 2 s from now.
    void stopTransition();

    static QColor backColour() { return backColour_; }
    // The background colour and display mode as the state file keeps them.
    static int32_t keptSetting();
    static void restoreSetting(int32_t setting);

signals:
    // The user dragged the window by its border.
    void moveRequested(QPoint delta);
    // A size from the menu: 0 x 0 the whole screen, 1 x 1 the desktop's work
    // area; the external-screen item asks for 160 x 120 (another screen) or
    // -1 x -1 (back on this one).
    void sizeRequested(QSize size);
    void helpRequested();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void buildMenu();
    void preparePasswords();
    void command(uint32_t id);
    bool insideBorder(const QPoint& p) const;
    void updateCursor(const QPoint& p);
    void resetView();
    QSize screenSize() const;

    QWidget* owner_;
    BackgroundMediaList& list_;
    PictureImage::BuiltIn builtIn_;
    PictureScrambler* scrambler_;
    std::mutex builtInMutex_;
    std::array<PictureImage, 2> slots_;
    int current_ = 0;
    std::thread loader_;
    std::atomic<bool> loaderBusy_{false};
    bool firstPicture_ = true;
    int posX_ = kCentred, posY_ = kCentred;
    int zoom_ = kZoomNormal;
    bool fullWindow_ = true;
    QSize requestedSize_{0, 0};
    bool dragging_ = false, dragMoved_ = false, movingWindow_ = false;
    QPoint lastPoint_;
    QElapsedTimer lastClick_, lastMove_, lastChange_;
    QTimer cursorTimer_;
    bool menuOpen_ = false;
    QMenu* menu_ = nullptr;
    QAction* currentItem_ = nullptr;
    QAction* pauseItem_ = nullptr;
    std::array<QAction*, 4> modeItems_{};
    EffectSelection* effects_;
    int32_t* storedSmoothness_;
    std::atomic<int> smoothness_{0};
    std::unique_ptr<TransitionRunner> runner_;
    bool showingTransition_ = false;  // the runner's canvas is what the window shows

    QAction* screenItem_ = nullptr;
    static int displayMode_;  // kept from one show to the next
    static QColor backColour_;
    int pressedKey_ = 0;  // the key whose release may act
};

}  // namespace melnix
