// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tip_watcher.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <vector>

#include "common/gbk.h"
#include "present/subtitle_window.h"
#include "support/qt_wait.h"

namespace melnix {
namespace {

const QString kSubtitleTip =
    QStringLiteral("字幕区: 演唱时,用鼠标左键同步划过整个语句可初步定其时,若该句需很久才唱,可压住右键等待 ");

// An area that answers with the point it was asked about.
class Area : public QWidget, public TipTextSource {
public:
    using QWidget::QWidget;
    QString tipTextAt(const QPoint& p) const override { return QStringLiteral("area %1,%2").arg(p.x()).arg(p.y()); }
};

struct RecordingDisplay : TipDisplay {
    std::vector<QString> shown;
    int hidden = 0;
    void showTip(const QString& text) override { shown.push_back(text); }
    void hideTip() override { ++hidden; }
};

// A window with an answering area, a label on that area, a button that does
// not answer and the subtitle window in its editor place.
class TipWatcherTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.setGeometry(100, 100, 600, 400);
        area = new Area(&window);
        area->setGeometry(10, 10, 400, 200);
        label = new QLabel(QStringLiteral("标签"), area);
        label->setGeometry(20, 20, 100, 30);
        button = new QPushButton(QStringLiteral("按钮"), &window);
        button->setGeometry(450, 300, 100, 30);
        sub = new SubtitleWindow(&window, QRect(10, 250, 420, 44), 1);
        sub->place(QRect(10, 250, 420, 44), QStringLiteral("黑体"), SubtitlePlace::InEditor);
        sub->setText(utf8ToGbk("卡拉OK"), false);
        sub->showTopMost();
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    // A screen point inside the letters of the subtitle window.
    QPoint onSubtitleLetters() {
        const QRegion shape = sub->shape();
        for (const QRect& r : shape)
            if (sub->rect().contains(r.center())) return sub->mapToGlobal(r.center());
        ADD_FAILURE() << "no letters";
        return {};
    }

    QWidget window;
    Area* area;
    QLabel* label;
    QPushButton* button;
    SubtitleWindow* sub;
};

TEST_F(TipWatcherTest, AsksTheWidgetUnderThePointOrTheNearestParentThatAnswers) {
    EXPECT_EQ(TipWatcher::tipTextAt(area->mapToGlobal(QPoint(300, 150))), QStringLiteral("area 300,150"));
    EXPECT_EQ(TipWatcher::tipTextAt(label->mapToGlobal(QPoint(5, 5))), QStringLiteral("area 25,25"));
    EXPECT_TRUE(TipWatcher::tipTextAt(button->mapToGlobal(QPoint(5, 5))).isEmpty());
    EXPECT_TRUE(TipWatcher::tipTextAt(QPoint(5, 5)).isEmpty()) << "no window there";
}

TEST_F(TipWatcherTest, DisabledSubtitleInTheEditorAnswersButNotOnTheDesktop) {
    ASSERT_FALSE(sub->isEnabled());
    EXPECT_EQ(TipWatcher::tipTextAt(onSubtitleLetters()), kSubtitleTip);

    sub->place(QRect(100, 600, 420, 44), QStringLiteral("黑体"), SubtitlePlace::OnDesktop);
    sub->setText(utf8ToGbk("卡拉OK"), false);
    sub->showTopMost();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(sub));
    QPoint p = onSubtitleLetters();
    ASSERT_EQ(QApplication::widgetAt(p), sub);
    EXPECT_TRUE(TipWatcher::tipTextAt(p).isEmpty());
}

class TipWatcherRunTest : public TipWatcherTest {
protected:
    void SetUp() override {
        TipWatcherTest::SetUp();
        watcher.stopTimer();
        watcher.setClock([this] { return now; });
        watcher.setCursorProbe([this] { return TipWatcher::Cursor{cursor, false}; });
        cursor = area->mapToGlobal(QPoint(50, 60));
    }

    void tickUntil(int64_t end) {
        for (; now <= end; now += kTipTickMs) watcher.tick();
        now -= kTipTickMs;
    }

    RecordingDisplay display;
    TipWatcher watcher{&display};
    int64_t now = 0;
    QPoint cursor;
};

TEST_F(TipWatcherRunTest, RestingCursorGetsItsTipOnceUntilItExpires) {
    tickUntil(280);
    EXPECT_TRUE(display.shown.empty());
    tickUntil(340);
    EXPECT_EQ(display.shown, std::vector<QString>{QStringLiteral("area 50,60")});
    tickUntil(19000);
    EXPECT_EQ(display.shown.size(), 1u);
    EXPECT_EQ(display.hidden, 0);
    tickUntil(20500);
    EXPECT_EQ(display.hidden, 1);
    EXPECT_EQ(display.shown.size(), 1u);
}

