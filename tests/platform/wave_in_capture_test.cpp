// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/wave_in_capture.h"

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

// SDL's disk driver records from a file: a real capture device without a
// microphone.
class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<int16_t> samples(kCaptureRate * 4);
        for (size_t i = 0; i < samples.size(); ++i) samples[i] = (i / 10) % 2 ? 12900 : -12900;
        test::writeFile(input_.file("in.raw"), std::string(reinterpret_cast<const char*>(samples.data()),
                                                           samples.size() * sizeof(int16_t)));
        ::setenv("SDL_AUDIODRIVER", "disk", 1);
        ::setenv("SDL_DISKAUDIOFILEIN", input_.file("in.raw").c_str(), 1);
        ::setenv("SDL_DISKAUDIOFILE", input_.file("out.raw").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("SDL_AUDIODRIVER");
        ::unsetenv("MELNIX_AUDIO");
    }
    test::TempDir input_;
};

TEST_F(CaptureTest, RecordsWhatTheDeviceHears) {
    ::setenv("MELNIX_AUDIO", "sdl", 1);
    WaveInCapture capture;
    ASSERT_EQ(capture.Start(), 0);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (capture.RecentPeak() == 0 && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(capture.RecentPeak(), 12900);
    EXPECT_EQ(std::abs(capture.NewestSample()), 12900);
    EXPECT_EQ(captureLevel(capture.RecentPeak()), 100);
    capture.Close();
    EXPECT_FALSE(capture.running());
}

TEST_F(CaptureTest, SilentOutputsNeverRecord) {
    for (const char* choice : {"null", "wav:/tmp/x.wav"}) {
        ::setenv("MELNIX_AUDIO", choice, 1);
        WaveInCapture capture;
        EXPECT_NE(capture.Start(), 0) << choice;
        EXPECT_FALSE(capture.running());
    }
}

TEST(CaptureLevel, ScaledAndCapped) {
    EXPECT_EQ(captureLevel(0), 0);
    EXPECT_EQ(captureLevel(128), 0);
    EXPECT_EQ(captureLevel(1290), 10);
    EXPECT_EQ(captureLevel(32768), 254);
}

}  // namespace
}  // namespace melnix
