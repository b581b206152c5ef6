// SPDX-License-Identifier: GPL-3.0-or-later
// The player's own logic, on a recording device and on its clock.

#include "midi/midi_stream_player.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include <cstdlib>
#include <iomanip>
#include <sstream>

#include "fake_midi_device.h"
#include "midi/smf_builder.h"
#include "support/test_files.h"

namespace melnix {

bool operator==(const MidiStreamEvent& a, const MidiStreamEvent& b) {
    return a.deltaTicks == b.deltaTicks && a.streamId == b.streamId && a.event == b.event;
}

void PrintTo(const MidiStreamEvent& e, std::ostream* os) {
    *os << "{" << e.deltaTicks << ", 0x" << std::hex << std::setw(8) << std::setfill('0') << e.event << std::dec
        << (e.streamId ? " stream!" : "") << "}";
}

namespace {

using test::FakeDeviceState;
using test::FakeMidiDevice;
using test::SmfTrack;

constexpr uint32_t T = kMidiEventTempo;
constexpr uint32_t CB = kMidiEventCallback;

// Division 480. Track 0: 1 tick = 1 ms until tick 960, then 0.5 ms.
// Track 1 plays on channel 0, track 2 on channel 1.
//   tick:  0 program, volume, sysex  480 note  720 off  840 bend  1200 note, text  1440 off
//   tick:  100 program  600 note  700 off (0x81)  1300 note  1400 off
// In ms: 480 -> 480, 960 -> 960... until 960, then 1200 -> 1080, 1300 -> 1130,
// 1400 -> 1180, 1440 -> 1200.
std::vector<uint8_t> streamSong() {
    SmfTrack t0;
    t0.tempo(0, 480000).tempo(960, 240000).end(0);
    SmfTrack t1;
    t1.event(0, {0xC0, 5})
        .event(0, {0xB0, 7, 90})
        .event(0, {0xF0, 3, 1, 2, 0xF7})
        .noteOn(480, 60, 100)
        .noteOn(240, 60, 0)
        .event(120, {0xE0, 0, 0x50})
        .noteOn(360, 62, 90)
        .text(0, "la")
        .event(240, {0x80, 62, 0})
        .end(0);
    SmfTrack t2;
    t2.event(100, {0xC1, 20})
        .noteOn(500, 64, 80, 1)
        .event(100, {0x81, 64, 0})
        .noteOn(600, 65, 70, 1)
        .noteOn(100, 65, 0, 1)
        .end(0);
    return test::smfFile({t0, t1, t2});
}

struct Song {
    test::TempDir dir;
    std::string path;
    explicit Song(const std::vector<uint8_t>& bytes) : path(dir.file("song.mid")) { test::writeBytes(path, bytes); }
};

// A player whose device failures are kept.
class RecordingPlayer : public MidiStreamPlayer {
public:
    using MidiStreamPlayer::MidiStreamPlayer;
    ~RecordingPlayer() override { Close(); }
    std::vector<int> errors;

protected:
    void ReportError(int code) override { errors.push_back(code); }
};

struct OnFake {
    std::shared_ptr<FakeDeviceState> device = std::make_shared<FakeDeviceState>();
    std::atomic<int> ended{0};
    RecordingPlayer player{[this] { ++ended; }, {}, [this] { return std::make_unique<FakeMidiDevice>(device); }};
};

// --- the stream ---

struct StreamCase {
    const char* name;
    int32_t fromMs;
    int tempoPercent;
    int mutedTrack;  // -1: none
    std::vector<MidiStreamEvent> expected;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class BuildStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(BuildStreamTest, MergesTheTracksFromTheStartPoint) {
    const StreamCase& c = GetParam();
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.DeviceOpen());
    if (c.mutedTrack >= 0) f.player.tracks[c.mutedTrack].flags |= kTrackMuted;
    f.player.SetTempoPercent(c.tempoPercent);
    ASSERT_TRUE(f.player.Play(c.fromMs));
    EXPECT_EQ(f.device->allEvents(), c.expected);
    EXPECT_EQ(f.player.startMs, c.fromMs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BuildStreamTest,
    ::testing::Values(
        StreamCase{"FromTheStart", 0, 100, -1,
                   {{0, 0, 500000 | T},  // the tempo before any event was read
                    {0, 0, 480000 | T},
                    {0, 0, 0x05C0},
                    {0, 0, 0x5A07B0 | CB},  // channel volume, with the callback flag
                    {100, 0, 0x14C1},       // the system-exclusive event is not sent
                    {380, 0, 0x643C90},
                    {120, 0, 0x504091},
                    {100, 0, 0x004081},
                    {20, 0, 0x003C90},
                    {120, 0, 0x5000E0},
                    {120, 0, 240000 | T},
                    {240, 0, 0x5A3E90},  // the text event is not sent
                    {100, 0, 0x464191},
                    {100, 0, 0x004191},
                    {40, 0, 0x003E80}}},
        StreamCase{"HalfSpeedDoublesEveryTempo", 0, 200, -1,
                   {{0, 0, 1000000 | T},
                    {0, 0, 960000 | T},
                    {0, 0, 0x05C0},
                    {0, 0, 0x5A07B0 | CB},
                    {100, 0, 0x14C1},
                    {380, 0, 0x643C90},
                    {120, 0, 0x504091},
                    {100, 0, 0x004081},
                    {20, 0, 0x003C90},
                    {120, 0, 0x5000E0},
                    {120, 0, 480000 | T},
                    {240, 0, 0x5A3E90},
                    {100, 0, 0x464191},
                    {100, 0, 0x004191},
                    {40, 0, 0x003E80}}},
        // 1050 ms lies 90 ms after the tempo change at tick 960 (960 ms):
        // 180 ticks at 0.5 ms, so the first note (tick 1200) is 60 ticks on.
        StreamCase{"FromTheMiddleCatchesUpChannelState", 1050, 100, -1,
                   {{0, 0, 240000 | T},  // the tempo in force at 1050 ms
                    {0, 0, 0x05C0},
                    {0, 0, 0x5A07B0 | CB},
                    {0, 0, 0x14C1},
                    {0, 0, 0x004081},  // note-offs and bends are state too; note-ons are not
                    {0, 0, 0x5000E0},
                    {60, 0, 0x5A3E90},
                    {100, 0, 0x464191},
                    {100, 0, 0x004191},
                    {40, 0, 0x003E80}}},
        StreamCase{"MutedTrackLosesItsNotesOnly", 1050, 100, 2,
                   {{0, 0, 240000 | T},
                    {0, 0, 0x05C0},
                    {0, 0, 0x5A07B0 | CB},
                    {0, 0, 0x14C1},
                    {0, 0, 0x004081},
                    {0, 0, 0x5000E0},
                    {60, 0, 0x5A3E90},
                    {240, 0, 0x003E80}}},
        StreamCase{"AtTheLastEvent", 1200, 100, -1,
                   {{0, 0, 240000 | T},
                    {0, 0, 0x05C0},
                    {0, 0, 0x5A07B0 | CB},
                    {0, 0, 0x14C1},
                    {0, 0, 0x004081},
                    {0, 0, 0x5000E0},
                    {0, 0, 0x003E80}}}),
    test::CaseName());

TEST(BuildStreamTest, StartPointBeyondTheSongPlaysNothing) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    EXPECT_FALSE(f.player.Play(1201));
    EXPECT_EQ(f.player.State(), kMidiStopped);
    EXPECT_TRUE(f.device->allEvents().empty());
}

TEST(BuildStreamTest, StartPointRoundedPastTheFirstEventPlaysItAtOnce) {
    // Division 30000: one millisecond is 60 ticks. The note at tick 30 lies at
    // 0.5 ms, read as 1 ms; a start at 1 ms converts back to tick 60.
    SmfTrack t;
    t.event(0, {0xC0, 1}).noteOn(30, 60, 100).noteOn(600, 60, 0).end();
    Song song(test::smfFile({t}, 30000));
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(1));
    const std::vector<MidiStreamEvent> expected = {
        {0, 0, 500000 | T}, {0, 0, 0x01C0}, {0, 0, 0x643C90}, {600, 0, 0x003C90}};
    EXPECT_EQ(f.device->allEvents(), expected);
}

TEST(BuildStreamTest, SlowSongAtHalfSpeedKeepsTheTempoWithinItsField) {
    SmfTrack t;
    t.tempo(0, 9000000).noteOn(10, 60, 100).end();
    Song song(test::smfFile({t}));
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    f.player.SetTempoPercent(200);
    ASSERT_TRUE(f.player.Play(0));
    const auto events = f.device->allEvents();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].event, kMidiMaxTempo | T);  // 18000000 does not fit in 24 bits
}

