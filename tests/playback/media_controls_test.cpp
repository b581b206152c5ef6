// SPDX-License-Identifier: GPL-3.0-or-later
// The three control wrappers on small files made by ffmpeg: each keeps its
// own ready events, state codes and units over the one player.

#include <QImage>
#include <QWidget>
#include <cstdlib>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "playback/media_player2.h"
#include "playback/rm_play_wnd.h"
#include "playback/shockwave_flash.h"
#include "support/media_files.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

using test::waitUntil;

QRgb centreOf(const QImage& f) { return f.isNull() ? 0 : f.pixel(f.width() / 2, f.height() / 2); }
bool isRed(QRgb c) { return qRed(c) > 180 && qGreen(c) < 80 && qBlue(c) < 80; }
bool isBlue(QRgb c) { return qBlue(c) > 180 && qRed(c) < 80 && qGreen(c) < 80; }

class ControlsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new test::TempDir;
        for (const char* name : {"clip.mpg", "clip.avi", "clip.wmv", "tone.wma", "clip.rm", "clip.swf"})
            made_ &= !test::makeTestMedia(dir_->path(), name).empty();
        std::string junk;
        for (int i = 0; i < 3000; ++i) junk.push_back(static_cast<char>(i * 31 % 253));
        test::writeFile(dir_->file("broken.wmv"), junk);
        test::writeFile(dir_->file("broken.rm"), junk);
        test::writeFile(dir_->file("broken.swf"), junk);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(made_);
        ::setenv("MELNIX_AUDIO", "null", 1);
        host_.resize(320, 240);
        host_.show();
    }
    static std::string file(const std::string& name) { return dir_->file(name); }
    template <typename Control>
    void place(Control& c, int w, int h) {
        c.setGeometry(0, 0, w, h);
        c.show();
    }

    static test::TempDir* dir_;
    static bool made_;
    QWidget host_;
};

test::TempDir* ControlsTest::dir_ = nullptr;
bool ControlsTest::made_ = true;

// ---- the media-player control -----------------------------------------------------

struct MediaCase {
    const char* file;
    long width, height;
};

class MediaPlayer2Test : public ControlsTest, public ::testing::WithParamInterface<MediaCase> {};

TEST_P(MediaPlayer2Test, ReadyEventsStatesSecondsAndPicture) {
    const MediaCase& c = GetParam();
    CMediaPlayer2 mp(&host_);
    place(mp, 160, 120);
    std::vector<long> ready;
    std::vector<std::pair<long, long>> states;
    int ends = 0;
    mp.onReadyStateChange = [&](long s) { ready.push_back(s); };
    mp.onPlayStateChange = [&](long from, long to) { states.emplace_back(from, to); };
    mp.onEndOfStream = [&](long) { ++ends; };
    EXPECT_EQ(mp.GetPlayState(), kMpClosed);
    EXPECT_EQ(mp.objectName(), "control1001");

    mp.SetFileName(file(c.file));
    EXPECT_EQ(mp.GetFileName(), file(c.file));
    EXPECT_EQ(mp.GetReadyState(), kMpReadyLoading);
    EXPECT_EQ(mp.GetPlayState(), kMpWaiting);
    EXPECT_EQ(mp.GetDuration(), 0);
    ASSERT_TRUE(waitUntil([&] { return mp.GetReadyState() == kMpReadyComplete; }));
    EXPECT_EQ(ready, (std::vector<long>{kMpReadyLoading, kMpReadyComplete}));
    EXPECT_NEAR(mp.GetDuration(), 2.0, 0.2);  // seconds
    EXPECT_EQ(mp.GetImageSourceWidth(), c.width);
    EXPECT_EQ(mp.GetImageSourceHeight(), c.height);

    // It starts by itself.
    ASSERT_TRUE(waitUntil([&] { return mp.GetPlayState() == kMpPlaying; }));
    EXPECT_EQ(states.back(), std::make_pair(kMpWaiting, kMpPlaying));
    mp.Pause();
    ASSERT_TRUE(waitUntil([&] { return mp.GetPlayState() == kMpPaused; }));
    mp.SetCurrentPosition(0.5);
    EXPECT_NEAR(mp.GetCurrentPosition(), 0.5, 0.01);
    if (c.width > 0) {
        ASSERT_TRUE(waitUntil([&] { return isRed(centreOf(mp.lastFrame())); })) << std::hex << centreOf(mp.lastFrame());
        mp.SetCurrentPosition(1.5);
        ASSERT_TRUE(waitUntil([&] { return isBlue(centreOf(mp.lastFrame())); }))
            << std::hex << centreOf(mp.lastFrame());
    } else {
        mp.SetCurrentPosition(1.5);
    }
    EXPECT_NEAR(mp.GetCurrentPosition(), 1.5, 0.1);

    mp.Play();
    ASSERT_TRUE(waitUntil([&] { return ends == 1; }));
    EXPECT_EQ(mp.GetPlayState(), kMpStopped);
    EXPECT_EQ(states.back(), std::make_pair(kMpPlaying, kMpStopped));
    EXPECT_GT(mp.GetCurrentPosition(), 1.5);
}

