// SPDX-License-Identifier: GPL-3.0-or-later
// The FluidSynth stream device, heard through the WAV backend (as fast as it
// renders) or the null backend (at real time).

#include "platform/midi_stream_device.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "support/test_files.h"
#include "support/wav_sound.h"

namespace melnix {
namespace {

using namespace std::chrono_literals;

constexpr uint32_t T = kMidiEventTempo;
constexpr int kWoodBlock = 76;  // on the percussion channel: short and sharp
constexpr uint32_t kDrumsOn = 0x99 | kWoodBlock << 8 | 127 << 16;
constexpr uint32_t kDrumsOff = 0x89 | kWoodBlock << 8;

template <class Pred>
bool eventually(Pred pred, std::chrono::milliseconds limit = 20s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!pred()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(2ms);
    }
    return true;
}

// What the device told, in order.
struct Notices {
    std::mutex mutex;
    std::vector<std::pair<MidiStreamNotice, MidiHeader*>> list;

    static void callback(MidiStreamNotice n, void* self, MidiHeader* h) {
        auto* me = static_cast<Notices*>(self);
        std::lock_guard lock(me->mutex);
        me->list.emplace_back(n, h);
    }
    std::vector<MidiHeader*> of(MidiStreamNotice kind) {
        std::lock_guard lock(mutex);
        std::vector<MidiHeader*> out;
        for (auto& [n, h] : list)
            if (n == kind) out.push_back(h);
        return out;
    }
};

struct Buffer {
    std::vector<MidiStreamEvent> events;
    MidiHeader header;
    explicit Buffer(std::vector<MidiStreamEvent> e) : events(std::move(e)) {
        header.data = reinterpret_cast<const uint8_t*>(events.data());
        header.bufferLength = header.bytesRecorded = static_cast<uint32_t>(events.size() * sizeof(MidiStreamEvent));
    }
};

class MidiStreamDeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        soundfont = findSoundfont();
        if (soundfont.empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    }
    std::string soundfont;
    test::TempDir dir;
    Notices notices;
};

TEST_F(MidiStreamDeviceTest, EventsSoundAtTheirFramesAndBuffersReturnInOrder) {
    const std::string wav = dir.file("events.wav");
    auto device = makeFluidSynthMidiDevice(soundfont, makeWavAudioOutput(wav));
    ASSERT_EQ(device->open(&Notices::callback, &notices), kMidiOk);
    ASSERT_EQ(device->setTimeDivision(480), kMidiOk);
    // 1 tick = 1 ms, later 0.5 ms: notes at 100, 700 and 1000 + 300 x 0.5 ms.
    Buffer a({{0, 0, 480000 | T}, {100, 0, kDrumsOn}, {30, 0, kDrumsOff | kMidiEventCallback}});
    Buffer b({{570, 0, kDrumsOn}, {30, 0, kDrumsOff}, {270, 0, 240000 | T}});
    Buffer c({{300, 0, kDrumsOn}, {60, 0, kDrumsOff}});
    for (Buffer* x : {&a, &b, &c}) {
        ASSERT_EQ(device->prepareHeader(x->header), kMidiOk);
        ASSERT_EQ(device->out(x->header), kMidiOk);
    }
    ASSERT_EQ(device->restart(), kMidiOk);
    ASSERT_TRUE(eventually([&] { return device->idle(); }));
    EXPECT_EQ(notices.of(MidiStreamNotice::Done), (std::vector<MidiHeader*>{&a.header, &b.header, &c.header}));
    EXPECT_EQ(notices.of(MidiStreamNotice::PositionCallback), std::vector<MidiHeader*>{&a.header});
    for (Buffer* x : {&a, &b, &c}) {
        EXPECT_EQ(x->header.flags.load(), kMidiHeaderDone | kMidiHeaderPrepared);
        EXPECT_EQ(device->unprepareHeader(x->header), kMidiOk);
    }
    uint32_t ms = 0;
    ASSERT_EQ(device->positionMs(ms), kMidiOk);
    EXPECT_GE(ms, 1180u);  // the last event, and the notes ringing out after it
    EXPECT_LE(ms, 1180u + 2100u);
    ASSERT_EQ(device->close(), kMidiOk);

    test::WavSound sound;
    ASSERT_TRUE(test::readWav(wav, sound));
    EXPECT_EQ(sound.rate, 44100);
    EXPECT_EQ(sound.channels, 2);
    const auto onsets = test::onsetsMs(sound);
    const std::vector<double> expected = {100, 700, 1150};
    ASSERT_EQ(onsets.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        // FluidSynth starts voices on 64-frame blocks (1.5 ms); the attack
        // of the sample takes a little more.
        EXPECT_GE(onsets[i], expected[i] - 0.1) << i;
        EXPECT_LE(onsets[i], expected[i] + 5) << i;
    }
    EXPECT_LT(sound.peak(0, 90), 8);  // nothing before the first note
}