TEST(PrepareBuffersTest, SlicesOfAtMost2730Events) {
    SmfTrack t;
    for (int i = 0; i < 3000; ++i) t.noteOn(1, 60, i % 2 ? 0 : 100);
    t.end();
    Song song(test::smfFile({t}));
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(0));
    ASSERT_EQ(f.player.events.size(), 3001);
    ASSERT_EQ(f.device->queued.size(), 2u);
    EXPECT_EQ(f.device->queued[0].size(), 2730u);
    EXPECT_EQ(f.device->queued[1].size(), 271u);
    EXPECT_EQ(f.player.buffers[0]->bufferLength, 32760u);
    EXPECT_EQ(f.player.buffers[0]->bytesRecorded, 32760u);
    const auto all = f.device->allEvents();
    for (int i = 0; i < f.player.events.size(); ++i) ASSERT_EQ(all[static_cast<size_t>(i)], f.player.events[i]) << i;
}

// --- the end of the song and stopping ---

TEST(EndOfSongTest, ToldOnceWhenTheLastBufferReturns) {
    SmfTrack t;
    for (int i = 0; i < 6000; ++i) t.noteOn(1, 60, i % 2 ? 0 : 100);
    t.end();
    Song song(test::smfFile({t}));
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(0));
    ASSERT_EQ(f.device->queued.size(), 3u);
    std::thread driver([&] {
        f.device->returnOne();
        f.device->returnOne();
    });
    driver.join();
    EXPECT_EQ(f.ended.load(), 0);
    f.device->returnOne();
    EXPECT_EQ(f.ended.load(), 1);
    EXPECT_EQ(f.player.State(), kMidiPlaying);  // until the transport stops it
    EXPECT_TRUE(f.player.Stop());
    EXPECT_EQ(f.ended.load(), 1);
    EXPECT_TRUE(f.player.buffers.empty());
}

