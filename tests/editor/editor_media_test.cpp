// SPDX-License-Identifier: GPL-3.0-or-later
// The editor with songs played by the hosted controls, on the offscreen
// platform and silent: opening, the length and position shown, pausing,
// seeking with the slider, the end of the song, the picture above the
// subtitles, and media that cannot be decoded.

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QRadioButton>
#include <QtTest/QTest>
#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include "editor/editor_dialog.h"
#include "editor/editor_ids.h"
#include "editor/core/clock_text.h"
#include "editor/progress_slider.h"
#include "playback/media_control_window.h"
#include "support/media_files.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

#include "support/quiet_prompts.h"

namespace melnix {
namespace {

using test::waitUntil;
using test::QuietPrompts;

bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80 && qGreen(c) < 80; }

class EditorMediaTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        for (const char* name : {"clip.mpg", "clip.avi", "clip.wmv", "tone.wma", "clip.rm", "clip.swf"})
            made_ &= !test::makeTestMedia(dir_->path(), name, 4).empty();
        test::writeFile(dir_->file("broken.avi"), std::string(3000, '\x11'));
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(made_);
        ::setenv("MELNIX_HOME", home_.path().c_str(), 1);
        ::setenv("MELNIX_AUDIO", "null", 1);
    }
    void TearDown() override { editor_.reset(); }

    static std::string file(const char* name) { return dir_->file(name); }
    void start(const std::string& song) {
        auto prompts = std::make_unique<QuietPrompts>();
        prompts_ = prompts.get();
        editor_ = std::make_unique<EditorDialog>(program_.path(), song, "demo", std::move(prompts));
        editor_->show();
    }
    Transport& transport() { return editor_->transport(); }
    QString label(int id) { return qobject_cast<QLabel*>(editor_->control(id))->text(); }
    QAbstractButton* button(int id) { return qobject_cast<QAbstractButton*>(editor_->control(id)); }
    bool playing() { return transport().playState() == PlayState::Playing && editor_->clockRunning(); }
    // The first run puts the demonstration song in the list too.
    void dropOtherSongs(const std::vector<std::string>& keep) {
        SongList& list = editor_->state().list;
        for (int i = list.lastIndex(); i >= 0; --i) {
            const std::string path = list.at(i)->songPath;
            if (std::find(keep.begin(), keep.end(), path) == keep.end()) list.removeSong(path);
        }
    }
    MediaControlWindow* controlWindow() { return editor_->findChild<MediaControlWindow*>(); }
    QWidget* site() { return controlWindow() ? controlWindow()->parentWidget() : nullptr; }

    static test::TempDir* dir_;
    static bool made_;
    test::TempDir home_, program_;
    std::unique_ptr<EditorDialog> editor_;
    QuietPrompts* prompts_ = nullptr;
};

test::TempDir* EditorMediaTest::dir_ = nullptr;
bool EditorMediaTest::made_ = true;

class EditorMediaKindsTest : public EditorMediaTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(EditorMediaKindsTest, PlaysShowsTimesPausesSeeksAndEnds) {
    start(file(GetParam()));
    ASSERT_TRUE(waitUntil([&] { return playing(); }));
    dropOtherSongs({file(GetParam())});
    EXPECT_TRUE(prompts_->errors.isEmpty()) << prompts_->errors.join("\n").toStdString();
    // The length is read when the media has loaded.
    EXPECT_NEAR(transport().lengthCs(), 400, 20);
    EXPECT_EQ(label(idLength), QString::fromStdString(formatClock(transport().lengthCs())));
    EXPECT_EQ(editor_->state().list.current.length, transport().lengthCs());
    ASSERT_TRUE(waitUntil([&] { return label(idPosition) != "0:00.0"; }));
    // These songs have no speeds.
    for (int id = idFirstSpeed; id < idFirstSpeed + kSpeedCount; ++id) EXPECT_FALSE(editor_->control(id)->isEnabled());
    EXPECT_EQ(button(idPause)->text(), QString::fromUtf8("暂停"));

    button(idPause)->click();
    ASSERT_TRUE(waitUntil([&] { return transport().playState() == PlayState::Paused && !editor_->clockRunning(); }));
    EXPECT_EQ(button(idPause)->text(), QString::fromUtf8("播放"));

