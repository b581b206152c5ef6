// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/subtitle_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QMenu>
#include <QPaintEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "common/gbk.h"
#include "common/mul_div.h"
#include "ui/colour_ref.h"
#include "ui/command_event.h"
#include "ui/command_ids.h"
#include "support/recording_owner.h"

namespace melnix {
namespace {

using test::RecordingOwner;

const QString kHei = QStringLiteral("黑体");

std::string g(const char* utf8) { return utf8ToGbk(utf8); }

QRgb rgbOf(uint32_t colorRef) { return colorFromColorRef(colorRef).rgb() & 0xFFFFFF; }
QRgb inverse(QRgb p) { return ~p & 0xFFFFFF; }

class SubtitleWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner.setGeometry(40, 40, 800, 400);
        sub = new SubtitleWindow(&owner, QRect(0, 0, 700, 66), 1077);
    }

    void placeInEditor(QRect r) {
        sub->place(r, kHei, SubtitlePlace::InEditor);
        owner.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }

    QImage pixels() { return sub->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    // Every pixel of the shape inside the text's box: sung (inverted) left of
    // split, as before right of it. Returns the number of pixels that differ.
    int misplacedPixels(const QImage& before, const QImage& now, int split) {
        int bad = 0;
        QRect r = sub->textRect() & sub->rect();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                if (!sub->shape().contains(QPoint(x, y))) continue;
                QRgb b = before.pixel(x, y) & 0xFFFFFF;
                QRgb n = now.pixel(x, y) & 0xFFFFFF;
                if (n != (x < split ? inverse(b) : b)) ++bad;
            }
        return bad;
    }

    RecordingOwner owner;
    SubtitleWindow* sub;  // a child of owner, deleted with it
};

TEST_F(SubtitleWindowTest, ShapeHoldsTheLettersAndTheirRimAndNothingElse) {
    placeInEditor(QRect(0, 0, 700, 132));  // rim 6, letters 3 right and down
    sub->setText(g("口卡拉OK"), false);
    sub->showTopMost();
    const int rim = 6, offset = 3;
    QImage img = pixels();
    QRegion shape = sub->shape();
    const QRgb back = rgbOf(kSubtitleBackColour);
    const QRgb letter = rgbOf(kSubtitleTextColour);
    auto inShape = [&](int x, int y) { return shape.contains(QPoint(x, y)); };
    auto ink = [&](int x, int y) {
        return img.rect().contains(x, y) && inShape(x, y) && (img.pixel(x, y) & 0xFFFFFF) != back;
    };

    EXPECT_TRUE(sub->textRect().contains(shape.boundingRect())) << "shape outside the text's box";

    int shapePixels = 0, lonely = 0, letterPixels = 0, thinRim = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            if (!inShape(x, y)) continue;
            ++shapePixels;
            // Each part of the shape is a letter or lies within a rim of one
            // (one pixel of slack for the smoothing of the letter edges).
            bool near = false;
            for (int dy = offset - rim - 1; dy <= offset + 1 && !near; ++dy)
                for (int dx = offset - rim - 1; dx <= offset + 1 && !near; ++dx) near = ink(x + dx, y + dy);
            if (!near) ++lonely;
            // Each fully covered letter pixel has its rim on every side.
            if ((img.pixel(x, y) & 0xFFFFFF) == letter) {
                ++letterPixels;
                for (int d = -(offset - 1); d <= rim - offset - 1; ++d)
                    if (!inShape(x + d, y) || !inShape(x, y + d)) ++thinRim;
            }
        }
    EXPECT_GT(letterPixels, 1000);
    EXPECT_EQ(lonely, 0) << "shape pixels away from every letter";
    EXPECT_EQ(thinRim, 0) << "letter pixels without their rim";
    EXPECT_LT(shapePixels, sub->textRect().width() * sub->textRect().height() / 2);

    // Across the middle of the first letter (口): stroke, inside, stroke. The
    // inside is not part of the window.
    const SubtitleLayout& l = sub->layout();
    int y = sub->textRect().height() / 2;
    enum { Before, LeftStroke, Inside, RightStroke } seen = Before;
    for (int x = l.textLeft + l.charX[0]; x < l.textLeft + l.charX[1] + rim; ++x) {
        bool in = inShape(x, y);
        if (seen == Before && in)
            seen = LeftStroke;
        else if (seen == LeftStroke && !in)
            seen = Inside;
        else if (seen == Inside && in)
            seen = RightStroke;
    }
    EXPECT_EQ(seen, RightStroke);
}