TEST(EndOfSongTest, BuffersReturnedByStopNeverTellAnEnd) {
    SmfTrack t;
    for (int i = 0; i < 6000; ++i) t.noteOn(1, 60, i % 2 ? 0 : 100);
    t.end();
    Song song(test::smfFile({t}));
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(0));
    f.device->returnOne();
    EXPECT_TRUE(f.player.Stop());
    EXPECT_EQ(f.device->resets, 1);
    EXPECT_EQ(f.player.returnedBuffers.load(), 3);
    EXPECT_EQ(f.ended.load(), 0);
    EXPECT_EQ(f.player.State(), kMidiStopped);
    EXPECT_TRUE(f.player.buffers.empty());
    EXPECT_TRUE(f.player.errors.empty());
}

TEST(EndOfSongTest, PlayingAnEndedSongAgainTakesBackTheOldBuffersFirst) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(0));
    f.device->returnAll();
    ASSERT_EQ(f.ended.load(), 1);
    ASSERT_TRUE(f.player.Play(0));  // the song is still "playing"
    EXPECT_EQ(f.device->resets, 1);
    EXPECT_EQ(f.device->inQueue.size(), 1u);
    f.device->returnAll();
    EXPECT_EQ(f.ended.load(), 2);
}

TEST(EndOfSongTest, StopWaitsForBuffersHandedBackLateFromTheDevicesThread) {
    Song song(streamSong());
    OnFake f;
    f.device->returnOnReset = false;  // the device's own thread gives them back
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(0));
    ASSERT_GT(f.device->inQueue.size(), 0u);
    std::thread device([&] {
        for (;;) {
            {
                std::lock_guard lock(f.device->mutex);
                if (f.device->resets > 0) break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        // Late, one by one, as a driver finishing its queue would.
        do std::this_thread::sleep_for(std::chrono::milliseconds(20));
        while (f.device->returnOne());
    });
    EXPECT_TRUE(f.player.Stop());
    {
        std::lock_guard lock(f.device->mutex);
        EXPECT_TRUE(f.device->inQueue.empty());  // Stop returned only after the last one
    }
    device.join();
    EXPECT_TRUE(f.player.errors.empty());
    EXPECT_TRUE(f.player.buffers.empty());
    EXPECT_EQ(f.ended.load(), 0);
    EXPECT_EQ(f.player.State(), kMidiStopped);
}

TEST(EndOfSongTest, StopGoesOnWhenTheDeviceKeepsItsBuffers) {
    Song song(streamSong());
    OnFake f;
    f.device->returnOnReset = false;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(0));
    EXPECT_TRUE(f.player.Stop());  // after its bounded wait
    EXPECT_EQ(f.player.State(), kMidiStopped);
    EXPECT_EQ(f.player.errors, std::vector<int>{kMidiErrorStillPlaying});
    EXPECT_EQ(f.ended.load(), 0);
    f.device->inQueue.clear();  // the headers are gone; a real driver would have to let go
}