TEST_F(MidiStreamDeviceTest, ResetReturnsWhatIsQueuedAndStartsOver) {
    auto device = makeFluidSynthMidiDevice(soundfont, makeNullAudioOutput());
    ASSERT_EQ(device->open(&Notices::callback, &notices), kMidiOk);
    ASSERT_EQ(device->setTimeDivision(96), kMidiOk);
    // At real time these take minutes: all are still queued at the reset.
    Buffer a({{0, 0, kDrumsOn}, {96000, 0, kDrumsOff}});
    Buffer b({{96000, 0, kDrumsOn}});
    Buffer c({{96000, 0, kDrumsOn}});
    for (Buffer* x : {&a, &b, &c}) {
        ASSERT_EQ(device->prepareHeader(x->header), kMidiOk);
        ASSERT_EQ(device->out(x->header), kMidiOk);
    }
    EXPECT_EQ(device->unprepareHeader(b.header), kMidiErrorStillPlaying);
    ASSERT_EQ(device->restart(), kMidiOk);
    uint32_t ms = 0;
    ASSERT_TRUE(eventually([&] { return device->positionMs(ms) == kMidiOk && ms > 20; }));
    EXPECT_FALSE(device->idle());
    ASSERT_EQ(device->reset(), kMidiOk);
    // Given back before reset returned, in the order they were queued.
    EXPECT_EQ(notices.of(MidiStreamNotice::Done), (std::vector<MidiHeader*>{&a.header, &b.header, &c.header}));
    EXPECT_EQ(b.header.flags.load(), kMidiHeaderDone | kMidiHeaderPrepared);
    ASSERT_EQ(device->positionMs(ms), kMidiOk);
    EXPECT_EQ(ms, 0u);
    EXPECT_TRUE(device->idle());

    // Stopped after the reset until restarted.
    Buffer d({{0, 0, kDrumsOn}, {1, 0, kDrumsOff}});
    ASSERT_EQ(device->prepareHeader(d.header), kMidiOk);
    ASSERT_EQ(device->out(d.header), kMidiOk);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(notices.of(MidiStreamNotice::Done).size(), 3u);
    ASSERT_EQ(device->restart(), kMidiOk);
    EXPECT_TRUE(eventually([&] { return notices.of(MidiStreamNotice::Done).size() == 4; }));
    EXPECT_EQ(device->close(), kMidiOk);
}

TEST_F(MidiStreamDeviceTest, PauseHoldsThePositionAndRestartGoesOn) {
    auto device = makeFluidSynthMidiDevice(soundfont, makeNullAudioOutput());
    ASSERT_EQ(device->open(&Notices::callback, &notices), kMidiOk);
    Buffer a({{0, 0, kDrumsOn}, {96000, 0, kDrumsOff}});
    ASSERT_EQ(device->prepareHeader(a.header), kMidiOk);
    ASSERT_EQ(device->out(a.header), kMidiOk);
    ASSERT_EQ(device->restart(), kMidiOk);
    uint32_t ms = 0;
    ASSERT_TRUE(eventually([&] { return device->positionMs(ms) == kMidiOk && ms > 50; }));
    ASSERT_EQ(device->pause(), kMidiOk);
    uint32_t held = 0;
    ASSERT_EQ(device->positionMs(held), kMidiOk);
    std::this_thread::sleep_for(100ms);
    ASSERT_EQ(device->positionMs(ms), kMidiOk);
    EXPECT_EQ(ms, held);
    ASSERT_EQ(device->restart(), kMidiOk);
    EXPECT_TRUE(eventually([&] { return device->positionMs(ms) == kMidiOk && ms > held + 50; }));
    EXPECT_TRUE(notices.of(MidiStreamNotice::Done).empty());
    EXPECT_EQ(device->close(), kMidiOk);
    EXPECT_EQ(notices.of(MidiStreamNotice::Done).size(), 1u);  // closing gives it back
}

