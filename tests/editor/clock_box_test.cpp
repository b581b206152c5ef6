// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/clock_box.h"

#include <QImage>
#include <QLabel>

#include <gtest/gtest.h>

namespace melnix {
namespace {

// Where the ink of a box's text lies: the pixels that differ from its ground.
QRect inkOf(QWidget& box) {
    const QImage img = box.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb ground = img.pixel(img.width() / 2, 3);
    QRect ink;
    for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 3; ++x)
            if (img.pixel(x, y) != ground) ink |= QRect(x, y, 1, 1);
    return ink;
}

// The box draws its characters one by one from their layouts: the text
// must stand where a plain label puts it, and follow a change of text or font.
TEST(ClockBox, DrawsItsTextWhereALabelWouldAndFollowsTextAndFont) {
    QWidget window;
    ClockBox box("0:00.0", &window);
    QLabel label("0:00.0", &window);
    label.setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label.setAlignment(Qt::AlignCenter);
    for (QWidget* w : {static_cast<QWidget*>(&box), static_cast<QWidget*>(&label)}) w->resize(80, 24);

    for (const char* text : {"1:08.0", "59:59.9", "2885K"}) {
        SCOPED_TRACE(text);
        box.setText(text);
        label.setText(text);
        const QRect a = inkOf(box), b = inkOf(label);
        ASSERT_FALSE(b.isEmpty());
        EXPECT_LE(std::abs(a.left() - b.left()), 1);
        EXPECT_LE(std::abs(a.right() - b.right()), 1);
        EXPECT_LE(std::abs(a.top() - b.top()), 1);
        EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1);
    }

    const int narrow = inkOf(box).width();
    QFont big = box.font();
    big.setPointSizeF(big.pointSizeF() * 1.5);
    box.setFont(big);
    EXPECT_GT(inkOf(box).width(), narrow * 5 / 4) << "the glyphs of the old font stayed";
}

}  // namespace
}  // namespace melnix