// --- device results ---

TEST(DeviceResultsTest, FailedRestartTakesTheQueuedBuffersBack) {
    Song song(streamSong());
    OnFake f;
    f.device->failRestart = kMidiErrorGeneral;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    EXPECT_FALSE(f.player.Play(0));
    EXPECT_EQ(f.player.errors, std::vector<int>{kMidiErrorGeneral});
    EXPECT_EQ(f.player.State(), kMidiStopped);
    EXPECT_TRUE(f.device->inQueue.empty());
    EXPECT_TRUE(f.player.buffers.empty());
    EXPECT_EQ(f.ended.load(), 0);
}

TEST(DeviceResultsTest, FailedQueueingTakesTheQueuedBuffersBack) {
    SmfTrack t;
    for (int i = 0; i < 6000; ++i) t.noteOn(1, 60, i % 2 ? 0 : 100);
    t.end();
    Song song(test::smfFile({t}));
    OnFake f;
    f.device->failOutAt = 1;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    EXPECT_FALSE(f.player.Play(0));
    EXPECT_EQ(f.player.errors, std::vector<int>{kMidiErrorGeneral});
    EXPECT_TRUE(f.device->inQueue.empty());
    EXPECT_EQ(f.ended.load(), 0);
}

TEST(DeviceResultsTest, TimeDivisionRefusedFailsTheOpen) {
    Song song(streamSong());
    OnFake f;
    f.device->failDivision = kMidiErrorInvalidParam;
    EXPECT_FALSE(f.player.Open(song.path, nullptr));
    EXPECT_FALSE(f.player.DeviceOpen());
    EXPECT_EQ(f.player.errors, std::vector<int>{kMidiErrorInvalidParam});
}

TEST(DeviceResultsTest, OpenGivesTheDivisionAndResetsTheChannels) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    EXPECT_EQ(f.device->division, 480u);
    EXPECT_EQ(f.player.playingTrackCount, 3);
    for (int v : f.player.channelVolume) EXPECT_EQ(v, 100);
}

TEST(DeviceResultsTest, TrackWhoseFirstDeltaIsCutFailsTheOpen) {
    std::vector<uint8_t> bytes = test::smfFile({SmfTrack().noteOn(0, 60, 1).end()});
    bytes.insert(bytes.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 1, 0x81});  // a delta that never ends
    bytes[11] = 2;
    Song song(bytes);
    OnFake f;
    EXPECT_FALSE(f.player.Open(song.path, nullptr));
}

// --- transport on the device ---