INSTANTIATE_TEST_SUITE_P(Kinds, MediaPlayer2Test,
                         ::testing::Values(MediaCase{"clip.mpg", 160, 120}, MediaCase{"clip.avi", 160, 120},
                                           MediaCase{"clip.wmv", 160, 120}, MediaCase{"tone.wma", 0, 0}),
                         [](const auto& i) {
                             std::string n = i.param.file;
                             return n.substr(n.find('.') + 1);
                         });

TEST_F(ControlsTest, MediaPlayerVolumeIsInHundredthsOfADecibel) {
    CMediaPlayer2 mp(&host_);
    mp.SetVolume(-2500);
    EXPECT_EQ(mp.GetVolume(), -2500);
    mp.SetVolume(-20000);
    EXPECT_EQ(mp.GetVolume(), kMpVolumeMin);
    mp.SetVolume(300);
    EXPECT_EQ(mp.GetVolume(), kMpVolumeFull);
    mp.SetMute(true);
    EXPECT_TRUE(mp.GetMute());
}

TEST_F(ControlsTest, MediaPlayerReportsMediaItCannotDecode) {
    CMediaPlayer2 mp(&host_);
    int errors = 0;
    mp.onError = [&] { ++errors; };
    mp.SetFileName(file("broken.wmv"));
    ASSERT_TRUE(waitUntil([&] { return errors == 1; }));
    EXPECT_EQ(mp.GetPlayState(), kMpClosed);
    EXPECT_EQ(mp.GetReadyState(), kMpReadyUninitialized);
    EXPECT_FALSE(mp.GetErrorDescription().empty());
    EXPECT_EQ(mp.GetDuration(), 0);
}

// ---- the streaming-media control --------------------------------------------------------

TEST_F(ControlsTest, StreamingPlayerOpensTheClipInMilliseconds) {
    CRMPlayWnd rm(&host_);
    place(rm, 160, 128);
    std::vector<std::pair<std::string, std::string>> opened;
    std::vector<std::pair<long, long>> states;
    rm.onClipOpened = [&](const std::string& name, const std::string& url) { opened.emplace_back(name, url); };
    rm.onPlayStateChange = [&](long from, long to) { states.emplace_back(from, to); };
    rm.SetControls("IMAGEWINDOW");
    rm.SetSource(file("clip.rm"));
    rm.SetConsole("z0Clip1");
    EXPECT_EQ(rm.GetSource(), file("clip.rm"));
    EXPECT_EQ(rm.GetConsole(), "z0Clip1");
    EXPECT_EQ(rm.GetPlayState(), kRmContacting);
    EXPECT_EQ(rm.GetLength(), 0);

    ASSERT_TRUE(waitUntil([&] { return !opened.empty(); }));
    EXPECT_EQ(opened.front(), std::make_pair(std::string("clip.rm"), file("clip.rm")));
    EXPECT_NEAR(static_cast<double>(rm.GetLength()), 2000, 200);  // milliseconds
    EXPECT_EQ(rm.GetClipWidth(), 160);
    EXPECT_EQ(rm.GetClipHeight(), 128);
    ASSERT_TRUE(waitUntil([&] { return rm.GetPlayState() == kRmPlaying; }));
    EXPECT_EQ(states.back(), std::make_pair(kRmContacting, kRmPlaying));

    rm.DoPause();
    ASSERT_TRUE(waitUntil([&] { return rm.GetPlayState() == kRmPaused; }));
    rm.SetPosition(500);
    EXPECT_NEAR(static_cast<double>(rm.GetPosition()), 500, 10);
    ASSERT_TRUE(waitUntil([&] { return isRed(centreOf(rm.lastFrame())); })) << std::hex << centreOf(rm.lastFrame());
    rm.SetPosition(1500);
    ASSERT_TRUE(waitUntil([&] { return isBlue(centreOf(rm.lastFrame())); })) << std::hex << centreOf(rm.lastFrame());
    EXPECT_NEAR(static_cast<double>(rm.GetPosition()), 1500, 100);

    rm.DoPlay();
    ASSERT_TRUE(waitUntil([&] { return rm.GetPlayState() == kRmStopped; }));
    EXPECT_EQ(states.back(), std::make_pair(kRmPlaying, kRmStopped));
}

