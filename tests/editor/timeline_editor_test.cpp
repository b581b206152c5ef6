// SPDX-License-Identifier: GPL-3.0-or-later
// The time line inside the editor window, with a wave song playing through
// the silent audio backend.
#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QScreen>

#include <gtest/gtest.h>

#include "editor/editor_dialog.h"
#include "editor/core/timeline_math.h"
#include "editor/editor_ids.h"
#include "editor/timeline_view.h"
#include "lyrics/lyric_store.h"
#include "ui/colour_ref.h"
#include "support/gbk_text.h"
#include "support/editor_song.h"
#include "support/quiet_prompts.h"
#include "support/qt_wait.h"
#include "support/test_files.h"
#include "support/tone_wav.h"

namespace melnix {
namespace {

using test::g;
using test::QuietPrompts;

class TimelineEditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::useQuietEditorEnvironment(home_.path());
        song_ = files_.file("tone.wav");
        test::writeEditorSong(song_);
        editor_ = std::make_unique<EditorDialog>(program_.path(), song_, "demo", std::make_unique<QuietPrompts>());
        editor_->show();
        ASSERT_TRUE(test::waitUntil([&] { return editor_->clockRunning(); }));
    }
    QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(editor_->control(id)); }
    void mouse(QEvent::Type type, Qt::MouseButton b, QPoint at) {
        QMouseEvent e(type, QPointF(at), editor_->mapToGlobal(QPointF(at)), type == QEvent::MouseMove ? Qt::NoButton : b,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(b), Qt::NoModifier);
        QApplication::sendEvent(editor_.get(), &e);
    }
    QImage shown() {
        return editor_->screen()->grabWindow(editor_->winId()).toImage().convertToFormat(QImage::Format_RGB32);
    }
    int units() { return editor_->transport().positionUnits(); }

    test::TempDir home_, files_, program_;
    std::string song_;
    std::unique_ptr<EditorDialog> editor_;
};

TEST_F(TimelineEditorTest, TheVolumeStripGrowsBehindThePlayPositionAndTheCharactersSitAtTheirTimes) {
    ASSERT_TRUE(test::waitUntil([&] { return units() > 150; }));
    button(idPause)->click();
    // Drawn at the position where the song stands, whatever the clock drew last.
    editor_->repaint();
    const int p = units();
    const QImage img = shown();
    const QRect wave = editor_->waveformArea();
    const int row = wave.top() + 10;
    auto pixel = [&](int x, int y) { return img.pixel(x, y) & 0xFFFFFF; };
    // The steady tone: one played brightness all along, yellow.
    for (int x = wave.left(); x < wave.left() + p - 20; ++x) {
        const QRgb c = pixel(x, row);
        ASSERT_TRUE(qRed(c) == qGreen(c) && qBlue(c) == 0 && qRed(c) >= 50) << "column " << x - wave.left();
    }
    // Far ahead nothing was recorded yet: the ruler.
    EXPECT_EQ(pixel(wave.left() + 600, row), colorFromColorRef(kRulerFill).rgb() & 0xFFFFFF);
    // The first line's first character from 2 s on.
    const QRect adjust = editor_->adjustArea();
    const QRgb window = editor_->palette().color(QPalette::Window).rgb() & 0xFFFFFF;
    EXPECT_EQ(pixel(adjust.left() + 190, adjust.top() + 1), window);
    EXPECT_NE(pixel(adjust.left() + 225, adjust.top() + 1), window);
}

TEST_F(TimelineEditorTest, ADraggedCharacterReplaysSlowlyAndThenAtNormalSpeed) {
    const QRect adjust = editor_->adjustArea();
    const QPoint second(adjust.left() + 235 - editor_->timeline().viewOrigin(), adjust.top() + 10);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, second);
    mouse(QEvent::MouseMove, Qt::LeftButton, second + QPoint(20, 0));
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, second + QPoint(20, 0));
    EXPECT_EQ(editor_->sheet().lineAt(0)->charTimes[1], 50);
    EXPECT_TRUE(editor_->modified());
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);
    EXPECT_EQ(editor_->transport().speedIndex(), 0);  // half speed
    EXPECT_FALSE(button(idSync)->isEnabled());
    EXPECT_TRUE(editor_->slowReplayPending());

    // Paused when the replay's time is up: it ends once the song plays again.
    button(idPause)->click();
    editor_->runCommand(kCmdSlowReplayEnd);
    EXPECT_TRUE(editor_->slowReplayPending());
    button(idPause)->click();
    editor_->runCommand(kCmdSlowReplayEnd);
    EXPECT_FALSE(editor_->slowReplayPending());
    EXPECT_EQ(editor_->transport().speedIndex(), kNormalSpeedIndex);
    EXPECT_TRUE(button(idSync)->isEnabled());
}

