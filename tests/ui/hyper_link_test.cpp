// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/hyper_link.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include "dialogs/help_dialog.h"

namespace melnix {
namespace {

TEST(HyperLink, BrowserCommandLines) {
    struct Case {
        const char *browser, *want;
    } const cases[] = {
        {"firefox", "firefox https://x.org/a b"},
        {"firefox --new-tab %s:lynx", "firefox --new-tab https://x.org/a b"},
        {"lynx:firefox", "lynx https://x.org/a b"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(browserCommandLine(c.browser, "https://x.org/a b"), c.want) << c.browser;
}

class HyperLinkTest : public ::testing::Test {
protected:
    void click(CHyperLink& link) {
        const QPointF at(2, 2);
        QMouseEvent down(QEvent::MouseButtonPress, at, link.mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                         Qt::NoModifier);
        QMouseEvent up(QEvent::MouseButtonRelease, at, link.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                       Qt::NoModifier);
        QApplication::sendEvent(&link, &down);
        opensAfterPress = opened.size();
        QApplication::sendEvent(&link, &up);
    }
    CHyperLink::Opener recorder(bool succeed) {
        return [this, succeed](const QString& url) {
            opened << url;
            return succeed;
        };
    }
    QStringList opened;
    qsizetype opensAfterPress = 0;
};

TEST_F(HyperLinkTest, OpensOnReleaseAndTurnsVisited) {
    CHyperLink link("https://example.org");
    link.resize(200, 20);
    link.setOpener(recorder(true));
    EXPECT_EQ(link.textColour(), QColor(0, 0, 255));
    click(link);
    EXPECT_EQ(opensAfterPress, 0);
    EXPECT_EQ(opened, QStringList{"https://example.org"});  // the text itself: no url set
    EXPECT_TRUE(link.visited());
    link.clearFocus();
    QFocusEvent out(QEvent::FocusOut);
    QApplication::sendEvent(&link, &out);
    EXPECT_EQ(link.textColour(), QColor(128, 0, 128));

    // Space opens too, the url when there is one.
    link.setUrl("file:///tmp");
    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier);
    QApplication::sendEvent(&link, &space);
    EXPECT_EQ(opened.last(), "file:///tmp");
}

TEST_F(HyperLinkTest, OptionsAndFailures) {
    CHyperLink onPress("x", nullptr, CHyperLink::kOpenOnPress | CHyperLink::kHoverColour);
    onPress.resize(100, 20);
    onPress.setOpener(recorder(false));
    click(onPress);
    EXPECT_EQ(opensAfterPress, 1);
    EXPECT_EQ(opened.size(), 1);      // not again on release
    EXPECT_FALSE(onPress.visited());  // the opener failed
    QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
    QApplication::sendEvent(&onPress, &enter);
    EXPECT_TRUE(onPress.hovering());
    EXPECT_EQ(onPress.textColour(), QColor(255, 0, 0));
}

TEST(HelpDialog, LinksToTheDataFolder) {
    HelpDialog help(nullptr, [] {});
    ASSERT_NE(help.folderLink(), nullptr);
    EXPECT_TRUE(help.folderLink()->url().startsWith("file:///"));
    EXPECT_FALSE(help.folderLink()->tipTextAt({}).isEmpty());
}

}  // namespace
}  // namespace melnix
