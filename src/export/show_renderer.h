// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The show drawn offscreen in song time, one frame after another: the
// background pictures as a slideshow with the ticked transitions, and over it
// the lyric line with its wipe, drawn as the subtitle window draws it. A
// frame depends on nothing but the song time it is asked for.

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "export/core/video_settings.h"
#include "present/core/show_schedule.h"
#include "export/core/video_frames.h"
#include "lyrics/lyric_sheet.h"
#include "present/core/subtitle_wipe.h"
#include "present/picture_image.h"
#include "present/subtitle_art.h"
#include "present/transitions/transitions.h"

namespace melnix {

struct ShowContent {
    LyricSheet sheet;
    // What the band shows after the last line (and all along without one):
    // the song's title and artist, or nothing.
    QString closing;
    std::vector<std::string> pictures;  // files, or built-in names ("__0.jpg"); none: the built-in ones
    EffectTable effects{};              // the ticked transitions
    QString face;                       // the subtitle face
    int sizePercent = 100;              // the letters' share of the height that fills the band
    QColor background = Qt::black;      // around pictures that do not fill the frame
    uint32_t seed = 1;                  // the transitions' random choice
    // A video behind the lyric instead of the pictures: the song's own
    // (videoLoops false: its time is the song's) or one chosen for the song
    // (from its start at the first frame, over and over).
    std::string video;
    bool videoLoops = false;
};

// The subtitle band of a frame: 2/21 of the width high, from the bottom
// seventh, lifted so that the letters are not cut on wide frames.
QRect exportSubtitleBand(QSize frame);

class ShowRenderer {
public:
    using BuiltIn = PictureImage::BuiltIn;

    ShowRenderer(ShowContent content, QSize frame, BuiltIn builtIn);

    // The show at song time us (microseconds). Times must not go backwards.
    const QImage& frameAt(int64_t us);

    // True when a video is shown behind the lyric.
    bool showsVideo() const { return video_ != nullptr; }

    // Where the wipe stands (pixels from the text's left end) and the band's
    // text box, in the frame last rendered; for tests.
    int wipeX() const { return wipeX_; }
    QRect textRectInFrame() const { return line_.textRect.translated(band_.topLeft()); }
    int shownLine() const { return shownLine_; }

private:
    void changePicture(int64_t ms);
    void stepTransition(int64_t ms);
    void showText(const ShowSchedule::Step& step);

    ShowContent content_;
    std::unique_ptr<VideoFrames> video_;
    int64_t firstUs_ = -1;
    QSize size_;
    BuiltIn builtIn_;
    ShowSchedule schedule_;
    std::mt19937 random_;

    QImage background_;  // the pictures as they stand
    QImage frame_;
    int pictureIndex_ = 0;
    bool firstPicture_ = true;

    // The running transition: its steps and when each is due.
    std::vector<TransitionStep> steps_;
    size_t nextStep_ = 0;
    int64_t lastChangeMs_ = 0;  // song time the picture or text last changed
    int64_t transitionStartMs_ = 0;
    int64_t nextStepMs_ = 0;
    QImage picture_;
    QPoint picturePos_;

    QRect band_;
    QFont font_;
    int fontHeight_ = 0;
    ShapedSubtitle line_;
    SubtitleLayout layout_;
    LineTiming timing_;
    int wipeX_ = 0;
    int shownLine_ = -1;
};

}  // namespace melnix