TEST_F(SubtitleWindowTest, LettersAreYellowInARedVioletRim) {
    placeInEditor(QRect(0, 0, 700, 66));
    sub->setText(g("卡拉OK"), false);
    QImage img = pixels();
    int yellow = 0, rim = 0, other = 0;
    QRect r = sub->textRect() & sub->rect();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            if (!sub->shape().contains(QPoint(x, y))) continue;
            QRgb p = img.pixel(x, y) & 0xFFFFFF;
            if (p == rgbOf(kSubtitleTextColour))
                ++yellow;
            else if (p == rgbOf(kSubtitleBackColour))
                ++rim;
            else
                ++other;  // smoothed letter edges
        }
    EXPECT_GT(yellow, 0);
    EXPECT_GT(rim, 0);
    EXPECT_LT(other, yellow + rim);
}

struct SetTextCase {
    const char* name;
    const char* utf8;
    int boxWidth;
    bool centred;
};

TEST_F(SubtitleWindowTest, SetTextReturnsTheWidthShownAndCentresOnlyWhatFits) {
    const SetTextCase cases[] = {
        {"short, centred", "卡拉OK", 700, true},
        {"short, from the left", "卡拉OK", 700, false},
        {"wider than the box, centred", "一二三四五六七八九十一二三四五六七八九十", 300, true},
        {"no room at all", "卡拉OK", 0, true},
    };
    for (const SetTextCase& c : cases) {
        SCOPED_TRACE(c.name);
        sub->place(QRect(0, 0, c.boxWidth, 66), kHei, SubtitlePlace::InEditor);
        int shown = sub->setText(g(c.utf8), c.centred);
        int w = sub->textWidth();
        ASSERT_GT(w, 0);
        EXPECT_EQ(shown, std::min(c.boxWidth, w));
        int expectedLeft = c.centred && w < c.boxWidth ? (c.boxWidth - w) / 2 : 0;
        EXPECT_EQ(sub->textLeft(), expectedLeft);
        EXPECT_EQ(sub->textRight(), expectedLeft + w);
        EXPECT_EQ(sub->wipeX(), 0);
    }
}

TEST_F(SubtitleWindowTest, BoxWithoutHeightStillMeasures) {
    sub->place(QRect(0, 0, 700, 0), kHei, SubtitlePlace::InEditor);
    EXPECT_GT(sub->setText(g("卡拉OK"), true), 0);
    EXPECT_TRUE((sub->shape() & sub->rect()).isEmpty());
}