TEST_F(TipWatcherRunTest, ClicksAndKeysTakeTheTipAwayUntilTheMouseMoves) {
    tickUntil(400);
    ASSERT_EQ(display.shown.size(), 1u);

    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_EQ(display.hidden, 1);
    tickUntil(2000);
    EXPECT_EQ(display.shown.size(), 1u);

    cursor = label->mapToGlobal(QPoint(1, 1));
    tickUntil(2500);
    ASSERT_EQ(display.shown.size(), 2u);
    EXPECT_EQ(display.shown.back(), QStringLiteral("area 21,21"));

    QTest::keyClick(&window, Qt::Key_A);
    EXPECT_EQ(display.hidden, 2);
    tickUntil(4000);
    EXPECT_EQ(display.shown.size(), 2u);
}

TEST_F(TipWatcherRunTest, NothingIsShownWhereNobodyAnswers) {
    cursor = button->mapToGlobal(QPoint(5, 5));
    tickUntil(3000);
    EXPECT_TRUE(display.shown.empty());
    cursor = area->mapToGlobal(QPoint(7, 8));
    tickUntil(3400);
    EXPECT_EQ(display.shown, std::vector<QString>{QStringLiteral("area 7,8")});
}

// Once nothing can happen before the mouse moves (after a click, or where
// a tip ran out) the watcher stops waking up; a move starts it again.
TEST_F(TipWatcherTest, SleepsUntilTheMouseMoves) {
    RecordingDisplay display;
    TipWatcher watcher(&display);
    ASSERT_TRUE(watcher.ticking());
    QTest::mouseMove(&window, button->mapTo(&window, QPoint(5, 5)));
    test::pumpFor(200);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(test::waitUntil([&] { return !watcher.ticking(); }, 5000));
    QTest::mouseMove(&window, area->mapTo(&window, QPoint(60, 70)));
    EXPECT_TRUE(watcher.ticking());
    EXPECT_TRUE(test::waitUntil([&] { return !display.shown.empty(); }, 5000));
    EXPECT_EQ(display.shown.back(), QStringLiteral("area 60,70"));

    // A tip on show: nothing to look at before it runs out, whatever the
    // mouse does, until a click takes the tip away; then a move counts at once.
    EXPECT_GT(watcher.nextTickMs(), kTipLifeMs / 2);
    QTest::mouseMove(&window, area->mapTo(&window, QPoint(90, 20)));
    EXPECT_GT(watcher.nextTickMs(), kTipLifeMs / 2);
    QTest::mouseClick(area, Qt::LeftButton, {}, QPoint(90, 20));
    EXPECT_EQ(display.hidden, 1);
    QTest::mouseMove(&window, area->mapTo(&window, QPoint(40, 50)));
    EXPECT_LE(watcher.nextTickMs(), 2 * kTipTickMs) << "still waiting for the tip that is gone";
    EXPECT_TRUE(test::waitUntil([&] { return display.shown.size() == 2; }, 5000));
    EXPECT_EQ(display.shown.back(), QStringLiteral("area 40,50"));
}

// The real cursor as the windows are told of it: a move over the window
// gets the tip of the point it rests on, also over a widget that does not
// track the mouse; once the cursor left the program's windows, none.
TEST_F(TipWatcherTest, FollowsTheCursorAsTheWindowsSeeIt) {
    RecordingDisplay display;
    TipWatcher watcher(&display);
    watcher.stopTimer();
    int64_t now = 0;
    watcher.setClock([&] { return now; });
    auto restFor = [&](int ms) {
        for (const int64_t end = now + ms; now <= end; now += kTipTickMs) watcher.tick();
    };
    ASSERT_FALSE(label->hasMouseTracking());
    QTest::mouseMove(&window, area->mapTo(&window, QPoint(30, 40)));
    restFor(400);
    ASSERT_EQ(display.shown, std::vector<QString>{QStringLiteral("area 30,40")});

    // Gone out of the program's windows: the tip runs out and none comes back.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(window.windowHandle(), &leave);
    restFor(21000);
    EXPECT_EQ(display.hidden, 1);
    EXPECT_EQ(display.shown.size(), 1u);

    QTest::mouseMove(&window, label->mapTo(&window, QPoint(3, 4)));
    restFor(400);
    ASSERT_EQ(display.shown.size(), 2u);
    EXPECT_EQ(display.shown.back(), QStringLiteral("area 23,24"));
}

}  // namespace
}  // namespace melnix