TEST_F(ControlsTest, StreamingPlayerVolumeRunsToAHundred) {
    CRMPlayWnd rm(&host_);
    EXPECT_EQ(rm.GetVolume(), kRmVolumeMax);
    rm.SetVolume(40);
    EXPECT_EQ(rm.GetVolume(), 40);
    rm.SetVolume(-5);
    EXPECT_EQ(rm.GetVolume(), 0);
    rm.SetVolume(250);
    EXPECT_EQ(rm.GetVolume(), kRmVolumeMax);
}

TEST_F(ControlsTest, StreamingPlayerReportsAClipItCannotDecode) {
    CRMPlayWnd rm(&host_);
    std::vector<std::string> messages;
    int opened = 0;
    rm.onErrorMessage = [&](const std::string& m) { messages.push_back(m); };
    rm.onClipOpened = [&](const std::string&, const std::string&) { ++opened; };
    rm.SetSource(file("broken.rm"));
    ASSERT_TRUE(waitUntil([&] { return !messages.empty(); }));
    EXPECT_FALSE(messages.front().empty());
    EXPECT_EQ(rm.GetPlayState(), kRmStopped);
    EXPECT_EQ(opened, 0);
}

// ---- the Flash control ----------------------------------------------------------------

TEST_F(ControlsTest, FlashMovieLoadsOnTheBaseLayerAndLoops) {
    CShockwaveFlash swf(&host_);
    place(swf, 320, 240);
    std::vector<long> ready;
    std::vector<long> progress;
    swf.onReadyStateChange = [&](long s) { ready.push_back(s); };
    swf.onProgress = [&](long p) { progress.push_back(p); };
    EXPECT_TRUE(swf.GetLoop());
    swf.LoadMovie(1, file("clip.swf"));  // not the base layer: nothing
    EXPECT_TRUE(swf.GetMovie().empty());
    swf.LoadMovie(0, file("clip.swf"));
    EXPECT_EQ(swf.GetMovie(), file("clip.swf"));
    ASSERT_TRUE(waitUntil([&] { return swf.GetReadyState() == kFlashComplete; }));
    EXPECT_EQ(ready, (std::vector<long>{kFlashLoading, kFlashComplete}));
    EXPECT_EQ(progress, std::vector<long>{100});
    ASSERT_TRUE(waitUntil([&] { return swf.IsPlaying(); }));
    ASSERT_TRUE(waitUntil([&] { return isRed(centreOf(swf.lastFrame())) || isBlue(centreOf(swf.lastFrame())); }));
    // Past the movie's two seconds it is still playing.
    test::pumpFor(3000);
    EXPECT_TRUE(swf.IsPlaying());
    swf.StopPlay();
    ASSERT_TRUE(waitUntil([&] { return !swf.IsPlaying(); }));
    swf.Play();
    ASSERT_TRUE(waitUntil([&] { return swf.IsPlaying(); }));
}

TEST_F(ControlsTest, FlashReportsAMovieItCannotDecode) {
    CShockwaveFlash swf(&host_);
    std::vector<std::string> errors;
    swf.onError = [&](const std::string& why) { errors.push_back(why); };
    swf.LoadMovie(0, file("broken.swf"));
    ASSERT_TRUE(waitUntil([&] { return !errors.empty(); }));
    EXPECT_EQ(swf.GetReadyState(), kFlashUninitialized);
    EXPECT_FALSE(swf.IsPlaying());
}

}  // namespace
}  // namespace melnix