// In the editor nothing of the box is drawn; on the desktop the window is
// cut to nothing (no mask at all would show the whole box).
TEST_F(SubtitleWindowTest, EmptyOrBlankTextShowsNothing) {
    for (bool onDesktop : {false, true}) {
        SCOPED_TRACE(onDesktop ? "desktop" : "editor");
        sub->place(onDesktop ? QRect(0, 600, 700, 66) : QRect(0, 0, 700, 66), kHei, onDesktop ? SubtitlePlace::OnDesktop : SubtitlePlace::InEditor);
        sub->setText(g("卡拉OK"), true);
        if (onDesktop) {
            EXPECT_EQ(sub->mask(), sub->shape());
        }
        sub->wipeTo(50);
        for (const char* blank : {"", "   "}) {
            sub->setText(blank, true);
            EXPECT_EQ(sub->wipeX(), 0);
            EXPECT_TRUE((sub->shape() & sub->rect()).isEmpty());
            if (onDesktop) {
                EXPECT_TRUE((sub->mask() & sub->rect()).isEmpty());
                EXPECT_FALSE(sub->mask().isEmpty());
            } else {
                EXPECT_TRUE(sub->mask().isEmpty()) << "the editor's subtitle has no mask";
                const QImage drawn = sub->grab().toImage();
                int opaque = 0;
                for (int y = 0; y < drawn.height(); ++y)
                    for (int x = 0; x < drawn.width(); ++x) opaque += qAlpha(drawn.pixel(x, y)) != 0;
                EXPECT_EQ(opaque, 0);
            }
        }
        EXPECT_EQ(sub->setText("", true), 0);
        EXPECT_EQ(sub->textWidth(), 0);
    }
}

// With a ground (the editor's subtitle area) the window is opaque: the
// ground around the letters, the letters as the masked window shows them.
TEST_F(SubtitleWindowTest, OnAGroundTheLettersLookAsMaskedAndTheRestIsTheGround) {
    placeInEditor(QRect(0, 0, 700, 66));
    sub->setText(g("卡拉OK"), false);
    sub->wipeTo(50);
    const QImage bare = pixels();
    const QRegion shape = sub->shape();
    const QColor ground(64, 128, 182);
    sub->setGround(ground);
    sub->place(QRect(0, 0, 700, 66), kHei, SubtitlePlace::InEditor);
    sub->setText(g("卡拉OK"), false);
    sub->wipeTo(50);
    EXPECT_TRUE(sub->testAttribute(Qt::WA_OpaquePaintEvent));
    ASSERT_EQ(sub->shape(), shape);
    const QImage grounded = pixels();
    int inside = 0, differ = 0, notGround = 0;
    for (int y = 0; y < grounded.height(); ++y)
        for (int x = 0; x < grounded.width(); ++x) {
            if (shape.contains(QPoint(x, y))) {
                ++inside;
                differ += grounded.pixel(x, y) != bare.pixel(x, y);
            } else {
                notGround += grounded.pixelColor(x, y) != ground;
            }
        }
    EXPECT_GT(inside, 1000);
    EXPECT_EQ(differ, 0);
    EXPECT_EQ(notGround, 0);

    sub->setText("", true);
    EXPECT_EQ(pixels().pixelColor(350, 33), ground) << "no text: the ground alone";
}

TEST_F(SubtitleWindowTest, CharAtAtTheCharacterBoundaries) {
    sub->place(QRect(0, 0, 700, 66), kHei, SubtitlePlace::InEditor);
    sub->setText(g("OK卡拉"), true);
    const SubtitleLayout& l = sub->layout();
    ASSERT_EQ(l.charCount, 4);
    ASSERT_GT(l.textLeft, 0);
    EXPECT_NEAR(l.charX[4], l.textWidth, 1);
    EXPECT_GT(l.charX[3] - l.charX[2], l.charX[1] - l.charX[0]) << "Chinese wider than Latin";

    EXPECT_EQ(sub->charAt(0), -1);
    EXPECT_EQ(sub->charAt(l.textLeft - 1), -1);
    EXPECT_EQ(sub->charAt(l.textLeft), 0);
    for (int k = 1; k < 4; ++k) {
        ASSERT_GT(l.charX[k], l.charX[k - 1]);
        EXPECT_EQ(sub->charAt(l.textLeft + l.charX[k] - 1), k - 1) << k;
        EXPECT_EQ(sub->charAt(l.textLeft + l.charX[k]), k) << k;
    }
    EXPECT_EQ(sub->charAt(sub->textRight()), 3);
    EXPECT_EQ(sub->charAt(sub->textRight() + 100), 3);
}

