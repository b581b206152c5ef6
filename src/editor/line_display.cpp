// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/line_display.h"

#include <QCoreApplication>
#include <algorithm>
#include <QFont>
#include <QWidget>

#include "editor/core/lyric_document.h"
#include "editor/editor_context.h"
#include "editor/editor_text.h"
#include "editor/show_bridge.h"
#include "editor/timeline_view.h"
#include "playback/core/transport.h"
#include "present/closing_texts.h"
#include "present/core/subtitle_wipe.h"
#include "present/subtitle_window.h"
#include "editor/editor_settings.h"
#include "sync/line_times.h"
#include "ui/colour_ref.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

namespace melnix {
LineDisplay::LineDisplay(EditorContext& ctx) : ctx_(ctx), face_(kDefaultSubtitleFace) {}

void LineDisplay::showAt(int units) {
    LyricSheet& sheet = ctx_.document->sheet();
    SubtitleWindow& subtitle = *ctx_.subtitle;
    const int scale = ctx_.transport->timeScale();
    const int line = CurrentLine(sheet, units, scale);
    if (line >= sheet.lineCount()) {
        // Past the last line the closing texts take turns.
        if (shown_ != line || closingClock_.elapsed() >= kClosingIntervalMs) {
            if (shown_ != line) closingIndex_ = 0;
            subtitle.setText(toGbk(closingText(closingIndex_)), true);
            subtitle.setLineTiming(0, 1, {});
            subtitle.show();
            closingIndex_ = (closingIndex_ + 1) % kClosingTextCount;
            closingClock_.restart();
            shown_ = line;
        }
        return;
    }
    const LyricLine& l = *sheet.lineAt(line);
    if (line != shown_) {
        subtitle.setText(l.text, (l.flags & kLineAltPlacement) == 0);
        subtitle.setLineTiming(l.startTime, l.endTime(), l.charTimes);
        subtitle.show();
        shown_ = line;
    }
    subtitle.wipeTo(units / scale + kWipeLead);
}

void LineDisplay::place() {
    // During the show the subtitle belongs to the stage.
    if (ctx_.show->running()) {
        ctx_.show->stageResized();
        return;
    }
    const QRect area = ctx_.timeline->subtitleArea();
    const int w = area.width();
    // The box lies within the area: it paints the area's colour around the letters.
    const int h = std::min(2 * w / 21, area.height());
    const QRect box(area.left(), area.top() + (area.height() - h) / 2, w, h);
    ctx_.subtitle->setGround(colorFromColorRef(kSubtitleAreaFill));
    ctx_.subtitle->place(box, face_, SubtitlePlace::InEditor);
    ctx_.subtitle->setEnabled(false);
    // The area behind repaints: a smaller or other face leaves no trace of
    // the old letters while the song is paused.
    ctx_.window->update(area.adjusted(-2, -2, 2, 2));
    if (shown_ != kNoLine) {
        const int line = shown_;
        shown_ = kNoLine;
        const LyricLine* l = line >= 0 ? ctx_.document->sheet().lineAt(line) : nullptr;
        showAt(l ? l->startTime * ctx_.transport->timeScale() : 0);
    }
}

void LineDisplay::setFace(const QString& face) {
    face_ = face;
    place();
}

void LineDisplay::chooseFont() {
    // From the face and size the subtitle shows now.
    SubtitleWindow& subtitle = *ctx_.subtitle;
    QFont font(face_);
    font.setPixelSize(std::max(subtitle.fontHeight(), 1));
    font.setWeight(QFont::Normal);
    if (!ctx_.prompts->chooseFont(ctx_.window, font, EditorText::tr("选择字幕字体"))) return;
    // The dialog answers in points; the band's fitting height is the most.
    const int px = font.pixelSize() > 0 ? font.pixelSize()
                                        : qRound(font.pointSizeF() * ctx_.window->logicalDpiY() / 72.0);
    const int fitted = fitFontSize(subtitle.boxHeight()).height;
    if (px > 0 && fitted > 0) {
        ctx_.settings->subtitleSizePercent = std::clamp(px * 100 / fitted, kMinSubtitleSizePercent, 100);
        ctx_.settings->save();
        subtitle.setSizePercent(ctx_.settings->subtitleSizePercent);
    }
    setFace(font.family());
}

QString LineDisplay::closingText(int index) const {
    return melnix::closingText(index, !ctx_.document->sheet().empty());
}

}  // namespace melnix