    // A click on the slider seeks there and stays paused. (Sound-only
    // Windows Media lands within a few of its packets.)
    auto* slider = qobject_cast<ProgressSlider*>(editor_->control(idSlider));
    QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() * 8 / 10, slider->height() / 2));
    ASSERT_TRUE(waitUntil([&] { return std::abs(transport().positionUnits() - slider->getPos()) < 25; }))
        << transport().positionUnits() << " " << slider->getPos();
    EXPECT_GT(slider->getPos(), 250);
    EXPECT_EQ(transport().playState(), PlayState::Paused);

    // Played to its end, the only song of the list starts again: it plays
    // again before the point it went on from. (It goes round and round, so
    // the wait cannot miss the replay however slowly the test runs.)
    const int from = transport().positionUnits();
    button(idPause)->click();
    ASSERT_TRUE(waitUntil([&] { return playing() && transport().positionUnits() < from - 50; }))
        << transport().positionUnits();
    EXPECT_TRUE(prompts_->errors.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Kinds, EditorMediaKindsTest,
                         ::testing::Values("clip.mpg", "clip.avi", "clip.wmv", "tone.wma"),
                         [](const auto& i) {
                             std::string n = i.param;
                             return n.substr(n.find('.') + 1);
                         });

TEST_F(EditorMediaTest, StreamingSongPlaysWithItsLength) {
    start(file("clip.rm"));
    ASSERT_TRUE(waitUntil([&] { return playing(); }));
    EXPECT_NEAR(transport().lengthCs(), 400, 20);
    EXPECT_EQ(label(idLength), QString::fromStdString(formatClock(transport().lengthCs())));
    ASSERT_TRUE(waitUntil([&] { return label(idPosition) != "0:00.0"; }));
    for (int id = idFirstSpeed; id < idFirstSpeed + kSpeedCount; ++id) EXPECT_FALSE(editor_->control(id)->isEnabled());
    button(idPause)->click();
    ASSERT_TRUE(waitUntil([&] { return transport().playState() == PlayState::Paused && !editor_->clockRunning(); }));
}

TEST_F(EditorMediaTest, TheEndOfASongMovesToTheListEntryBefore) {
    start(file("clip.avi"));
    ASSERT_TRUE(waitUntil([&] { return playing(); }));
    dropOtherSongs({file("clip.avi")});
    editor_->openNamedFile(file("tone.wma"));
    ASSERT_TRUE(waitUntil([&] {
        return playing() && transport().kind() == SongKind::Hosted &&
               editor_->state().list.current.songPath == file("tone.wma");
    }));
    ASSERT_EQ(editor_->state().list.size(), 2);
    transport().seekUnits(350);
    ASSERT_TRUE(waitUntil([&] { return editor_->state().list.current.songPath == file("clip.avi"); }));
    ASSERT_TRUE(waitUntil([&] { return playing() && transport().kind() == SongKind::Hosted; }));
}

TEST_F(EditorMediaTest, APictureTakesTheRoomAboveTheSubtitlesInAMaximisedEditor) {
    start(file("clip.mpg"));
    ASSERT_TRUE(waitUntil([&] { return playing(); }));
    // The normal editor has no room: the control waits outside the window.
    ASSERT_NE(site(), nullptr);
    EXPECT_EQ(site()->geometry(), QRect(-18, -18, 16, 16));
    EXPECT_EQ(editor_->subtitleArea().top(), 6);

    editor_->resize(1280, 800);
    const QRect sub = editor_->subtitleArea();
    const int bottom = sub.bottom() + 1;
    ASSERT_GT(bottom, 300);
    EXPECT_EQ(sub.top(), bottom - 120);
    const int h = bottom - 126;
    const int w = h * 160 / 120;
    EXPECT_EQ(site()->geometry(), QRect((1280 - w) / 2, 6, w, h));
    EXPECT_EQ(controlWindow()->geometry(), QRect(0, 0, w, h));
    // The picture is drawn at the control's size: red for the first half, then blue.
    ASSERT_TRUE(waitUntil([&] {
        const QImage f = controlWindow()->lastFrame();
        if (f.size() != QSize(w, h)) return false;
        const QRgb c = f.pixel(w / 2, h / 2);
        return isRed(c) || isBlue(c);
    }));

    // Back to the normal size: parked again, and the subtitles have their room back.
    editor_->resize(640, 434);
    EXPECT_EQ(site()->geometry(), QRect(-18, -18, 16, 16));
    EXPECT_EQ(editor_->subtitleArea().top(), 6);
}