TEST_F(SubtitleWindowTest, MeasuresTheFirstEightyBytesOnly) {
    sub->place(QRect(0, 0, 700, 22), kHei, SubtitlePlace::InEditor);
    std::string line;
    for (int i = 0; i < 45; ++i) line += g("歌");
    sub->setText(line + "\xC4", false);  // and a lead byte with nothing after it
    EXPECT_EQ(sub->layout().charCount, 40);
    EXPECT_EQ(sub->charAt(sub->textRight()), 39);
    EXPECT_GT(sub->textWidth(), sub->layout().charX[40]);
}

TEST_F(SubtitleWindowTest, WipeInvertsTheSungPartAndBackwardMovesRestoreIt) {
    placeInEditor(QRect(0, 0, 700, 66));
    sub->setText(g("卡拉OK歌唱"), false);
    sub->setLineTiming(100, 300, {});
    sub->showTopMost();
    QImage unsung = pixels();
    const int w = sub->textWidth();
    const int left = sub->textLeft();

    struct Step {
        int32_t t;
        int x;
    };
    const Step steps[] = {
        {200, MulDiv(100, w, 200)},
        {250, MulDiv(150, w, 200)},
        {150, MulDiv(50, w, 200)},   // back: the strip 150..250 is unsung again
        {50, 0},                     // before the line
        {1000, w},                   // past it
        {120, MulDiv(20, w, 200)},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.t);
        sub->wipeTo(s.t);
        EXPECT_EQ(sub->wipeX(), s.x);
        EXPECT_EQ(misplacedPixels(unsung, pixels(), left + s.x), 0);
    }

    // Sung letters are blue in a green rim.
    sub->wipeTo(1000);
    QImage sung = pixels();
    int blue = 0, green = 0;
    for (int y = 0; y < sung.height(); ++y)
        for (int x = 0; x < left + w; ++x) {
            if (!sub->shape().contains(QPoint(x, y))) continue;
            QRgb p = sung.pixel(x, y) & 0xFFFFFF;
            blue += p == (qRgb(0x00, 0x00, 0xE4) & 0xFFFFFF);
            green += p == (qRgb(0x39, 0xFF, 0xBB) & 0xFFFFFF);
        }
    EXPECT_GT(blue, 0);
    EXPECT_GT(green, 0);
}

TEST_F(SubtitleWindowTest, WipeRepaintsOnlyTheStripBetweenOldAndNewPosition) {
    placeInEditor(QRect(0, 0, 700, 66));
    sub->setText(g("卡拉OK歌唱"), false);
    sub->setLineTiming(0, 100, {});
    sub->showTopMost();
    struct PaintSpy : QObject {
        QRegion painted;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(e)->region();
            return false;
        }
    } spy;
    sub->installEventFilter(&spy);
    // Let the first drawing of the window happen, however long it takes.
    for (int round = 0; round < 100; ++round) {
        spy.painted = QRegion();
        QCoreApplication::processEvents();
        if (spy.painted.isEmpty() && round > 0) break;
    }

    const QRect box = sub->textRect();
    // One rectangle: the editor's subtitle has no mask to cut it into pieces.
    auto strip = [&](int a, int b) { return QRegion(box.left() + a, box.top(), b - a, box.height()); };
    const int w = sub->textWidth();

    spy.painted = QRegion();
    sub->wipeTo(50);
    int half = sub->wipeX();
    QCoreApplication::processEvents();
    EXPECT_FALSE(spy.painted.isEmpty());
    EXPECT_EQ(spy.painted, strip(0, half));

    spy.painted = QRegion();
    sub->wipeTo(75);
    int threeQuarters = sub->wipeX();
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.painted, strip(half, threeQuarters));

    spy.painted = QRegion();
    sub->wipeTo(25);
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.painted, strip(sub->wipeX(), threeQuarters));

    spy.painted = QRegion();
    sub->wipeTo(25);  // no change, no drawing
    QCoreApplication::processEvents();
    EXPECT_TRUE(spy.painted.isEmpty());
    EXPECT_LT(half, w);
}

