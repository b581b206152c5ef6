// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The look of one subtitle line, drawn offscreen: the letter shape with its
// rim, the line as it looks unsung and sung. The subtitle window shows these
// images through its shape; the video export paints them into its frames.

#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <string_view>

#include "present/core/subtitle_wipe.h"

class QPainter;

namespace melnix {

// 0x00BBGGRR: the outline around the letters (red-violet) and the letters
// (yellow). The sung part shows their inverses, green and blue.
constexpr uint32_t kSubtitleBackColour = 0x4400C6;
constexpr uint32_t kSubtitleTextColour = 0x1BFFFF;

// The subtitle font: height is the character height in pixels; width is
// twice the wanted average glyph width (the narrow glyphs are half the
// full-width ones).
QFont makeSubtitleFont(int width, int height, const QString& face);

// The font fitted to a placement box of this height.
QFont fitSubtitleFont(int boxHeight, const QString& face);

struct SubtitleArt {
    SubtitleLayout layout;
    QRect textRect;  // the text's box grown by the rim: where the wipe reaches
    QImage shape;    // box-sized, opaque where the thickened letters are
    QImage unsung;   // box-sized, the letters in their rim as not yet sung
    QImage sung;     // the same in the inverse colours

    bool empty() const { return layout.textWidth == 0; }
};

// Measures and draws a GBK line in a box of the given size with a font made
// by makeSubtitleFont (fontHeight as given to it). An empty text gives an
// empty art. A text wider than the box is drawn smaller, never cut. dpr:
// device pixels per box pixel of the two pictures.
SubtitleArt drawSubtitleArt(const QFont& font, int fontHeight, QSize box, std::string_view gbkText, bool centred,
                            qreal dpr = 1.0);

// A line ready to be painted over a background: the unsung and sung pictures
// cut to the letter shape (transparent elsewhere).
struct ShapedSubtitle {
    QImage unsung;
    QImage sung;
    QRect textRect;
    int textWidth = 0;
};
ShapedSubtitle shapeSubtitle(const SubtitleArt& art);

// Paints the line with its box's top-left at origin, sung up to wipeX
// pixels from the text's left end, as the window shows it.
void paintSubtitle(QPainter& painter, QPoint origin, const ShapedSubtitle& line, int wipeX);

}  // namespace melnix
