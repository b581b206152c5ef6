// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/subtitle_art.h"

#include <QFontMetricsF>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <string>

#include "common/gbk.h"
#include "lyrics/lyric_text.h"
#include "ui/colour_ref.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// The faces the program was made for have no leading: the character height
// is the whole cell and the Chinese glyphs fill it. CJK faces here keep
// their ideographic em box from 0.88 above to 0.12 below the baseline, so
// the baseline goes 0.88 of the height down to put the same box at the top.
constexpr double kEmBoxAscent = 0.88;

// A full-width character, the reference for the glyph width of a face: the
// narrow (average) glyphs are half as wide.
constexpr char16_t kFullWidthReference = u'中';

int baselineOffset(int fontHeight) { return static_cast<int>(std::lround(fontHeight * kEmBoxAscent)); }

// The letters with hard edges, cut to the text's own box, thickened by the
// rim: every letter pixel spreads 0..rim pixels to the right, then the
// result 0..rim pixels down.
QImage letterShape(const QFont& font, QSize size, const SubtitleLayout& layout, int rim, const QString& line,
                   int baseline) {
    QRect letterBox(layout.textLeft, 0, layout.textWidth, layout.textHeight);
    QImage letters(size, QImage::Format_ARGB32_Premultiplied);
    letters.fill(Qt::transparent);
    {
        QFont hard = font;
        hard.setStyleStrategy(QFont::NoAntialias);
        QPainter p(&letters);
        p.setClipRect(letterBox);
        p.setFont(hard);
        p.setPen(Qt::black);
        p.drawText(QPointF(layout.textLeft, baseline), line);
    }
    QImage wide(size, QImage::Format_ARGB32_Premultiplied);
    wide.fill(Qt::transparent);
    {
        QPainter p(&wide);
        for (int dx = 0; dx <= rim; ++dx) p.drawImage(dx, 0, letters);
    }
    QImage thick(size, QImage::Format_ARGB32_Premultiplied);
    thick.fill(Qt::transparent);
    {
        QPainter p(&thick);
        for (int dy = 0; dy <= rim; ++dy) p.drawImage(0, dy, wide);
    }
    return thick;
}

}  // namespace

QFont makeSubtitleFont(int width, int height, const QString& face) {
    QFont f(face);
    f.setPixelSize(std::max(1, height));
    f.setWeight(QFont::Normal);
    f.setItalic(false);
    f.setUnderline(false);
    f.setStrikeOut(false);
    f.setKerning(false);
    f.setStyleStrategy(QFont::PreferAntialias);
    // The glyphs are squeezed or widened until the narrow ones are width / 2
    // wide, measured on the face that is really used.
    int narrow = width / 2;
    qreal full = QFontMetricsF(f).horizontalAdvance(QChar(kFullWidthReference));
    if (narrow > 0 && full > 0)
        f.setStretch(std::clamp(static_cast<int>(std::lround(200.0 * narrow / full)), 1, 4000));
    return f;
}

QFont fitSubtitleFont(int boxHeight, const QString& face) {
    FontSize s = fitFontSize(boxHeight);
    return makeSubtitleFont(s.width, s.height, face);
}

SubtitleArt drawSubtitleArt(const QFont& givenFont, int givenHeight, QSize box, std::string_view gbkText, bool centred,
                            qreal dpr) {
    SubtitleArt art;
    if (gbkText.empty()) return art;
    const int boxWidth = box.width();
    const int boxHeight = box.height();

    // The letters are sized by the box's height; a text wider than the box
    // (a long line, a long English prompt) is drawn smaller rather than cut.
    QFont font = givenFont;
    int fontHeight = givenHeight;
    {
        const QString whole = fromGbk(gbkText);
        const int room = boxWidth - rimWidth(boxHeight) - boxWidth / 50;
        for (int attempt = 0; attempt < 4 && room > 0; ++attempt) {
            const qreal width = QFontMetricsF(font).horizontalAdvance(whole);
            if (width <= room || font.pixelSize() <= 1) break;
            const qreal scale = room / width;
            font.setPixelSize(std::max(1, static_cast<int>(font.pixelSize() * scale)));
            fontHeight = std::max(1, static_cast<int>(fontHeight * scale));
        }
    }

    QFontMetricsF fm(font);
    // charX[k] is the width of the first k characters as they are drawn
    // together, so that the wipe and the mouse meet the drawn letters.
    int bytes = 0;
    int n = 0;
    const int textLength = static_cast<int>(gbkText.size());
    while (bytes < textLength && bytes < kMaxMeasuredBytes) {
        bytes = std::min(textLength, bytes + (isLeadByte(static_cast<unsigned char>(gbkText[bytes])) ? 2 : 1));
        ++n;
        qreal w = fm.horizontalAdvance(fromGbk(gbkText.substr(0, bytes)));
        art.layout.charX[n] = static_cast<uint16_t>(std::clamp<long>(std::lround(w), 0, 65535));
    }
    art.layout.charCount = n;

    const QString line = fromGbk(gbkText);
    art.layout.textWidth = std::clamp(static_cast<int>(std::lround(fm.horizontalAdvance(line))), 0, 65535);
    art.layout.textHeight = fontHeight;
    art.layout.textLeft = textLeftInBox(boxWidth, art.layout.textWidth, centred);

    const int rim = rimWidth(boxHeight);
    art.textRect = QRect(art.layout.textLeft, 0, art.layout.textWidth + rim, art.layout.textHeight + rim);

    const int baseline = baselineOffset(fontHeight);
    const QSize size(std::max(1, boxWidth), std::max(1, boxHeight));
    art.shape = letterShape(font, size, art.layout, rim, line, baseline);

    art.unsung = QImage(size * dpr, QImage::Format_RGB32);
    art.unsung.setDevicePixelRatio(dpr);
    art.unsung.fill(colorFromColorRef(kSubtitleBackColour));
    {
        // Half a rim right and down: the letters sit in the middle of their
        // outline.
        const int offset = letterOffset(boxHeight);
        QPainter p(&art.unsung);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font);
        p.setPen(colorFromColorRef(kSubtitleTextColour));
        p.drawText(QPointF(art.layout.textLeft + offset, offset + baseline), line);
    }
    art.sung = art.unsung.copy();
    art.sung.invertPixels();
    return art;
}

ShapedSubtitle shapeSubtitle(const SubtitleArt& art) {
    ShapedSubtitle out;
    if (art.empty()) return out;
    out.textRect = art.textRect;
    out.textWidth = art.layout.textWidth;
    auto cut = [&art](const QImage& picture) {
        QImage shaped = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        shaped.setDevicePixelRatio(1.0);
        QImage mask = art.shape.scaled(shaped.size());
        QPainter p(&shaped);
        p.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        p.drawImage(0, 0, mask);
        return shaped;
    };
    out.unsung = cut(art.unsung);
    out.sung = cut(art.sung);
    return out;
}

void paintSubtitle(QPainter& painter, QPoint origin, const ShapedSubtitle& line, int wipeX) {
    if (line.textWidth == 0 || line.unsung.isNull()) return;
    wipeX = std::clamp(wipeX, 0, line.textWidth);
    const int split = line.textRect.left() + wipeX;
    const int w = line.unsung.width();
    const int h = line.unsung.height();
    if (split > 0) painter.drawImage(origin, line.sung, QRect(0, 0, std::min(split, w), h));
    if (split < w) painter.drawImage(origin + QPoint(split, 0), line.unsung, QRect(split, 0, w - split, h));
}

}  // namespace melnix
