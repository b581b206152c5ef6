// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/cdg_glyphs.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "present/subtitle_art.h"
#include "present/subtitle_window.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// The show's glyph width for a character height (fitFontSize): the
// full-width characters are this much of the height wide.
constexpr int kWidthPer50 = 37;

// The tallest ideographs and the deepest Latin descenders: on a screen this
// small a cut "g" or "y" is unreadable, so the letters are made to fit
// between these on the face really used.
const QString kInkProbe = QString::fromUtf8("\u4e2d\u56fd\u6c38\u9ed1gjpqy");  // tall, wide and deep letters

struct Ink {
    int above = 0, below = 0;  // pixels from the baseline
    int height() const { return above + below; }
};

// Drawn and looked at rather than asked of the font: the metrics of a face
// that falls back to another for some letters are not those drawn.
Ink inkOf(const QFont& font) {
    const int size = std::max(1, font.pixelSize());
    QImage probe(size * static_cast<int>(kInkProbe.size()) * 2, size * 3, QImage::Format_Alpha8);
    probe.fill(Qt::transparent);
    {
        QPainter p(&probe);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPointF(0, 2 * size), kInkProbe);
    }
    int top = -1, bottom = -1;
    for (int y = 0; y < probe.height(); ++y) {
        const uchar* line = probe.constScanLine(y);
        // Half covered: what the writer turns into a letter pixel.
        if (std::none_of(line, line + probe.width(), [](uchar c) { return c >= 128; })) continue;
        if (top < 0) top = y;
        bottom = y;
    }
    if (top < 0) return {size, 0};
    return {2 * size - top, bottom + 1 - 2 * size};
}

}  // namespace

QtCdgGlyphs::QtCdgGlyphs(const QString& face) : face_(face.isEmpty() ? kDefaultSubtitleFace : face) {}

CdgGlyph QtCdgGlyphs::draw(std::string_view gbkChar, int pixelHeight) {
    CdgGlyph glyph;
    if (pixelHeight <= 0) return glyph;
    if (pixelHeight != fontHeight_) {
        Ink ink;
        for (int height = pixelHeight, attempt = 0; attempt < 4; ++attempt) {
            font_ = makeSubtitleFont(height * kWidthPer50 / 50, height, face_);
            ink = inkOf(font_);
            if (ink.height() <= pixelHeight || height <= 1) break;
            height = std::max(1, std::min(height - 1, height * pixelHeight / ink.height()));
        }
        // The probe's ink centred in the cell.
        baseline_ = ink.above + std::max(0, pixelHeight - ink.height()) / 2;
        fontHeight_ = pixelHeight;
    }
    const QString text = fromGbk(gbkChar);
    glyph.width = std::max(0, static_cast<int>(std::lround(QFontMetricsF(font_).horizontalAdvance(text))));
    glyph.height = pixelHeight;
    glyph.coverage.assign(static_cast<size_t>(glyph.width) * static_cast<size_t>(glyph.height), 0);
    if (glyph.width == 0 || text.trimmed().isEmpty()) return glyph;

    QImage cell(glyph.width, glyph.height, QImage::Format_Alpha8);
    cell.fill(Qt::transparent);
    {
        QPainter p(&cell);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(font_);
        p.setPen(Qt::black);
        p.drawText(QPointF(0, baseline_), text);
    }
    for (int y = 0; y < glyph.height; ++y) {
        const uchar* line = cell.constScanLine(y);
        std::copy(line, line + glyph.width, glyph.coverage.begin() + static_cast<std::ptrdiff_t>(y) * glyph.width);
    }
    return glyph;
}

}  // namespace melnix
