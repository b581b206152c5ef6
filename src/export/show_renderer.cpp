// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/show_renderer.h"

#include <QPainter>
#include <algorithm>

#include "present/core/presentation_math.h"
#include "songlist/media_kind.h"
#include "ui/qt_text.h"

namespace melnix {

QRect exportSubtitleBand(QSize frame) {
    const IntRect band = subtitleBand({0, 0, frame.width(), frame.height()});
    return QRect(band.left, band.top, band.width(), band.height());
}

ShowRenderer::ShowRenderer(ShowContent content, QSize frame, BuiltIn builtIn)
    : content_(std::move(content)),
      size_(frame),
      builtIn_(std::move(builtIn)),
      random_(content_.seed) {
    background_ = QImage(size_, QImage::Format_RGB32);
    background_.fill(content_.background);
    band_ = exportSubtitleBand(size_);
    FontSize fs = fitFontSize(band_.height());
    if (content_.sizePercent > 0 && content_.sizePercent < 100)
        fs = {fs.width * content_.sizePercent / 100, fs.height * content_.sizePercent / 100};
    fontHeight_ = fs.height;
    font_ = makeSubtitleFont(fs.width, fs.height, content_.face);
    if (!content_.video.empty()) {
        video_ = std::make_unique<VideoFrames>();
        // A video that cannot be read leaves the pictures.
        if (!video_->open(content_.video, size_.width(), size_.height())) video_.reset();
    }
}

void ShowRenderer::changePicture(int64_t ms) {
    // An effect still running ends with its picture in place first.
    if (!steps_.empty()) paintTransitionPicture(background_, picture_, picturePos_, content_.background);
    const std::vector<std::string>& list = content_.pictures;
    PictureImage image;
    image.load(list.empty() ? std::string("__0.jpg") : list[static_cast<size_t>(pictureIndex_)], builtIn_);
    if (!list.empty()) pictureIndex_ = (pictureIndex_ + 1) % static_cast<int>(list.size());

    // Automatic mode, centred, the frame standing in for the screen.
    const QRect window(QPoint(0, 0), size_);
    const PicturePlacement at =
        image.placement(window, kModeAuto, kZoomNormal, kZoomNormal, kCentred, kCentred, size_);
    if (at.mode == kModeTiled) {
        picture_ = image.render(size_, kModeAuto, content_.background, size_);
        picturePos_ = QPoint(0, 0);
    } else {
        picture_ = at.drawn ? image.image().scaled(at.width, at.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            : QImage();
        picture_ = picture_.convertToFormat(QImage::Format_RGB32);
        picturePos_ = QPoint(at.x, at.y);
    }
    const bool flashAllowed = at.mode == kModeFitted ||
                              (at.mode == kModeActual && image.size().width() <= size_.width() &&
                               image.size().height() <= size_.height());

    steps_.clear();
    nextStep_ = 0;
    const int effect = firstPicture_ ? kDirectSwitch
                                     : resolveEffect(chooseEffect(content_.effects, static_cast<uint32_t>(random_())), flashAllowed);
    firstPicture_ = false;
    if (effect > kDirectSwitch && effect < kTransitionEffects) {
        // The finest steps: a file has all the time it needs.
        const bool covers = QRect(picturePos_, picture_.size()).contains(window);
        steps_ = transitionSteps(effect, window, kMaxTransitionSmoothness, covers);
    }
    transitionStartMs_ = nextStepMs_ = ms;
    if (steps_.empty()) paintTransitionPicture(background_, picture_, picturePos_, content_.background);
}

// Paints every step that is due by ms; the effect is cut short, the full
// picture drawn, once its second is over.
void ShowRenderer::stepTransition(int64_t ms) {
    if (nextStep_ >= steps_.size()) return;
    while (nextStep_ < steps_.size() && nextStepMs_ <= ms && ms - transitionStartMs_ <= kTransitionLimitMs) {
        const TransitionStep& step = steps_[nextStep_++];
        paintTransitionStep(background_, step, picture_, picturePos_, content_.background);
        nextStepMs_ += step.delayMs;
    }
    if (nextStep_ >= steps_.size() || ms - transitionStartMs_ > kTransitionLimitMs) {
        steps_.clear();
        nextStep_ = 0;
        paintTransitionPicture(background_, picture_, picturePos_, content_.background);
    }
}

void ShowRenderer::showText(const ShowSchedule::Step& step) {
    std::string text;
    if (step.line >= 0) {
        const LyricLine& l = *content_.sheet.lineAt(step.line);
        text = l.text;
        timing_ = makeLineTiming(l.startTime, l.endTime(), l.charTimes);
    } else {
        text = toGbk(content_.closing);
        timing_ = makeLineTiming(0, 1, {});
    }
    shownLine_ = step.line;
    const SubtitleArt art = drawSubtitleArt(font_, fontHeight_, band_.size(), text, true);
    layout_ = art.layout;
    line_ = shapeSubtitle(art);
}

const QImage& ShowRenderer::frameAt(int64_t us) {
    const int64_t ms = us / 1000;
    const ShowSchedule::Step step =
        schedule_.advance(content_.sheet, static_cast<int32_t>(ms / 10), ms - lastChangeMs_);
    if (step.changePicture) lastChangeMs_ = ms;
    if (step.newText) showText(step);
    if (firstUs_ < 0) firstUs_ = us;
    if (video_) {
        frame_ = QImage(size_, QImage::Format_RGB32);
        video_->frameAt(content_.videoLoops ? us - firstUs_ : us, content_.videoLoops, frame_.bits(),
                        static_cast<int>(frame_.bytesPerLine()));
    } else {
        if (step.changePicture) changePicture(ms);
        stepTransition(ms);
        frame_ = background_.copy();
    }
    const int32_t cs = static_cast<int32_t>(us / 10000);
    wipeX_ = wipePosition(layout_, timing_, cs + kWipeLead);
    QPainter p(&frame_);
    paintSubtitle(p, band_.topLeft(), line_, wipeX_);
    return frame_;
}

}  // namespace melnix
