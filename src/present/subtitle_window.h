// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lyric line as large outlined letters whose sung part is shown in the
// inverse colours. Only the letters and their rim show, so that on the
// desktop they float over the picture or video with nothing around them.
//
// It lives in three places: as a disabled child of the editor (the mouse goes
// through to the editor); as a child of the show's own window, cut to its
// letters, above the pictures or the video; and as a frameless top-most tool
// window on the desktop while the show's window is minimised. In the show and
// on the desktop it can be dragged and has a popup menu whose items command
// the editor. The show never relies on a second top-level window: window
// managers stack and paint those as they like.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "present/core/subtitle_wipe.h"
#include "present/subtitle_art.h"
#include "ui/tip_text.h"

class QMenu;
class QAction;

namespace melnix {

// The subtitle face until the user chooses another.
inline const QString kDefaultSubtitleFace = QStringLiteral("黑体");

enum class SubtitlePlace { InEditor, OnStage, OnDesktop };

// A dragged window follows the mouse at most this often.
constexpr int kDragMoveIntervalMs = 26;

class SubtitleWindow : public QWidget, public TipTextSource {
    Q_OBJECT
public:
    using Clock = std::function<int64_t()>;

    // Created hidden as a child of owner, which receives every command of the
    // menu, with the default face fitted to rect. The window is deleted with
    // its owner wherever it sits.
    SubtitleWindow(QWidget* owner, const QRect& rect, int id);
    ~SubtitleWindow() override;

    // height is the character height in pixels; width is twice the wanted
    // average glyph width (the narrow glyphs are half the full-width ones).
    void createFont(int width, int height, const QString& face);
    void fitFont(const QString& face);
    // The letters as a share (30..100 %) of the height that fills the box.
    void setSizePercent(int percent) { sizePercent_ = percent; }
    int sizePercent() const { return sizePercent_; }

    // Sets the box, fits the font to it and moves the window there, hidden:
    // on the desktop rect is in screen coordinates, else in the owner's.
    void place(const QRect& rect, const QString& face, SubtitlePlace where);
    // In the owner: the colour around the letters, taken up by the next
    // place(). Transparent (the default) lets the owner's drawing show.
    void setGround(const QColor& ground) { ground_ = ground; }

    // Shapes the window to the text (GBK) and clears the wipe. Returns the
    // width shown: min(box width, text width); 0 for an empty text.
    int setText(std::string_view gbkText, bool centred);
    void reshape();
    void showTopMost();

    // Times in 1/100 s; charTimes are the characters' start offsets from
    // start (empty for none) and are copied.
    void setLineTiming(int32_t start, int32_t end, std::span<const uint16_t> charTimes);
    // Colours the text up to song time t (1/100 s).
    void wipeTo(int32_t t);
    // Colours the text up to x pixels from its left end (a sweep by hand).
    void wipeToX(int x);

    // The character under window x: -1 left of the text.
    int charAt(int x) const { return melnix::charAt(layout_, x); }

    void setPaused(bool paused);

    QString tipTextAt(const QPoint& point) const override;

    // The help item runs this (the help dialog, modal).
    void setHelpHandler(std::function<void()> handler) { helpHandler_ = std::move(handler); }
    // For tests: the clock (ms) that paces dragging.
    void setClock(Clock clock) { clock_ = std::move(clock); }

    int controlId() const { return controlId_; }
    SubtitlePlace where() const { return where_; }
    bool onDesktop() const { return where_ == SubtitlePlace::OnDesktop; }
    // In the show or on the desktop: cut to its letters, dragged, with a menu.
    bool interactive() const { return where_ != SubtitlePlace::InEditor; }
    bool paused() const { return paused_; }
    bool menuOpen() const { return menuOpen_; }
    const std::string& text() const { return text_; }
    const QFont& subtitleFont() const { return font_; }
    int fontWidth() const { return fontWidth_; }
    int fontHeight() const { return fontHeight_; }
    int boxWidth() const { return boxWidth_; }
    int boxHeight() const { return boxHeight_; }
    bool centred() const { return centred_; }
    const SubtitleLayout& layout() const { return layout_; }
    int textLeft() const { return layout_.textLeft; }
    int textRight() const { return layout_.textRight(); }
    int textWidth() const { return layout_.textWidth; }
    // The text's box grown by the rim: where the wipe inverts.
    QRect textRect() const { return textRect_; }
    // The letters and their rim in window coordinates (empty for no text):
    // the window's mask in the show and on the desktop; in the editor, what
    // is drawn over the ground.
    const QRegion& shape() const { return shape_; }
    const LineTiming& lineTiming() const { return timing_; }
    int wipeX() const { return wipeX_; }
    QMenu* menu() const { return menu_; }

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void buildMenu();
    void runMenu(const QPoint& globalPos);
    void menuChosen(QAction* action);
    void addKeyMenu(QMenu& keys);
    void showOwner();
    void minimiseOwner();
    void moveBy(const QPoint& globalPos);
    void updatePauseItem();

    QPointer<QWidget> owner_;
    int controlId_;
    QFont font_;
    int fontWidth_ = 0;
    int fontHeight_ = 0;
    int sizePercent_ = 100;
    QMenu* menu_ = nullptr;
    QAction* pauseItem_ = nullptr;
    SubtitlePlace where_ = SubtitlePlace::InEditor;
    bool paused_ = false;
    bool menuOpen_ = false;
    int boxWidth_ = 0;
    int boxHeight_ = 0;
    std::string text_;
    bool centred_ = false;
    SubtitleLayout layout_;
    QRect textRect_;
    LineTiming timing_;
    int wipeX_ = 0;
    QRegion shape_;
    QColor ground_ = Qt::transparent;
    // The line as drawn unsung and sung; painting copies from these.
    QImage unsung_;
    QImage sung_;

    bool dragging_ = false;
    QPoint dragPoint_;
    int64_t lastMoveMs_ = 0;
    Clock clock_;
    std::function<void()> helpHandler_;
};

}  // namespace melnix
