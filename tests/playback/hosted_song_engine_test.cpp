// SPDX-License-Identifier: GPL-3.0-or-later
// The transport playing songs through the hosted controls: units, the ready
// flag, the events handed to the editor, and the volume in each control's
// own scale.

#include "playback/hosted_song_engine.h"
#include "playback/core/volume.h"

#include <QWidget>
#include <cstdlib>
#include <functional>

#include <gtest/gtest.h>

#include "playback/core/transport.h"
#include "playback/media_player2.h"
#include "playback/rm_play_wnd.h"
#include "support/media_files.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::waitUntil;

TEST(HostedVolumeTest, TrackPositionsInEachControlsScale) {
    const std::pair<int, long> media[] = {{0, 0},        {100, -100},   {199, -199},   {200, -200}, {399, -399},
                                          {400, -800},   {600, -1800},  {999, -3996},  {1000, -5000}};
    for (const auto& [track, hundredths] : media) EXPECT_EQ(mediaPlayerVolume(track), hundredths) << track;
    const std::pair<int, int> levels[] = {{1000, 0}, {21, 979}, {20, 1000}};
    for (const auto& [level, track] : levels) EXPECT_EQ(trackPosFromLevel(level), track) << level;
    const std::pair<int, short> streaming[] = {{1000, 100}, {500, 50}, {21, 2}, {20, 0}};
    for (const auto& [level, volume] : streaming) EXPECT_EQ(streamingVolume(level), volume) << level;
}

struct EventLog {
    int ready = 0, playing = 0, ended = 0, failed = 0;
    std::string order, failure;
    // Runs when the control reports that it plays.
    std::function<void()> onPlaying;
    HostedSongEvents events() {
        return {[this] { ++ready, order += 'r'; },
                [this] {
                    ++playing, order += 'p';
                    if (onPlaying) onPlaying();
                },
                [this] { ++ended, order += 'e'; },
                [this](const std::string& why) { ++failed, order += 'f', failure = why; }};
    }
};

class HostedEngineTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        for (const char* name : {"clip.mpg", "tone.wma", "clip.rm", "clip.swf", "clip.mp4", "clip.mkv", "tone.flac"})
            made_ &= !test::makeTestMedia(dir_->path(), name).empty();
        std::string junk(2000, '\x5a');
        test::writeFile(dir_->file("broken.avi"), junk);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(made_);
        ::setenv("MELNIX_AUDIO", "null", 1);
        site_.resize(160, 120);
        site_.show();
        transport_.setMediaFactory([this](const std::string& path) {
            return makeHostedSongEngine(path, &site_, log_.events());
        });
    }
    static std::string file(const char* name) { return dir_->file(name); }

    static test::TempDir* dir_;
    static bool made_;
    ControlSite site_{nullptr};
    Transport transport_;
    EventLog log_;
};

test::TempDir* HostedEngineTest::dir_ = nullptr;
bool HostedEngineTest::made_ = true;

struct KindCase {
    const char* file;
    SongKind kind;
    int lengthCs;  // 0: the media's own (about 200)
    int width, height;
    bool reportsPlaying;
};

class HostedKindsTest : public HostedEngineTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(HostedKindsTest, NothingBeforeReadyThenTheControlsAnswersInTransportUnits) {
    const KindCase& c = GetParam();
    ASSERT_TRUE(transport_.openSong(file(c.file), 0));
    EXPECT_EQ(transport_.kind(), c.kind);
    EXPECT_FALSE(transport_.speedsAvailable());
    if (c.reportsPlaying) {
        // The ready flag is clear: nothing is read and nothing plays.
        EXPECT_EQ(transport_.playState(), PlayState::Stopped);
        EXPECT_EQ(transport_.lengthCs(), 0);
        EXPECT_EQ(transport_.videoWidth(), 0);
        EXPECT_FALSE(transport_.play());
    }
    ASSERT_TRUE(waitUntil([&] { return log_.ready == 1; }));
    EXPECT_EQ(transport_.videoWidth(), c.width);
    EXPECT_EQ(transport_.videoHeight(), c.height);
    if (c.lengthCs > 0) {
        EXPECT_EQ(transport_.lengthCs(), c.lengthCs);
    } else {
        EXPECT_NEAR(transport_.lengthCs(), 200, 20);
    }
    if (!c.reportsPlaying) {
        // The Flash control has no state or position for the transport.
        test::pumpFor(500);
        EXPECT_EQ(transport_.playState(), PlayState::Stopped);
        EXPECT_EQ(transport_.positionUnits(), 0);
        EXPECT_EQ(log_.order, "r");
        return;
    }
    ASSERT_TRUE(waitUntil([&] { return log_.playing == 1; }));
    EXPECT_EQ(log_.order, "rp");
    EXPECT_EQ(transport_.playState(), PlayState::Playing);
    ASSERT_TRUE(transport_.pause());
    ASSERT_TRUE(waitUntil([&] { return transport_.playState() == PlayState::Paused; }));
    // Editor units at the double scale: 1/200 s.
    transport_.setTimeScale(2);
    ASSERT_TRUE(transport_.seekUnits(300));
    EXPECT_NEAR(transport_.positionUnits(), 300, 2);
    ASSERT_TRUE(transport_.play());
    ASSERT_TRUE(waitUntil([&] { return log_.ended == 1; }));
    EXPECT_EQ(log_.order, "rppe");
    EXPECT_EQ(transport_.playState(), PlayState::Stopped);
    // Played again from its start: held where it is when it reports playing,
    // so the position read does not depend on how fast the test runs.
    log_.onPlaying = [&] { transport_.pause(); };
    ASSERT_TRUE(transport_.replay());
    ASSERT_TRUE(waitUntil([&] { return log_.playing == 3 && transport_.playState() == PlayState::Paused; }));
    EXPECT_LT(transport_.positionUnits(), 300);
}