TEST_F(SubtitleWindowTest, WipeFollowsTheCharacterTableItWasGiven) {
    sub->place(QRect(0, 0, 700, 66), kHei, SubtitlePlace::InEditor);
    sub->setText(g("卡拉OK歌"), false);
    {
        // The table is the window's own: the line it came from may go away.
        auto table = std::make_unique<std::vector<uint16_t>>(std::vector<uint16_t>{0, 10, 20, 30, 40, 50});
        sub->setLineTiming(100, 150, *table);
    }
    const SubtitleLayout& l = sub->layout();
    for (int k = 0; k < 5; ++k) {
        sub->wipeTo(100 + 10 * k);
        EXPECT_EQ(sub->wipeX(), l.charX[k]) << "start of character " << k;
    }
    sub->wipeTo(105);
    EXPECT_EQ(sub->wipeX(), MulDiv(5, l.charX[1], 10));
    sub->wipeTo(150);
    EXPECT_EQ(sub->wipeX(), sub->textWidth());
}

TEST_F(SubtitleWindowTest, NewTextStartsUnsung) {
    sub->place(QRect(0, 0, 700, 66), kHei, SubtitlePlace::InEditor);
    sub->setText(g("卡拉OK"), false);
    sub->wipeTo(80);
    ASSERT_GT(sub->wipeX(), 0);
    sub->setText(g("歌唱"), false);
    EXPECT_EQ(sub->wipeX(), 0);
    sub->wipeTo(80);
    sub->reshape();
    EXPECT_EQ(sub->wipeX(), 0);
}

struct FontCase {
    const QString face;
    const char* family;
    int boxHeight;
};

TEST_F(SubtitleWindowTest, FontIsSevenEighthsOfTheBoxWithNarrowGlyphs) {
    const FontCase cases[] = {
        {kHei, "Noto Sans CJK SC", 66},
        {kHei, "Noto Sans CJK SC", 121},
        {QStringLiteral("宋体"), "Noto Serif CJK SC", 121},
    };
    // A new window starts with the default face fitted to its box.
    EXPECT_EQ(sub->fontHeight(), 58);
    EXPECT_EQ(QFontInfo(sub->subtitleFont()).family(), QStringLiteral("Noto Sans CJK SC"));
    for (const FontCase& c : cases) {
        SCOPED_TRACE(c.boxHeight);
        sub->place(QRect(0, 0, 700, c.boxHeight), c.face, SubtitlePlace::InEditor);
        int h = c.boxHeight - c.boxHeight / 8;
        EXPECT_EQ(sub->fontHeight(), h);
        EXPECT_EQ(sub->fontWidth(), h * 37 / 50);
        QFontInfo info(sub->subtitleFont());
        EXPECT_EQ(info.family(), QString::fromLatin1(c.family));
        EXPECT_EQ(info.pixelSize(), h);
        // Narrow glyphs average width / 2, so a full-width one is twice that.
        qreal full = QFontMetricsF(sub->subtitleFont()).horizontalAdvance(QStringLiteral("中"));
        EXPECT_NEAR(full, 2 * (sub->fontWidth() / 2), 1.0);
    }
}