TEST(DeviceTransportTest, PositionIsStreamTimeScaledToSongTime) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    f.player.SetTempoPercent(200);
    ASSERT_TRUE(f.player.Play(300));
    const int restarts = f.device->restarts;
    f.device->positionMs = 801;
    EXPECT_EQ(f.player.PositionMs(), 300 + 401);  // 801 ms of half speed, rounded
    EXPECT_EQ(f.device->restarts, restarts + 1);  // a stream that stalled is started again
    ASSERT_TRUE(f.player.Pause());
    EXPECT_EQ(f.player.PositionMs(), 701);
    EXPECT_EQ(f.device->restarts, restarts + 1);
}

TEST(DeviceTransportTest, PauseAndResume) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    EXPECT_FALSE(f.player.Pause());
    ASSERT_TRUE(f.player.Play(0));
    EXPECT_TRUE(f.player.Pause());
    EXPECT_EQ(f.player.State(), kMidiPaused);
    EXPECT_EQ(f.device->pauses, 1);
    EXPECT_FALSE(f.player.Pause());
    const int restarts = f.device->restarts;
    EXPECT_TRUE(f.player.Resume());
    EXPECT_EQ(f.player.State(), kMidiPlaying);
    EXPECT_EQ(f.device->restarts, restarts + 1);
    EXPECT_FALSE(f.player.Resume());  // already playing
    ASSERT_TRUE(f.player.Stop());
    f.device->queued.clear();
    EXPECT_TRUE(f.player.Resume());  // from stopped: plays from the start point again
    EXPECT_EQ(f.device->queued.size(), 1u);
}

TEST(DeviceTransportTest, SeekWhilePausedStopsUnlessItStaysPut) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(100));
    f.device->positionMs = 400;
    ASSERT_TRUE(f.player.Pause());
    f.player.Seek(500);  // where it already is
    EXPECT_EQ(f.player.State(), kMidiPaused);
    EXPECT_EQ(f.player.PositionMs(), 500);
    f.player.Seek(900);
    EXPECT_EQ(f.player.State(), kMidiStopped);
    EXPECT_EQ(f.player.PositionMs(), 900);
    f.device->queued.clear();
    ASSERT_TRUE(f.player.Resume());
    EXPECT_EQ(f.player.startMs, 900);
    EXPECT_EQ(f.device->queued[0][0].event, 480000 | T);  // built from 900 ms on, before the change at 960
}

TEST(DeviceTransportTest, SpeedChangePlaysOnFromThePositionAndKeepsAPause) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    ASSERT_TRUE(f.player.Play(0));
    f.device->positionMs = 500;
    ASSERT_TRUE(f.player.Pause());
    f.player.SetTempoPercent(0);  // never 0
    EXPECT_EQ(f.player.tempoPercent, 1);
    f.player.SetTempoPercent(150);
    EXPECT_EQ(f.player.State(), kMidiPaused);
    EXPECT_EQ(f.player.startMs, 500);
    EXPECT_EQ(f.device->queued.back()[0].event, 720000 | T);  // 480000 at 150 %
    EXPECT_EQ(f.ended.load(), 0);
}

TEST(DeviceTransportTest, VolumeGoesToEveryChannelOnlyWhilePlaying) {
    Song song(streamSong());
    OnFake f;
    ASSERT_TRUE(f.player.Open(song.path, nullptr));
    f.player.SetVolume(50);
    EXPECT_TRUE(f.device->shortMessages.empty());
    ASSERT_TRUE(f.player.Play(0));
    f.player.SetVolume(150);
    ASSERT_EQ(f.device->shortMessages.size(), 16u);
    for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(f.device->shortMessages[i], (0xB0u | i | 7u << 8 | 127u << 16));
    f.player.SetVolume(33);
    EXPECT_EQ(f.device->shortMessages[16], 0xB0u | 7u << 8 | 41u << 16);  // 33 * 127 / 100
    EXPECT_EQ(f.player.channelVolume[15], 33);
    ASSERT_TRUE(f.player.Pause());
    f.player.SetVolume(0);
    EXPECT_EQ(f.device->shortMessages.size(), 32u);
    EXPECT_EQ(f.player.channelVolume[0], 33);
}

