// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app_icons.h"

#include <QImage>
#include <QPixmap>

#include <gtest/gtest.h>

#include "dialogs/about_box.h"
#include "dialogs/help_dialog.h"

#include <QLabel>
#include <QPushButton>

namespace melnix {
namespace {

// Share of the image that is not transparent.
double coverage(const QImage& image) {
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) drawn += qAlpha(image.pixel(x, y)) > 0;
    return double(drawn) / (image.width() * image.height());
}

TEST(AppIcons, EveryIconAndCursorIsDrawn) {
    for (int id : {kIconProgram, kIconSoundOn, kIconMuted, kIconRuler, kIconWaveform, kIconDoubleScale, kIconVocalsKept,
                   kIconVocalsRemoved}) {
        const QImage image = melnixIcon(id).pixmap(32, 32).toImage();
        ASSERT_FALSE(image.isNull()) << id;
        EXPECT_GT(coverage(image), 0.1) << id;
        EXPECT_LT(coverage(image), 1.0) << id;  // a shape, not a filled square
    }
    // The two states of each button look different.
    for (auto [a, b] : {std::pair{kIconSoundOn, kIconMuted}, {kIconRuler, kIconWaveform},
                        {kIconVocalsKept, kIconVocalsRemoved}})
        EXPECT_NE(melnixIcon(a).pixmap(32, 32).toImage(), melnixIcon(b).pixmap(32, 32).toImage()) << a;

    for (int id = kCursorLinkFirst; id <= kCursorLinkLast; ++id) {
        const QCursor c = melnixCursor(id);
        EXPECT_EQ(c.shape(), Qt::BitmapCursor) << id;
        EXPECT_GT(coverage(c.pixmap().toImage()), 0.1) << id;
    }
    EXPECT_EQ(melnixCursor(kCursorPicture).shape(), Qt::BitmapCursor);
}

TEST(AppIcons, UnknownIdsFallBack) {
    EXPECT_TRUE(melnixIcon(129).isNull());
    EXPECT_EQ(melnixCursor(140).shape(), Qt::ArrowCursor);
}

TEST(AboutBox, NamesTheProgramAndCloses) {
    AboutBox box;
    const auto labels = box.findChildren<QLabel*>();
    QStringList texts;
    for (const QLabel* l : labels) texts << l->text();
    EXPECT_TRUE(texts.join('\n').contains("Melnix"));
    EXPECT_TRUE(box.findChild<QLabel*>("version")->text().contains(QStringLiteral(MELNIX_VERSION)));
    box.show();
    QPushButton* close = box.findChild<QPushButton*>();
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->text(), QString::fromUtf8("关闭"));
    close->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}

TEST(HelpDialog, TellsHowAndShowsTheAboutBoxOnlyWhenAsked) {
    const QString text = HelpDialog::helpText();
    for (const char* heading : {"使 用 说 明", "一、本软件的功能", "二、认识编辑界面", "三、按部就班的制作过程",
                                "1.打开音乐(*.MP3,*.MID,*.WAV,*.MPG等)", "四、制作技巧", "五、欣赏制作结果",
                                "六、键盘", "Ctrl+Z", "七、补充资料"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(heading))) << heading;

    struct Case {
        bool pressAbout;
        bool closeByEsc;
    } const cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (const Case& c : cases) {
        int abouts = 0;
        HelpDialog help(nullptr, [&] { ++abouts; });
        help.show();
        if (c.pressAbout) help.findChild<QPushButton*>("control1032")->click();
        if (c.closeByEsc)
            help.reject();
        else
            help.findChild<QPushButton*>("control2")->click();
        EXPECT_FALSE(help.isVisible());
        EXPECT_EQ(abouts, c.pressAbout ? 1 : 0) << c.pressAbout << c.closeByEsc;
    }
}

}  // namespace
}  // namespace melnix