// "后续歌词跟随" off: a drag moves its own line's characters, never the later
// lines, while dragging as well as after.
TEST_F(TimelineEditorTest, WithoutFollowingADragLeavesTheLaterLines) {
    editor_->setLaterLinesFollow(false);
    const int32_t nextStart = editor_->sheet().lineAt(1)->startTime;
    const QRect adjust = editor_->adjustArea();
    const QPoint second(adjust.left() + 235 - editor_->timeline().viewOrigin(), adjust.top() + 10);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, second);
    mouse(QEvent::MouseMove, Qt::LeftButton, second + QPoint(20, 0));
    EXPECT_EQ(editor_->sheet().lineAt(0)->charTimes[1], 50);
    EXPECT_EQ(editor_->sheet().lineAt(1)->startTime, nextStart);  // while dragging
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, second + QPoint(20, 0));
    EXPECT_EQ(editor_->sheet().lineAt(0)->charTimes[1], 50);
    EXPECT_EQ(editor_->sheet().lineAt(1)->startTime, nextStart);
    // One step of the history, which takes the drag back whole.
    ASSERT_TRUE(editor_->undo());
    EXPECT_NE(editor_->sheet().lineAt(0)->charTimes[1], 50);
    EXPECT_EQ(editor_->sheet().lineAt(1)->startTime, nextStart);
}

TEST_F(TimelineEditorTest, AWaveformClickEndsTheSlowReplay) {
    const QRect adjust = editor_->adjustArea();
    const QPoint second(adjust.left() + 235 - editor_->timeline().viewOrigin(), adjust.top() + 10);
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, second);
    mouse(QEvent::MouseMove, Qt::LeftButton, second + QPoint(10, 0));
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, second + QPoint(10, 0));
    ASSERT_TRUE(editor_->slowReplayPending());
    const QPoint wave = editor_->waveformArea().center();
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, wave);
    mouse(QEvent::MouseButtonRelease, Qt::LeftButton, wave);
    EXPECT_FALSE(editor_->slowReplayPending());
    EXPECT_EQ(editor_->transport().speedIndex(), kNormalSpeedIndex);
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);
}

TEST_F(TimelineEditorTest, AMouseMoveStartsANewRunOfTheSyncButton) {
    button(idPause)->click();
    // Returns the position of the press: a paused wave song seeks to its blocks.
    auto pressAt = [&](int cs) {
        editor_->transport().seekUnits(cs);
        QAbstractButton* sync = button(idSync);
        emit sync->pressed();
        emit sync->released();
        return units();
    };
    const int t0 = pressAt(100);
    const int t1 = pressAt(150);
    ASSERT_GT(t1, t0 + 3);
    const LyricLine& first = *editor_->sheet().lineAt(0);
    EXPECT_EQ(first.startTime, t0);
    EXPECT_EQ(first.charTimes[1], t1 - t0);
    mouse(QEvent::MouseMove, Qt::NoButton, QPoint(300, 400));
    const int t2 = pressAt(t1 + 10);  // again from the line's first character, not the third
    EXPECT_EQ(first.startTime, t2);
    EXPECT_EQ(first.charTimes[1], t1 - t0);
}

TEST_F(TimelineEditorTest, RulerAndDoubleScaleButtons) {
    button(idRuler)->click();
    EXPECT_TRUE(editor_->timeline().rulerMode());
    EXPECT_EQ(editor_->timeline().display(), WaveDisplay::Ruler);
    EXPECT_TRUE(test::waitUntil([&] { return editor_->clockRunning(); }));  // played again in the new mode
    button(idRuler)->click();
    EXPECT_EQ(editor_->timeline().display(), WaveDisplay::Strip);

    const int cs = units();
    button(idDoubleScale)->click();
    EXPECT_EQ(editor_->transport().timeScale(), 2);
    EXPECT_NEAR(editor_->timeline().viewOrigin(), 2 * cs, 40);
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);
}

TEST_F(TimelineEditorTest, ViewButtonsMoveTheViewAndPlayOn) {
    button(idViewRightFar)->click();
    EXPECT_EQ(editor_->timeline().viewOrigin(), 4 * editor_->waveformArea().width() / 5);
    EXPECT_GE(units(), editor_->timeline().viewOrigin());
    EXPECT_EQ(editor_->transport().playState(), PlayState::Playing);
    button(idViewLeftFar)->click();
    button(idViewLeftFar)->click();
    EXPECT_EQ(editor_->timeline().viewOrigin(), 0);
}

}  // namespace
}  // namespace melnix