TEST(DeviceTransportTest, TrackDialogRebuildsWithoutTheMutedTrack) {
    Song song(streamSong());
    OnFake f;
    RecordArray<NoteSpan> notes;
    ASSERT_TRUE(f.player.Open(song.path, &notes));
    ASSERT_EQ(notes.size(), 4);
    ASSERT_TRUE(f.player.Play(0));
    f.device->positionMs = 1050;
    EXPECT_FALSE(f.player.RunTrackDialog([](MidiStreamPlayer&) { return false; }));
    EXPECT_EQ(f.device->resets, 0);
    EXPECT_TRUE(f.player.RunTrackDialog([](MidiStreamPlayer& p) {
        p.tracks[2].flags |= kTrackMuted;
        --p.playingTrackCount;
        return true;
    }));
    EXPECT_EQ(notes.size(), 2);  // track 2's notes left the list
    for (const NoteSpan& n : notes) EXPECT_EQ(n.track(), 1);
    EXPECT_EQ(f.player.State(), kMidiPlaying);
    EXPECT_EQ(f.player.startMs, 1050);
    const auto& rebuilt = f.device->queued.back();
    EXPECT_EQ(rebuilt.back(), (MidiStreamEvent{240, 0, 0x003E80}));
    EXPECT_EQ(f.ended.load(), 0);
}

// --- the clock ---

struct OnClock {
    int64_t now = 1000000;
    std::atomic<int> ended{0};
    std::vector<std::string> messages;
    MidiStreamPlayer player{[this] { ++ended; }, [this](const std::string& m) { messages.push_back(m); },
                            [] { return nullptr; }, [this] { return now; }};
};

TEST(ClockModeTest, NoDeviceMessageOnlyForTheFirstSong) {
    Song song(streamSong());
    ArmNoDeviceMessage();
    MidiStreamPlayer quiet([] {}, {}, [] { return nullptr; });  // no one to tell: the message waits
    ASSERT_TRUE(quiet.Open(song.path, nullptr));
    OnClock first;
    ASSERT_TRUE(first.player.Open(song.path, nullptr));
    EXPECT_FALSE(first.player.DeviceOpen());
    ASSERT_EQ(first.messages.size(), 1u);
    EXPECT_EQ(first.messages[0],
              "很遗憾，你无法听到声音。\n\n这是因为你没有安装声卡\n\n或声卡的 MIDI 驱动程序。\n\n但你仍旧可以欣赏歌词及画面。");
    ASSERT_TRUE(first.player.Open(song.path, nullptr));
    OnClock second;
    ASSERT_TRUE(second.player.Open(song.path, nullptr));
    EXPECT_EQ(first.messages.size(), 1u);
    EXPECT_TRUE(second.messages.empty());
}

TEST(ClockModeTest, WithoutASoundfontThereIsNoDevice) {
    Song song(streamSong());
    setenv("MELNIX_SOUNDFONT", "/nonexistent/gm.sf2", 1);
    EXPECT_EQ(createMidiStreamDevice(), nullptr);
    ArmNoDeviceMessage();
    std::vector<std::string> messages;
    MidiStreamPlayer player([] {}, [&](const std::string& m) { messages.push_back(m); });
    EXPECT_TRUE(player.Open(song.path, nullptr));
    unsetenv("MELNIX_SOUNDFONT");
    EXPECT_FALSE(player.DeviceOpen());
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_TRUE(player.Play(0));
    EXPECT_EQ(player.State(), kMidiPlaying);
}

struct ClockCase {
    const char* name;
    int tempoPercent;
    int32_t fromMs;
    int64_t elapsed;
    int32_t expected;
};

void PrintTo(const ClockCase& c, std::ostream* os) { *os << c.name; }

class ClockPositionTest : public ::testing::TestWithParam<ClockCase> {};