TEST_F(MidiStreamDeviceTest, ShortMessageSoundsAtOnceOnAQuietDevice) {
    const std::string wav = dir.file("short.wav");
    auto device = makeFluidSynthMidiDevice(soundfont, makeWavAudioOutput(wav));
    ASSERT_EQ(device->open(&Notices::callback, &notices), kMidiOk);
    ASSERT_EQ(device->restart(), kMidiOk);
    ASSERT_EQ(device->shortMessage(0xC0 | 19 << 8), kMidiOk);  // an organ holds its note
    ASSERT_EQ(device->shortMessage(0x90 | 60 << 8 | 100 << 16), kMidiOk);
    ASSERT_TRUE(eventually([&] { return device->idle(); }));  // rings until the tail limit
    ASSERT_EQ(device->close(), kMidiOk);
    test::WavSound sound;
    ASSERT_TRUE(test::readWav(wav, sound));
    EXPECT_GT(sound.peak(0, 50), 500);
    EXPECT_GE(sound.lengthMs(), 1900);
    EXPECT_LE(sound.lengthMs(), 2100);
}

TEST_F(MidiStreamDeviceTest, RefusesWhatItCannotDo) {
    auto device = makeFluidSynthMidiDevice(soundfont, makeNullAudioOutput());
    Buffer a({{0, 0, kDrumsOn}});
    uint32_t ms = 0;
    // Not open.
    EXPECT_EQ(device->out(a.header), kMidiErrorInvalidHandle);
    EXPECT_EQ(device->restart(), kMidiErrorInvalidHandle);
    EXPECT_EQ(device->reset(), kMidiErrorInvalidHandle);
    EXPECT_EQ(device->positionMs(ms), kMidiErrorInvalidHandle);
    EXPECT_EQ(device->shortMessage(0x90), kMidiErrorInvalidHandle);
    EXPECT_EQ(device->close(), kMidiErrorInvalidHandle);

    ASSERT_EQ(device->open(&Notices::callback, &notices), kMidiOk);
    EXPECT_EQ(device->open(&Notices::callback, &notices), 4);  // already open
    EXPECT_EQ(device->setTimeDivision(0), kMidiErrorInvalidParam);
    EXPECT_EQ(device->setTimeDivision(0x8000), kMidiErrorInvalidParam);  // SMPTE time
    EXPECT_EQ(device->out(a.header), kMidiErrorUnprepared);
    Buffer bad({{0, 0, 0}});
    bad.header.bytesRecorded = bad.header.bufferLength + 12;
    EXPECT_EQ(device->prepareHeader(bad.header), kMidiErrorInvalidParam);
    ASSERT_EQ(device->prepareHeader(a.header), kMidiOk);
    ASSERT_EQ(device->out(a.header), kMidiOk);
    EXPECT_EQ(device->out(a.header), kMidiErrorStillPlaying);
    EXPECT_EQ(device->close(), kMidiOk);
    EXPECT_EQ(notices.of(MidiStreamNotice::Open).size(), 1u);
    EXPECT_EQ(notices.of(MidiStreamNotice::Close).size(), 1u);

    EXPECT_EQ(makeFluidSynthMidiDevice(dir.file("missing.sf2"), makeNullAudioOutput())->open(&Notices::callback, &notices),
              kMidiErrorNoDriver);
    EXPECT_EQ(makeFluidSynthMidiDevice(soundfont, nullptr)->open(&Notices::callback, &notices), kMidiErrorNoDriver);
    EXPECT_EQ(makeFluidSynthMidiDevice(soundfont, makeWavAudioOutput("/nonexistent-folder/x.wav"))
                  ->open(&Notices::callback, &notices),
              kMidiErrorNoDriver);
}

TEST(MidiStreamDeviceChoice, SoundfontFromTheEnvironmentOrTheInstalledOnes) {
    test::TempDir dir;
    const std::string mine = dir.file("mine.sf2");
    test::writeFile(mine, "sfbk");
    setenv("MELNIX_SOUNDFONT", mine.c_str(), 1);
    EXPECT_EQ(findSoundfont(), mine);
    setenv("MELNIX_SOUNDFONT", dir.file("missing.sf2").c_str(), 1);
    EXPECT_EQ(findSoundfont(), "");  // a wrong name is not covered by another soundfont
    EXPECT_EQ(createMidiStreamDevice(), nullptr);
    unsetenv("MELNIX_SOUNDFONT");
    const std::string installed = findSoundfont();
    if (installed.empty()) return;
    EXPECT_NE(installed.find("/usr/share/sounds/sf2/"), std::string::npos);
    setenv("MELNIX_AUDIO", "pulse", 1);  // names no backend
    EXPECT_EQ(createMidiStreamDevice(), nullptr);
    setenv("MELNIX_AUDIO", "null", 1);
    auto device = createMidiStreamDevice();
    unsetenv("MELNIX_AUDIO");
    ASSERT_NE(device, nullptr);
    EXPECT_STREQ(device->name(), "fluidsynth");
}

}  // namespace
}  // namespace melnix