TEST_F(EditorMediaTest, ASongWithoutPictureLeavesTheSubtitleAreaWhole) {
    start(file("tone.wma"));
    ASSERT_TRUE(waitUntil([&] { return playing(); }));
    editor_->resize(1280, 800);
    EXPECT_EQ(editor_->subtitleArea().top(), 6);
    EXPECT_EQ(site()->geometry(), QRect(-18, -18, 16, 16));
}

TEST_F(EditorMediaTest, FlashSongIsOneSecondLongWithAFixedPicture) {
    start(file("clip.swf"));
    ASSERT_TRUE(waitUntil([&] { return label(idLength) == "0:01.0" && controlWindow() != nullptr; }));
    editor_->resize(1280, 800);
    const int bottom = editor_->subtitleArea().bottom() + 1;
    const int h = bottom - 126;
    EXPECT_EQ(site()->geometry(), QRect((1280 - h * 320 / 240) / 2, 6, h * 320 / 240, h));
    test::pumpFor(500);
    // No state and no position: the clock does not follow it, and no speeds.
    EXPECT_EQ(transport().playState(), PlayState::Stopped);
    EXPECT_FALSE(editor_->clockRunning());
    EXPECT_EQ(label(idPosition), "0:00.0");
    for (int id = idFirstSpeed; id < idFirstSpeed + kSpeedCount; ++id) EXPECT_FALSE(editor_->control(id)->isEnabled());
    EXPECT_TRUE(prompts_->errors.isEmpty());
}

// A hosted song fails only once its media is read, after the list has moved
// on to it: the list moves on past it, not back.
TEST_F(EditorMediaTest, TheListMovesOnPastMediaThatFailsLater) {
    start(file("clip.wmv"));
    ASSERT_TRUE(waitUntil([&] { return playing(); }));
    dropOtherSongs({file("clip.wmv")});
    SongList& list = editor_->state().list;
    list.addOrUpdateSong(file("clip.mpg"), 0, 0);
    list.addOrUpdateSong(file("broken.avi"), 0, 0);
    ASSERT_EQ(list.findSong(file("clip.wmv")), 0);
    ASSERT_EQ(list.findSong(file("broken.avi")), list.lastIndex());
    editor_->runCommand(kCmdWaveEnded);  // the song ends: the next is the broken one
    ASSERT_TRUE(waitUntil([&] { return prompts_->errors.size() == 1; }));
    ASSERT_TRUE(waitUntil([&] { return editor_->windowTitle() == QString::fromStdString("Melnix  " + file("clip.mpg")); }))
        << editor_->windowTitle().toStdString();
    EXPECT_TRUE(waitUntil([&] { return playing(); }));
    EXPECT_LT(list.findSong(file("broken.avi")), 0);
}

TEST_F(EditorMediaTest, MediaThatCannotBeDecodedIsReported) {
    start(file("broken.avi"));
    ASSERT_TRUE(waitUntil([&] { return !prompts_->errors.isEmpty(); }));
    ASSERT_EQ(prompts_->errors.size(), 1);
    EXPECT_TRUE(prompts_->errors[0].startsWith(QString::fromUtf8("打开下列文件时出错!:") + QString::fromStdString(file("broken.avi")) +
                                               QString::fromUtf8("\n\n媒体库无法解码这个文件。\n(")))
        << prompts_->errors[0].toStdString();
    EXPECT_LT(editor_->state().list.findSong(file("broken.avi")), 0);
    EXPECT_EQ(button(idPause)->text(), QString::fromUtf8("播放"));
    EXPECT_FALSE(editor_->clockRunning());
    EXPECT_EQ(label(idLength), "0:00.0");
    // The editor goes on: another song opens and plays.
    editor_->openNamedFile(file("clip.wmv"));
    ASSERT_TRUE(waitUntil([&] { return playing(); }));
    EXPECT_EQ(prompts_->errors.size(), 1);
}

}  // namespace
}  // namespace melnix
