// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/wave_out_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace melnix {
namespace {

using namespace std::chrono_literals;

// An output whose buffers finish only when the test says so.
struct FakeOutput : AudioOutput {
    std::atomic<int> pending{0};
    std::atomic<int> maxPending{0};
    std::atomic<int> written{0};
    std::atomic<bool> refuseOpen{false};
    std::atomic<bool> refuseWrite{false};
    std::atomic<bool> paused{false};
    PcmFormat format;

    const char* name() const override { return "fake"; }
    bool open(const PcmFormat& f) override {
        format = f;
        return !refuseOpen;
    }
    void close() override { pending = 0; }
    bool isOpen() const override { return true; }
    bool write(const void*, size_t) override {
        if (refuseWrite) return false;
        ++written;
        const int now = ++pending;
        if (now > maxPending) maxPending = now;
        return true;
    }
    int pendingBuffers() override { return pending; }
    int64_t playedFrames() override { return 0; }
    void pause() override { paused = true; }
    void restart() override { paused = false; }
    void reset() override { pending = 0; }
};

class WaveOutDeviceTest : public ::testing::Test {
protected:
    WaveOutDeviceTest() {
        auto out = std::make_unique<FakeOutput>();
        fake = out.get();
        device = std::make_unique<WaveOutDevice>(config, std::move(out));
    }
    void write() {
        const uint8_t b[4] = {};
        device->Write(b, sizeof b);
    }

    AudioStreamConfig config;
    FakeOutput* fake = nullptr;
    std::unique_ptr<WaveOutDevice> device;
};

TEST_F(WaveOutDeviceTest, OpensWithTheStreamFormatAndPlaysEveryWrite) {
    config.sampleRate = 96000;  // not capped: a device that cannot take it refuses
    config.channels = 1;
    config.bitsPerSample = 8;
    config.blockIndex = 7;
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(fake->format.sampleRate, 96000);
    EXPECT_EQ(fake->format.channels, 1);
    EXPECT_EQ(fake->format.bitsPerSample, 8);
    EXPECT_EQ(device->baseBlock.load(), 7);
    write();
    EXPECT_EQ(fake->written.load(), 1);
    ASSERT_TRUE(device->Open());  // the first write after another open plays too
    write();
    EXPECT_EQ(fake->written.load(), 2);
}

TEST_F(WaveOutDeviceTest, KeepsAtMostEightBuffersQueuedUnlessPaused) {
    ASSERT_TRUE(device->Open());
    std::atomic<bool> done{false};
    std::thread writer([&] {
        for (int i = 0; i < 12; ++i) write();
        done = true;
    });
    // Play one buffer at a time, slowly, until the writer is through.
    while (!done) {
        std::this_thread::sleep_for(20ms);
        if (fake->pending > 0) --fake->pending;
    }
    writer.join();
    EXPECT_EQ(fake->written.load(), 12);
    EXPECT_EQ(fake->maxPending.load(), 8);

    // Paused, a full queue does not hold the writer back.
    fake->pending = 8;
    device->Pause();
    EXPECT_TRUE(fake->paused.load());
    for (int i = 0; i < 4; ++i) write();
    EXPECT_EQ(fake->pending.load(), 12);
    // Waiting for paused buffers drops them instead of waiting forever.
    device->WaitForDrain();
    EXPECT_EQ(device->queuedBuffers(), 0);
    device->Restart();
    EXPECT_FALSE(fake->paused.load());
}

TEST_F(WaveOutDeviceTest, FailuresAreError6) {
    fake->refuseOpen = true;
    EXPECT_FALSE(device->Open());
    EXPECT_EQ(config.lastError.load(), kWaveErrorDevice);
    config.lastError = 0;
    fake->refuseOpen = false;
    ASSERT_TRUE(device->Open());
    write();
    fake->refuseWrite = true;
    EXPECT_THROW(write(), AudioDeviceError);
    EXPECT_EQ(config.lastError.load(), kWaveErrorDevice);

    WaveOutDevice none(config, nullptr);
    EXPECT_FALSE(none.Open());
    EXPECT_FALSE(none.SetVolume(100));
}

TEST_F(WaveOutDeviceTest, VolumeUpTo65535IsForBothChannels) {
    EXPECT_TRUE(device->SetVolume(0x1234));
    EXPECT_EQ(fake->volume(), 0x12341234u);
    EXPECT_TRUE(device->SetVolume(0x00FF1234));  // a full word is taken as it is
    EXPECT_EQ(fake->volume(), 0x00FF1234u);
    EXPECT_TRUE(device->SetVolume(0));  // mute stays mute across an open
    ASSERT_TRUE(device->Open());
    EXPECT_EQ(fake->volume(), 0u);
}

}  // namespace
}  // namespace melnix
