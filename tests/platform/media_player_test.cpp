// SPDX-License-Identifier: GPL-3.0-or-later
// The libmpv player on small files made by ffmpeg, silent (MELNIX_AUDIO=null)
// and drawing with the software renderer on the offscreen platform.

#include "platform/media_player.h"

#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

#include "support/media_files.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::waitUntil;

bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80 && qGreen(c) < 80; }
QRgb centreOf(const QImage& f) { return f.pixel(f.width() / 2, f.height() / 2); }

class MediaPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        video_ = test::makeTestMedia(dir_->path(), "clip.mpg");
        sound_ = test::makeTestMedia(dir_->path(), "tone.wma");
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        ASSERT_FALSE(video_.empty());
        ASSERT_FALSE(sound_.empty());
        ::setenv("MELNIX_AUDIO", "null", 1);
        host_.resize(160, 120);
        player_ = createMediaPlayer(&host_);
        player_->videoWidget()->setGeometry(0, 0, 160, 120);
        host_.show();
        player_->setEvents({[this] { ++loaded_; }, [this](MediaState s) { states_.push_back(s); }});
    }
    void TearDown() override { player_.reset(); }

    bool saw(MediaState s) const { return std::find(states_.begin(), states_.end(), s) != states_.end(); }

    static test::TempDir* dir_;
    static std::string video_, sound_;
    QWidget host_;
    std::unique_ptr<MediaPlayer> player_;
    int loaded_ = 0;
    std::vector<MediaState> states_;
};

test::TempDir* MediaPlayerTest::dir_ = nullptr;
std::string MediaPlayerTest::video_;
std::string MediaPlayerTest::sound_;

TEST_F(MediaPlayerTest, NothingIsReadBeforeTheMediaHasLoaded) {
    EXPECT_EQ(player_->state(), MediaState::Closed);
    ASSERT_TRUE(player_->open(video_, false));
    EXPECT_EQ(player_->state(), MediaState::Loading);
    EXPECT_EQ(player_->duration(), 0);
    EXPECT_EQ(player_->pictureWidth(), 0);
    player_->seek(1.5);  // ignored: not loaded yet
    ASSERT_TRUE(waitUntil([&] { return loaded_ == 1; }));
    EXPECT_EQ(player_->state(), MediaState::Paused);
    EXPECT_LT(player_->position(), 0.5);
}

TEST_F(MediaPlayerTest, AVideoLoadsPlaysAndShowsItsPicture) {
    ASSERT_TRUE(player_->open(video_, true));
    ASSERT_TRUE(waitUntil([&] { return loaded_ == 1; }));
    EXPECT_NEAR(player_->duration(), 2.0, 0.2);
    EXPECT_EQ(player_->pictureWidth(), 160);
    EXPECT_EQ(player_->pictureHeight(), 120);
    ASSERT_TRUE(waitUntil([&] { return player_->state() == MediaState::Playing; }));
    EXPECT_TRUE(saw(MediaState::Playing));
    // The first second is red.
    player_->pause();
    ASSERT_TRUE(waitUntil([&] { return player_->state() == MediaState::Paused; }));
    player_->seek(0.4);
    ASSERT_TRUE(waitUntil([&] {
        const QImage f = player_->lastFrame();
        return !f.isNull() && isRed(centreOf(f));
    })) << std::hex << centreOf(player_->lastFrame());
    EXPECT_EQ(player_->lastFrame().size(), QSize(160, 120));
    // A seek while paused shows the frame at its target, and reads back its target at once.
    player_->seek(1.5);
    EXPECT_NEAR(player_->position(), 1.5, 0.01);
    ASSERT_TRUE(waitUntil([&] { return isBlue(centreOf(player_->lastFrame())); }))
        << std::hex << centreOf(player_->lastFrame());
    EXPECT_NEAR(player_->position(), 1.5, 0.1);
    EXPECT_EQ(player_->state(), MediaState::Paused);
}

TEST_F(MediaPlayerTest, TheEndIsReportedAndPlayStartsAgainFromTheBeginning) {
    ASSERT_TRUE(player_->open(video_, true));
    ASSERT_TRUE(waitUntil([&] { return loaded_ == 1; }));
    player_->seek(1.6);
    ASSERT_TRUE(waitUntil([&] { return player_->state() == MediaState::Ended; }));
    EXPECT_TRUE(saw(MediaState::Ended));
    // Still loaded at the end: its length can be read.
    EXPECT_NEAR(player_->duration(), 2.0, 0.2);
    EXPECT_GT(player_->position(), 1.5);
    player_->play();
    ASSERT_TRUE(waitUntil([&] { return player_->state() == MediaState::Playing; }));
    EXPECT_LT(player_->position(), 1.5);
}

TEST_F(MediaPlayerTest, SoundOnlyMediaHasNoPicture) {
    ASSERT_TRUE(player_->open(sound_, true));
    ASSERT_TRUE(waitUntil([&] { return loaded_ == 1; }));
    EXPECT_NEAR(player_->duration(), 2.0, 0.2);
    EXPECT_EQ(player_->pictureWidth(), 0);
    EXPECT_EQ(player_->pictureHeight(), 0);
    ASSERT_TRUE(waitUntil([&] { return player_->position() > 0.2; }));
    EXPECT_EQ(player_->state(), MediaState::Playing);
}

TEST_F(MediaPlayerTest, VolumeAndMuteAreKeptOnTheirOwnScales) {
    ASSERT_TRUE(player_->open(sound_, true));
    ASSERT_TRUE(waitUntil([&] { return loaded_ == 1; }));
    // mpv's own volume scale is cubic; the player speaks in amplitude.
    player_->setVolume(0.125);
    EXPECT_NEAR(player_->volume(), 0.125, 0.001);
    player_->setVolume(3.0);
    EXPECT_NEAR(player_->volume(), 1.0, 0.001);
    player_->setMuted(true);
    EXPECT_TRUE(player_->muted());
    player_->setMuted(false);
    EXPECT_FALSE(player_->muted());
}

struct BadFile {
    const char* name;
    std::string bytes;
    bool create;
};

class UndecodableMediaTest : public MediaPlayerTest, public ::testing::WithParamInterface<BadFile> {};

TEST_P(UndecodableMediaTest, FailsWithAReasonAndNeverLoads) {
    const BadFile& c = GetParam();
    test::TempDir dir;
    const std::string path = dir.file(std::string(c.name) + ".wmv");
    if (c.create) test::writeFile(path, c.bytes);
    ASSERT_TRUE(player_->open(path, true));
    ASSERT_TRUE(waitUntil([&] { return player_->state() == MediaState::Failed; }));
    EXPECT_TRUE(saw(MediaState::Failed));
    EXPECT_FALSE(player_->errorText().empty());
    EXPECT_EQ(loaded_, 0);
    EXPECT_EQ(player_->duration(), 0);
    // It stays failed: nothing plays.
    player_->play();
    test::pumpFor(300);
    EXPECT_EQ(player_->state(), MediaState::Failed);
}

std::string garbage() {
    std::string s;
    for (int i = 0; i < 4000; ++i) s.push_back(static_cast<char>((i * 7919 + 13) % 251));
    return s;
}

INSTANTIATE_TEST_SUITE_P(Files, UndecodableMediaTest,
                         ::testing::Values(BadFile{"Garbage", garbage(), true}, BadFile{"Empty", "", true},
                                           BadFile{"Text", "just some words, no media here\r\n", true},
                                           BadFile{"Missing", "", false}),
                         [](const auto& i) { return std::string(i.param.name); });

}  // namespace
}  // namespace melnix