TEST_F(SubtitleWindowTest, PlaceSwitchesBetweenEditorAndDesktop) {
    const QRect inEditor(10, 20, 700, 66);
    sub->place(inEditor, kHei, SubtitlePlace::InEditor);
    EXPECT_EQ(sub->parentWidget(), &owner);
    EXPECT_FALSE(sub->isWindow());
    EXPECT_FALSE(sub->isEnabled());
    EXPECT_FALSE(sub->testAttribute(Qt::WA_SetCursor));
    EXPECT_TRUE(sub->isHidden());
    EXPECT_EQ(sub->geometry(), inEditor);
    EXPECT_FALSE(sub->onDesktop());

    const QRect onScreen(0, 600, 1000, 95);
    sub->place(onScreen, kHei, SubtitlePlace::OnDesktop);
    EXPECT_EQ(sub->parentWidget(), nullptr);
    EXPECT_TRUE(sub->isWindow());
    Qt::WindowFlags f = sub->windowFlags();
    EXPECT_TRUE(f.testFlag(Qt::Tool));
    EXPECT_TRUE(f.testFlag(Qt::FramelessWindowHint));
    EXPECT_TRUE(f.testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(sub->isEnabled());
    EXPECT_EQ(sub->cursor().shape(), Qt::SizeAllCursor);
    EXPECT_TRUE(sub->isHidden());
    EXPECT_EQ(sub->geometry(), onScreen);
    EXPECT_EQ(sub->boxWidth(), 1000);
    EXPECT_EQ(sub->boxHeight(), 95);
    EXPECT_TRUE(sub->onDesktop());

    sub->showTopMost();
    EXPECT_TRUE(sub->isVisible());

    sub->place(inEditor, kHei, SubtitlePlace::InEditor);
    EXPECT_EQ(sub->parentWidget(), &owner);
    EXPECT_FALSE(sub->isEnabled());
    EXPECT_TRUE(sub->isHidden());
}

TEST_F(SubtitleWindowTest, PlaceReshapesTheTextForTheNewFont) {
    sub->place(QRect(0, 0, 700, 44), kHei, SubtitlePlace::InEditor);
    sub->setText(g("卡拉OK"), true);
    int small = sub->textWidth();
    sub->place(QRect(0, 0, 700, 88), kHei, SubtitlePlace::InEditor);
    EXPECT_GT(sub->textWidth(), small * 3 / 2);
    EXPECT_EQ(sub->textLeft(), (700 - sub->textWidth()) / 2);
    EXPECT_TRUE(sub->textRect().contains(sub->shape().boundingRect()));
}

// In the editor the window lets every mouse event through to the editor,
// whether the event is sent to it or comes from the window system.
TEST_F(SubtitleWindowTest, InTheEditorTheMouseGoesToTheEditor) {
    placeInEditor(QRect(30, 50, 700, 66));
    sub->setText(g("卡拉OK歌唱"), false);
    sub->showTopMost();
    bool menuShown = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuShown = true;
            popup->close();
        }
    });
    closer.start(10);

    const QPoint inSub(20, 30);
    const QPoint inOwner = inSub + QPoint(30, 50);
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        owner.mouse.clear();
        QTest::mousePress(sub, button, {}, inSub);
        QTest::mouseMove(sub, inSub + QPoint(40, 0));
        QTest::mouseRelease(sub, button, {}, inSub + QPoint(40, 0));
        QTest::mousePress(owner.windowHandle(), button, {}, inOwner);
        QTest::mouseRelease(owner.windowHandle(), button, {}, inOwner);
        ASSERT_GE(owner.mouse.size(), 4u) << "button " << button;
        EXPECT_EQ(owner.mouse[0].type, QEvent::MouseButtonPress);
        EXPECT_EQ(owner.mouse[0].pos, inOwner);
        EXPECT_EQ(owner.mouse.back().type, QEvent::MouseButtonRelease);
        EXPECT_EQ(owner.mouse.back().pos, inOwner);
    }
    EXPECT_EQ(sub->pos(), QPoint(30, 50));
    EXPECT_FALSE(menuShown);
    EXPECT_TRUE(owner.commands.empty());
}

TEST_F(SubtitleWindowTest, TipTextInTheEditorOnly) {
    sub->place(QRect(0, 0, 700, 66), kHei, SubtitlePlace::InEditor);
    EXPECT_EQ(sub->tipTextAt(QPoint(5, 5)),
              QStringLiteral("字幕区: 演唱时,用鼠标左键同步划过整个语句可初步定其时,若该句需很久才唱,可压住右键等待 "));
    sub->place(QRect(0, 600, 700, 66), kHei, SubtitlePlace::OnDesktop);
    EXPECT_TRUE(sub->tipTextAt(QPoint(5, 5)).isEmpty());
}

