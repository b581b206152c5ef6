// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The show ("欣赏"): the editor window becomes a full-screen stage on which
// the song plays with its wiped lyric line over a slideshow of background
// pictures, or over the song's own video. The editor keeps the song and the
// lyric; the show only borrows them.

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QTimer>
#include <array>
#include <cstdint>
#include <memory>

#include "present/core/presentation_math.h"
#include "present/core/show_schedule.h"
#include "lyrics/lyric_sheet.h"
#include "songlist/state_file.h"

namespace melnix {

class BackgroundMediaList;
class CMediaPlayer2;
class PictureScrambler;
class PictureWindow;
class SubtitleWindow;
class Transport;

// What the show needs from the editor.
class PresentationHost {
public:
    virtual ~PresentationHost() = default;
    virtual QWidget* stage() = 0;  // the editor window
    virtual Transport& showTransport() = 0;
    virtual LyricSheet& showSheet() = 0;
    virtual SubtitleWindow& showSubtitle() = 0;
    virtual QString showSubtitleFace() = 0;
    virtual BackgroundMediaList& showBackground() = 0;
    // The widget that shows the song's own picture, when it has one.
    virtual QWidget* songVideo() = 0;
    // Hides the editor's controls, or brings them and the subtitle back.
    virtual void hideEditor() = 0;
    virtual void restoreEditor() = 0;
    virtual void resumeSong() = 0;
    virtual void showHelp() = 0;
    // The closing texts after the last line, in turn.
    virtual QString closingText(int index) = 0;
    // Opens scrambled pictures; null: they show as the built-in picture.
    virtual PictureScrambler* showScrambler() = 0;
    // The ticked picture transitions and their shared smoothness.
    virtual EffectSelection* showEffects() = 0;
    virtual int32_t* showSmoothness() = 0;
};

class Presentation : public QObject {
    Q_OBJECT
public:
    enum class Kind { None, Pictures, Video };

    explicit Presentation(PresentationHost& host);
    ~Presentation() override;

    // Starts the show the song calls for; false when it cannot run.
    bool enter();
    void leave();
    bool running() const { return kind_ != Kind::None; }
    Kind kind() const { return kind_; }

    bool userPaused() const { return userPaused_; }
    void setUserPaused(bool paused);

    // The song under a running picture show changed: its pictures and lines
    // start over.
    void songChanged();
    // The editor window was resized or moved: the pictures and the subtitle follow.
    void stageResized();
    // A size from the picture window's menu.
    void applyRequestedSize(QSize size);

    PictureWindow* pictureWindow() const;
    // One step of the show's loop (the timer runs it; tests may too).
    void step();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void enterPictures();
    void enterVideo(QWidget* video);
    // Full screen: on the screen the user last sent the show to, while it
    // is connected, else on the editor's.
    void fillStartScreen();
    void fillScreen(const QRect& area);
    void placeSubtitle();
    void changePicture(bool waitForLoader);
    // A lyric line (line >= 0) or else the given closing text.
    void showLine(int line, int closing);
    void stepVideo();
    bool startBackgroundVideo();
    void startBackgroundMusic();
    CMediaPlayer2* openBackground(const std::string& path);

    PresentationHost& host_;
    Kind kind_ = Kind::None;
    QTimer timer_;
    QPointer<PictureWindow> pictures_;
    QPointer<QWidget> video_;
    QPointer<CMediaPlayer2> backgroundPlayer_;  // a background video, or music behind the song's video
    double backgroundSeconds_ = 0;              // where it stopped, for the next show
    bool songMuted_ = false;                    // the song's own sound gave way to the music
    QRect videoHome_;
    bool userPaused_ = false;
    ShowSchedule schedule_;  // the picture show's lines and pictures
    static constexpr int kNoLineYet = -2;  // lines are 0.., the closing texts their count
    int videoLine_ = kNoLineYet;  // the video show's line
    int videoClosing_ = 0;   // its next closing text
    int closingX_ = 0;       // the video show's closing texts slide left
    QString showScreen_;  // the other screen the user chose, by name; empty: the editor's
    Qt::WindowStates savedState_;
    QRect savedGeometry_;
    Qt::WindowFlags savedFlags_;
};

}  // namespace melnix
