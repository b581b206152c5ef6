// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/audio_output.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "common/file.h"

namespace melnix {
namespace {

using namespace std::chrono_literals;

std::string scratchPath(const std::string& name) {
    return (std::filesystem::temp_directory_path() / ("melnix-platform-" + std::to_string(getpid()) + "-" + name))
        .string();
}

// A scratch file that is removed again.
struct ScratchFile {
    explicit ScratchFile(const std::string& name) : path(scratchPath(name)) {}
    ~ScratchFile() { std::filesystem::remove(path); }
    const std::string path;
};

uint32_t le32(const std::string& s, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(s[at]) | static_cast<uint8_t>(s[at + 1]) << 8 |
                                 static_cast<uint8_t>(s[at + 2]) << 16 |
                                 static_cast<uint32_t>(static_cast<uint8_t>(s[at + 3])) << 24);
}

std::vector<int16_t> samplesOf(const std::string& wav) {
    std::vector<int16_t> out((wav.size() - 44) / 2);
    std::memcpy(out.data(), wav.data() + 44, out.size() * 2);
    return out;
}

// Waits until pred holds, polling; generous so a loaded machine passes.
template <class Pred>
bool eventually(Pred pred, std::chrono::milliseconds limit = 10s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

TEST(AudioOutputChoice, NamesTheBackend) {
    struct Case {
        const char* choice;
        const char* name;  // nullptr: refused
    } cases[] = {
        {"", "sdl"}, {"sdl", "sdl"}, {"null", "null"}, {"wav:/tmp/x.wav", "wav"},
        {"wav:", nullptr}, {"pulse", nullptr}, {"NULL", nullptr},
    };
    for (const auto& c : cases) {
        auto out = createAudioOutput(c.choice);
        if (!c.name) {
            EXPECT_EQ(out, nullptr) << c.choice;
        } else {
            ASSERT_NE(out, nullptr) << c.choice;
            EXPECT_STREQ(out->name(), c.name) << c.choice;
        }
    }
}

TEST(AudioOutputChoice, ReadsTheEnvironment) {
    setenv("MELNIX_AUDIO", "null", 1);
    auto out = createAudioOutput();
    unsetenv("MELNIX_AUDIO");
    ASSERT_NE(out, nullptr);
    EXPECT_STREQ(out->name(), "null");
}

TEST(SoftwareVolume, ScalesEachChannelByItsWord) {
    PcmFormat stereo16{44100, 2, 16};
    int16_t s[4] = {1000, -1000, 32767, -32768};
    applyVolume(reinterpret_cast<uint8_t*>(s), sizeof s, stereo16, 0x0000'8000u | 0xFFFFu << 16);
    EXPECT_EQ(s[0], 500);      // left at half
    EXPECT_EQ(s[1], -1000);    // right at full
    EXPECT_EQ(s[2], 16383);  // 32767 * 0x8000 / 0xFFFF, truncated
    EXPECT_EQ(s[3], -32768);

    PcmFormat mono8{8000, 1, 8};
    uint8_t u[3] = {0x80, 0xFF, 0x00};
    applyVolume(u, sizeof u, mono8, 0);
    EXPECT_EQ(u[0], 0x80);  // silence of unsigned 8-bit is 0x80, not 0
    EXPECT_EQ(u[1], 0x80);
    EXPECT_EQ(u[2], 0x80);

    int16_t full[2] = {-32768, 32767};
    applyVolume(reinterpret_cast<uint8_t*>(full), sizeof full, stereo16, kFullVolume);
    EXPECT_EQ(full[0], -32768);
    EXPECT_EQ(full[1], 32767);
}

TEST(WavAudioOutput, WritesWhatWouldBeHeardWithItsHeader) {
    const ScratchFile file("heard.wav");
    const std::string& path = file.path;
    auto out = makeWavAudioOutput(path);
    ASSERT_TRUE(out->open({22050, 2, 16}));
    const int16_t a[4] = {100, -100, 200, -200};
    ASSERT_TRUE(out->write(a, sizeof a));
    EXPECT_EQ(out->pendingBuffers(), 0);  // done at once
    out->setVolume(0x8000u | 0x8000u << 16);
    ASSERT_TRUE(out->write(a, sizeof a));
    EXPECT_EQ(out->playedFrames(), 4);
    out->reset();
    EXPECT_EQ(out->playedFrames(), 0);
    out->close();

    std::string wav;
    ASSERT_TRUE(readWholeFile(path, wav, 1 << 20));
    ASSERT_EQ(wav.size(), 44u + 16u);
    EXPECT_EQ(wav.substr(0, 4), "RIFF");
    EXPECT_EQ(le32(wav, 4), 36u + 16u);
    EXPECT_EQ(wav.substr(8, 8), "WAVEfmt ");
    EXPECT_EQ(le32(wav, 24), 22050u);
    EXPECT_EQ(le32(wav, 28), 22050u * 4);
    EXPECT_EQ(wav.substr(36, 4), "data");
    EXPECT_EQ(le32(wav, 40), 16u);
    EXPECT_EQ(samplesOf(wav), (std::vector<int16_t>{100, -100, 200, -200, 50, -50, 100, -100}));
}

TEST(WavAudioOutput, ReopeningContinuesOnlyForTheSameFormat) {
    const ScratchFile file("reopen.wav");
    const std::string& path = file.path;
    auto out = makeWavAudioOutput(path);
    const int16_t a[2] = {1, 2};
    ASSERT_TRUE(out->open({44100, 2, 16}));
    ASSERT_TRUE(out->write(a, sizeof a));
    ASSERT_TRUE(out->open({44100, 2, 16}));  // open while open: closes first
    ASSERT_TRUE(out->write(a, sizeof a));
    out->close();
    std::string wav;
    ASSERT_TRUE(readWholeFile(path, wav, 1 << 20));
    EXPECT_EQ(samplesOf(wav), (std::vector<int16_t>{1, 2, 1, 2}));

    ASSERT_TRUE(out->open({22050, 1, 16}));
    ASSERT_TRUE(out->write(a, sizeof a));
    out->close();
    ASSERT_TRUE(readWholeFile(path, wav, 1 << 20));
    EXPECT_EQ(le32(wav, 24), 22050u);
    EXPECT_EQ(samplesOf(wav), (std::vector<int16_t>{1, 2}));
}

TEST(WavAudioOutput, RefusesWhatItCannotWrite) {
    auto out = makeWavAudioOutput("/nonexistent-folder/x.wav");
    EXPECT_FALSE(out->open({44100, 2, 16}));
    EXPECT_FALSE(out->write("abcd", 4));
    const ScratchFile file("bad-format.wav");
    auto out2 = makeWavAudioOutput(file.path);
    EXPECT_FALSE(out2->open({44100, 0, 16}));
    EXPECT_FALSE(out2->open({0, 2, 16}));
    EXPECT_FALSE(out2->open({44100, 2, 12}));
}

TEST(NullAudioOutput, ConsumesAtRealTimeAndHoldsWhilePaused) {
    auto out = makeNullAudioOutput();
    ASSERT_TRUE(out->open({8000, 1, 16}));
    std::vector<int16_t> tenth(800);  // 100 ms
    // Paused, the clock cannot take them however slow this machine is.
    out->pause();
    ASSERT_TRUE(out->write(tenth.data(), tenth.size() * 2));
    ASSERT_TRUE(out->write(tenth.data(), tenth.size() * 2));
    EXPECT_EQ(out->pendingBuffers(), 2);
    EXPECT_EQ(out->playedFrames(), 0);
    out->restart();
    EXPECT_TRUE(eventually([&] { return out->pendingBuffers() == 0; }));
    EXPECT_EQ(out->playedFrames(), 1600);  // never past what was written

    ASSERT_TRUE(out->write(tenth.data(), tenth.size() * 2));
    out->pause();
    const int64_t at = out->playedFrames();
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(out->playedFrames(), at);
    EXPECT_EQ(out->pendingBuffers(), 1);
    out->reset();  // drops the buffer, pause stays
    EXPECT_EQ(out->pendingBuffers(), 0);
    EXPECT_EQ(out->playedFrames(), 0);
    ASSERT_TRUE(out->write(tenth.data(), tenth.size() * 2));
    std::this_thread::sleep_for(150ms);
    EXPECT_EQ(out->playedFrames(), 0);
    out->restart();
    EXPECT_TRUE(eventually([&] { return out->playedFrames() == 800; }));
    out->close();
    EXPECT_FALSE(out->write(tenth.data(), 2));
}

// SDL's dummy driver consumes like a sound card without making a sound.
TEST(SdlAudioOutput, PlaysBuffersThroughTheDummyDriver) {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    auto out = makeSdlAudioOutput();
    if (!out->open({44100, 2, 16})) GTEST_SKIP() << "SDL dummy audio driver not available";
    std::vector<int16_t> block(4096 * 2, 1000);
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(out->write(block.data(), block.size() * 2));
    EXPECT_TRUE(eventually([&] { return out->pendingBuffers() == 0; }));
    EXPECT_EQ(out->playedFrames(), 3 * 4096);
    out->pause();
    ASSERT_TRUE(out->write(block.data(), block.size() * 2));
    out->reset();
    EXPECT_EQ(out->pendingBuffers(), 0);
    EXPECT_EQ(out->playedFrames(), 0);
    out->close();
    EXPECT_FALSE(out->isOpen());
    EXPECT_FALSE(out->open({44100, 2, 24}));  // no packed 24-bit in SDL
}

}  // namespace
}  // namespace melnix