INSTANTIATE_TEST_SUITE_P(Kinds, HostedKindsTest,
                         ::testing::Values(KindCase{"clip.mpg", SongKind::Hosted, 0, 160, 120, true},
                                           KindCase{"tone.wma", SongKind::Hosted, 0, 0, 0, true},
                                           KindCase{"clip.rm", SongKind::Streaming, 0, 160, 128, true},
                                           KindCase{"clip.mp4", SongKind::Hosted, 0, 160, 120, true},
                                           KindCase{"clip.mkv", SongKind::Hosted, 0, 160, 120, true},
                                           KindCase{"clip.swf", SongKind::Flash, 100, 320, 240, false}),
                         [](const auto& i) {
                             std::string n = i.param.file;
                             return n.substr(n.find('.') + 1);
                         });

// FLAC and the other sound files of today go to the wave engine, with its speeds.
TEST_F(HostedEngineTest, TodaysSoundFilesPlayInTheWaveEngine) {
    ASSERT_TRUE(transport_.openSong(file("tone.flac"), 0));
    EXPECT_EQ(transport_.kind(), SongKind::Decoded);
    EXPECT_TRUE(transport_.speedsAvailable());
    EXPECT_NEAR(transport_.lengthCs(), 200, 1);
    EXPECT_EQ(log_.ready, 0);  // not the media player
}

TEST_F(HostedEngineTest, MediaThatCannotBeDecodedFailsOnce) {
    ASSERT_TRUE(transport_.openSong(file("broken.avi"), 0));
    ASSERT_TRUE(waitUntil([&] { return log_.failed == 1; }));
    test::pumpFor(300);
    EXPECT_EQ(log_.order, "f");
    EXPECT_FALSE(log_.failure.empty());  // the media library's reason comes along
    EXPECT_EQ(transport_.playState(), PlayState::Stopped);
    EXPECT_EQ(transport_.lengthCs(), 0);
}

TEST_F(HostedEngineTest, EventsOfAClosedSongNeverArrive) {
    ASSERT_TRUE(transport_.openSong(file("clip.mpg"), 0));
    ASSERT_TRUE(waitUntil([&] { return log_.ready == 1; }));
    // The ended event of the seek to the end is still on its way when the song closes.
    transport_.seekUnits(250);
    transport_.close();
    test::pumpFor(1000);
    EXPECT_EQ(log_.ended, 0);
    EXPECT_TRUE(site_.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).isEmpty());
}

TEST_F(HostedEngineTest, MediaPlayerVolumeIsSetWhenReadyAndAgainWhenPlaying) {
    transport_.setVolumeFromTrack(600);
    ASSERT_TRUE(transport_.openSong(file("tone.wma"), 0));
    ASSERT_TRUE(waitUntil([&] { return log_.playing == 1; }));
    auto* ctl = site_.findChild<CMediaPlayer2*>();
    ASSERT_NE(ctl, nullptr);
    EXPECT_EQ(ctl->GetVolume(), -1800);
    transport_.setMute(true);
    EXPECT_TRUE(ctl->GetMute());
    EXPECT_TRUE(transport_.isMuted());
    transport_.setVolumeFromTrack(1000);  // the bottom of the track
    EXPECT_FALSE(ctl->GetMute());
    EXPECT_EQ(ctl->GetVolume(), -5000);
    // A volume chosen while paused holds when play goes on.
    transport_.pause();
    ASSERT_TRUE(waitUntil([&] { return transport_.playState() == PlayState::Paused; }));
    transport_.setVolumeFromTrack(200);
    transport_.play();
    ASSERT_TRUE(waitUntil([&] { return log_.playing == 2; }));
    EXPECT_EQ(ctl->GetVolume(), -200);
}

TEST_F(HostedEngineTest, StreamingVolumeRunsFromSilenceToAHundred) {
    transport_.setVolumeFromTrack(600);
    ASSERT_TRUE(transport_.openSong(file("clip.rm"), 0));
    ASSERT_TRUE(waitUntil([&] { return log_.playing == 1; }));
    auto* ctl = site_.findChild<CRMPlayWnd*>();
    ASSERT_NE(ctl, nullptr);
    EXPECT_EQ(ctl->GetVolume(), 40);
    EXPECT_EQ(ctl->GetSource(), file("clip.rm"));
    EXPECT_EQ(ctl->GetConsole(), "z0Clip1");
    EXPECT_EQ(ctl->GetControls(), "IMAGEWINDOW");
    transport_.setVolumeFromTrack(1000);
    EXPECT_EQ(ctl->GetVolume(), 0);
    transport_.setVolumeFromTrack(0);
    EXPECT_EQ(ctl->GetVolume(), 100);
}

}  // namespace
}  // namespace melnix