TEST_P(ClockPositionTest, FollowsSongTimeAtEveryTempo) {
    const ClockCase& c = GetParam();
    Song song(streamSong());
    OnClock k;
    ASSERT_TRUE(k.player.Open(song.path, nullptr));
    k.player.SetTempoPercent(c.tempoPercent);
    ASSERT_TRUE(k.player.Play(c.fromMs));
    k.now += c.elapsed;
    EXPECT_EQ(k.player.PositionMs(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, ClockPositionTest,
                         ::testing::Values(ClockCase{"Normal", 100, 0, 700, 700},
                                           ClockCase{"HalfSpeed", 200, 100, 700, 450},
                                           ClockCase{"DoubleSpeed", 50, 100, 300, 700},
                                           ClockCase{"SlowRoundsToNearest", 175, 0, 100, 57}),
                         test::CaseName());

TEST(ClockModeTest, PauseHoldsAndResumeGoesOnFromThere) {
    Song song(streamSong());
    OnClock k;
    ASSERT_TRUE(k.player.Open(song.path, nullptr));
    k.player.SetTempoPercent(200);
    ASSERT_TRUE(k.player.Play(100));
    k.now += 400;
    ASSERT_TRUE(k.player.Pause());
    EXPECT_EQ(k.player.PositionMs(), 300);
    k.now += 5000;
    EXPECT_EQ(k.player.PositionMs(), 300);
    ASSERT_TRUE(k.player.Resume());
    EXPECT_EQ(k.player.PositionMs(), 300);
    k.now += 200;
    EXPECT_EQ(k.player.PositionMs(), 400);
}

TEST(ClockModeTest, SpeedChangeKeepsThePosition) {
    Song song(streamSong());
    OnClock k;
    ASSERT_TRUE(k.player.Open(song.path, nullptr));
    ASSERT_TRUE(k.player.Play(0));
    k.now += 400;
    k.player.SetTempoPercent(200);
    EXPECT_EQ(k.player.PositionMs(), 400);
    k.now += 200;
    EXPECT_EQ(k.player.PositionMs(), 500);
}

TEST(ClockModeTest, StopAndSeek) {
    Song song(streamSong());
    OnClock k;
    ASSERT_TRUE(k.player.Open(song.path, nullptr));
    ASSERT_TRUE(k.player.Play(100));
    k.now += 300;
    ASSERT_TRUE(k.player.Stop());
    EXPECT_EQ(k.player.PositionMs(), 400);
    k.player.Seek(250);
    EXPECT_EQ(k.player.PositionMs(), 250);  // not 250 + the time played before
    ASSERT_TRUE(k.player.Resume());
    k.now += 50;
    EXPECT_EQ(k.player.PositionMs(), 300);

    ASSERT_TRUE(k.player.Pause());
    k.player.Seek(700);
    EXPECT_EQ(k.player.State(), kMidiStopped);
    EXPECT_EQ(k.player.PositionMs(), 700);
}

TEST(ClockModeTest, TheEndOfTheSongIsToldOncePerPlay) {
    Song song(streamSong());
    OnClock k;
    ASSERT_TRUE(k.player.Open(song.path, nullptr));
    ASSERT_EQ(k.player.songLengthMs, 1200);
    ASSERT_TRUE(k.player.Play(0));
    k.now += 1199;
    k.player.PositionMs();
    EXPECT_EQ(k.ended.load(), 0);
    k.now += 1;
    k.player.PositionMs();
    k.now += 500;
    k.player.PositionMs();
    EXPECT_EQ(k.ended.load(), 1);
    ASSERT_TRUE(k.player.Stop());
    ASSERT_TRUE(k.player.Play(0));
    k.now += 1200;
    k.player.PositionMs();
    EXPECT_EQ(k.ended.load(), 2);
}

TEST(ClockModeTest, VolumeIsKeptOnlyWhilePlaying) {
    Song song(streamSong());
    OnClock k;
    ASSERT_TRUE(k.player.Open(song.path, nullptr));
    k.player.SetVolume(40);
    EXPECT_EQ(k.player.channelVolume[3], 100);
    ASSERT_TRUE(k.player.Play(0));
    k.player.SetVolume(40);
    EXPECT_EQ(k.player.channelVolume[3], 40);
}

}  // namespace
}  // namespace melnix