class DesktopSubtitleTest : public SubtitleWindowTest {
protected:
    void SetUp() override {
        SubtitleWindowTest::SetUp();
        owner.show();
        sub->place(QRect(100, 600, 700, 66), kHei, SubtitlePlace::OnDesktop);
        sub->setText(g("卡拉OK歌唱"), true);
        sub->showTopMost();
    }

    void mouse(QEvent::Type type, QPoint global, Qt::MouseButton button, Qt::MouseButtons held) {
        QMouseEvent e(type, QPointF(sub->mapFromGlobal(global)), QPointF(global), button, held, Qt::NoModifier);
        QApplication::sendEvent(sub, &e);
    }

    // An item of the menu or of its submenu.
    QAction* item(int id) {
        for (QAction* a : sub->menu()->actions()) {
            if (a->data().toInt() == id) return a;
            if (a->menu())
                for (QAction* b : a->menu()->actions())
                    if (b->data().toInt() == id) return b;
        }
        return nullptr;
    }

    int64_t now = 0;
};

TEST_F(DesktopSubtitleTest, DraggingMovesTheWindowAtMostEvery26Ms) {
    sub->setClock([this] { return now; });
    const QPoint p(300, 620);
    now = 1000;
    mouse(QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
    EXPECT_EQ(sub->pos(), QPoint(100, 600));
    mouse(QEvent::MouseMove, p + QPoint(5, 0), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(sub->pos(), QPoint(105, 600));
    now = 1010;
    mouse(QEvent::MouseMove, p + QPoint(9, 2), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(sub->pos(), QPoint(105, 600));
    now = 1026;
    mouse(QEvent::MouseMove, p + QPoint(12, 3), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(sub->pos(), QPoint(105, 600));
    now = 1027;
    mouse(QEvent::MouseMove, p + QPoint(14, 4), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(sub->pos(), QPoint(114, 604));
    now = 1030;
    mouse(QEvent::MouseButtonRelease, p + QPoint(20, 4), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(sub->pos(), QPoint(120, 604)) << "the release makes the last move";
    now = 2000;
    mouse(QEvent::MouseMove, p + QPoint(60, 4), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(sub->pos(), QPoint(120, 604));
}

TEST_F(DesktopSubtitleTest, MenuItemsWithTheirTexts) {
    std::vector<std::pair<QString, int>> items;
    for (QAction* a : sub->menu()->actions())
        items.emplace_back(a->isSeparator() ? QStringLiteral("-") : a->text(), a->data().toInt());
    const std::vector<std::pair<QString, int>> expected = {
        {QStringLiteral("暂    停"), 29320},
        {QStringLiteral("从头听..."), 29448},
        {QStringLiteral("选择歌曲"), 29330},
        {QStringLiteral("导出视频..."), 29458},
        {QStringLiteral("升降调"), 29459},
        {QStringLiteral("-"), 0},
        {QStringLiteral("字幕字体"), 29333},
        {QStringLiteral("-"), 0},
        {QStringLiteral("显示画面"), 29456},
        {QStringLiteral("返回编辑界面(Esc)"), 29331},
        {QStringLiteral("隐    藏"), 29457},
        {QStringLiteral("帮    助"), 29304},
        {QStringLiteral("退    出"), 29332},
    };
    EXPECT_EQ(items, expected);
    std::vector<std::pair<QString, int>> keys;
    for (QAction* a : item(kMenuKey)->menu()->actions()) keys.emplace_back(a->text(), a->data().toInt());
    EXPECT_EQ(keys, (std::vector<std::pair<QString, int>>{
                        {QStringLiteral("升高音调"), 29460}, {QStringLiteral("降低音调"), 29461}, {QStringLiteral("复 位"), 29462}}));
}

TEST_F(DesktopSubtitleTest, MenuItemsPostTheirCommandsToTheOwner) {
    const std::pair<int, uint32_t> cases[] = {
        {kMenuTogglePause, kCmdTogglePause},
        {kMenuRestartSong, kCmdRestartSong},
        {kMenuChooseSong, kCmdChooseSong},
        {kMenuExportVideo, kCmdExportVideo},
        {kMenuKeyUp, kCmdKeyUp},
        {kMenuKeyDown, kCmdKeyDown},
        {kMenuKeyReset, kCmdKeyReset},
        {kMenuSubtitleFont, kCmdSubtitleFont},
        {kMenuBackToEditor, kCmdBackToEditor},
        {kMenuExit, kCmdExit},
    };
    for (auto [id, command] : cases) {
        owner.commands.clear();
        QAction* a = item(id);
        ASSERT_NE(a, nullptr) << id;
        a->trigger();
        EXPECT_TRUE(owner.commands.empty()) << "posted, not sent";
        QCoreApplication::sendPostedEvents(&owner);
        EXPECT_EQ(owner.commands, std::vector<uint32_t>{command}) << id;
    }
}

TEST_F(DesktopSubtitleTest, ShowPictureAndBackToEditorRestoreAMinimisedOwner) {
    for (int id : {kMenuShowPicture, kMenuBackToEditor}) {
        owner.commands.clear();
        owner.showMinimized();
        ASSERT_TRUE(owner.isMinimized());
        item(id)->trigger();
        QCoreApplication::processEvents();
        EXPECT_FALSE(owner.isMinimized()) << id;
        EXPECT_EQ(owner.commands.size(), id == kMenuBackToEditor ? 1u : 0u) << id;
    }
}

TEST_F(DesktopSubtitleTest, HideMinimisesTheOwnerAndHelpRunsTheHelp) {
    int helpRuns = 0;
    sub->setHelpHandler([&] { ++helpRuns; });
    item(kMenuHelp)->trigger();
    EXPECT_EQ(helpRuns, 1);

    ASSERT_FALSE(owner.isMinimized());
    item(kMenuHideEditor)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(owner.isMinimized());
    EXPECT_TRUE(sub->isVisible()) << "the subtitle stays on the desktop";
    EXPECT_TRUE(owner.commands.empty());
}

TEST_F(DesktopSubtitleTest, RightButtonShowsTheMenuWithThePauseStateInItsFirstItem) {
    for (bool paused : {true, false}) {
        sub->setPaused(paused);
        QString firstItem;
        bool openWhileShown = false;
        QTimer::singleShot(0, [&] {
            if (auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                firstItem = popup->actions().value(0)->text();
                openWhileShown = sub->menuOpen();
                EXPECT_EQ(sub->cursor().shape(), Qt::ArrowCursor);
                popup->close();
            }
        });
        mouse(QEvent::MouseButtonPress, QPoint(300, 620), Qt::RightButton, Qt::RightButton);
        EXPECT_EQ(firstItem, paused ? QStringLiteral("恢复播放") : QStringLiteral("暂    停"));
        EXPECT_TRUE(openWhileShown);
        EXPECT_FALSE(sub->menuOpen());
        EXPECT_EQ(sub->cursor().shape(), Qt::SizeAllCursor);
    }
}

TEST(SubtitleWindowLife, GoesWithItsOwnerFromTheDesktopToo) {
    auto* owner = new RecordingOwner;
    QPointer<SubtitleWindow> sub = new SubtitleWindow(owner, QRect(0, 0, 700, 66), 1);
    sub->place(QRect(0, 600, 700, 66), kHei, SubtitlePlace::OnDesktop);
    ASSERT_EQ(sub->parentWidget(), nullptr);
    delete owner;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(sub.isNull());
}

}  // namespace
}  // namespace melnix
