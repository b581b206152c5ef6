// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/track_table.h"
#include "midi/gm_program_names.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "midi/midi_stream_player.h"
#include "midi/smf_builder.h"

namespace melnix {
namespace {

using test::SmfTrack;
using test::smfFile;

// Track 0: a GBK name ("小河") and the tempo. Track 1 "Piano": program 0, later
// 5 and 0 again, volume 100, three notes (a velocity-0 note-on is no note).
// Track 2 named `melodyName`: program 73, volume 90 after a pan controller, two
// notes on channel 1. Track 3: a note on channel 2 and nothing else.
std::vector<uint8_t> fourTracks(const std::string& melodyName = "Melody") {
    SmfTrack t0;
    t0.meta(0, 0x03, "\xD0\xA1\xBA\xD3").tempo(0, 500000).end();
    SmfTrack t1;
    t1.meta(0, 0x03, "Piano")
        .event(0, {0xC0, 0})
        .event(0, {0xB0, 7, 100})
        .noteOn(0, 60, 90)
        .noteOn(240, 60, 0)
        .event(0, {0xC0, 5})
        .noteOn(0, 62, 90)
        .event(0, {62, 0})  // running status
        .event(0, {0xC0, 0})
        .noteOn(0, 64, 90)
        .noteOn(240, 64, 0)
        .end();
    SmfTrack t2;
    t2.meta(0, 0x03, melodyName)
        .event(0, {0xC1, 73})
        .event(0, {0xB1, 10, 64})
        .event(0, {0xB1, 7, 90})
        .noteOn(0, 72, 100, 1)
        .noteOn(480, 72, 0, 1)
        .noteOn(0, 74, 100, 1)
        .noteOn(480, 74, 0, 1)
        .end();
    SmfTrack t3;
    t3.noteOn(0, 40, 80, 2).noteOn(960, 40, 0, 2).end();
    return smfFile({t0, t1, t2, t3});
}

struct Loaded {
    explicit Loaded(const std::vector<uint8_t>& bytes) {
        EXPECT_TRUE(song.LoadBytes(bytes, nullptr));
        table.refresh();  // as the dialog's first filling does
    }
    MidiSongFile song;
    int playing = 0;
    TrackTable table{song, playing};

    std::vector<std::string> row(int r) const {
        std::vector<std::string> cells;
        for (int c = 0; c < kTrackColumnCount; ++c) cells.push_back(table.cellText(r, c));
        return cells;
    }
    std::vector<bool> muted() const {
        std::vector<bool> m;
        for (const MidiTrack& t : song.tracks) m.push_back(t.muted());
        return m;
    }
};

using Row = std::vector<std::string>;

TEST(TrackTableTest, RowsShowEveryTrack) {
    Loaded s(fourTracks());
    ASSERT_EQ(s.table.rowCount(), 4);
    EXPECT_EQ(s.row(0), (Row{"   0", "  播放", "", "小河", "    0", "默认", "", ""}));
    EXPECT_EQ(s.row(1), (Row{"   1", "  播放", "", "Piano", "    3", " 100", "平台钢琴/电钢琴2",
                             "Acoustic Grand Piano/Electric Piano 2"}));
    EXPECT_EQ(s.row(2), (Row{"   2", "  播放", "主旋律", "Melody", "    2", "  90", "长笛", "Flute"}));
    EXPECT_EQ(s.row(3), (Row{"   3", "  播放", "", "", "    1", "默认", "", ""}));
    EXPECT_EQ(s.table.cellText(4, kColTrackNumber), "");
    EXPECT_EQ(s.table.cellText(0, kTrackColumnCount), "");

    s.table.toggleMuted(3);
    EXPECT_EQ(s.table.cellText(3, kColPlayStatus), " 不播放");
    // The dialog's words replace the built-in ones.
    TrackWords words;
    words.muted = "off";
    words.defaultVolume = "-";
    EXPECT_EQ(s.table.cellText(3, kColPlayStatus, words), "off");
    EXPECT_EQ(s.table.cellText(3, kColVolume, words), "-");
    // Instrument names in the interface's language replace the Chinese ones
    // only; the English column keeps its own.
    words.instruments.assign(kGmProgramCount, "?");
    words.instruments[73] = "Flute (GM)";
    EXPECT_EQ(s.table.cellText(2, kColChineseInstrument, words), "Flute (GM)");
    EXPECT_EQ(s.table.cellText(2, kColEnglishInstrument, words), "Flute");
}

TEST(TrackTableTest, WithoutAMelodyTrackTrackOneIsTheLikelyOne) {
    Loaded s(fourTracks("Flute"));
    EXPECT_EQ(s.table.melodyTrack(), -1);
    for (int r = 0; r < 4; ++r) EXPECT_EQ(s.table.cellText(r, kColMelody), r == 1 ? "可能是" : "") << r;
    // Naming a track finds it at the next filling.
    s.song.tracks[2].flags |= kTrackMelody;
    s.table.refresh();
    EXPECT_EQ(s.table.cellText(1, kColMelody), "");
    EXPECT_EQ(s.table.cellText(2, kColMelody), "主旋律");
}

TEST(TrackTableTest, DoubleClickByColumn) {
    struct Case {
        int row;
        int column;
        TrackCellAction action;
    };
    const Case cases[] = {
        {1, kColTrackNumber, TrackCellAction::None},
        {1, kColTrackName, TrackCellAction::None},
        {1, kColNoteCount, TrackCellAction::None},
        {1, kColVolume, TrackCellAction::EditVolume},
        {3, kColVolume, TrackCellAction::None},  // no volume controller
        {1, kColChineseInstrument, TrackCellAction::ChooseChineseInstrument},
        {2, kColEnglishInstrument, TrackCellAction::ChooseEnglishInstrument},
        {0, kColChineseInstrument, TrackCellAction::None},  // no program change
        {3, kColEnglishInstrument, TrackCellAction::None},
        {4, kColPlayStatus, TrackCellAction::None},  // no such track
        {-1, kColMelody, TrackCellAction::None},
    };
    for (const Case& c : cases) {
        Loaded s(fourTracks());
        EXPECT_EQ(s.table.activate(c.row, c.column), c.action) << c.row << "," << c.column;
        EXPECT_EQ(s.muted(), (std::vector<bool>{false, false, false, false}));
        EXPECT_EQ(s.table.melodyTrack(), 2);
    }

    Loaded s(fourTracks());
    EXPECT_EQ(s.table.activate(3, kColPlayStatus), TrackCellAction::Refill);
    EXPECT_EQ(s.muted(), (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(s.table.activate(3, kColPlayStatus), TrackCellAction::Refill);
    EXPECT_EQ(s.muted(), (std::vector<bool>{false, false, false, false}));

    // The mark moves: only one track carries it.
    EXPECT_EQ(s.table.activate(3, kColMelody), TrackCellAction::Refill);
    EXPECT_EQ(s.table.melodyTrack(), 3);
    EXPECT_EQ(s.table.cellText(2, kColMelody), "");
    EXPECT_EQ(s.table.cellText(3, kColMelody), "主旋律");
    for (int r = 0; r < 3; ++r) EXPECT_FALSE(s.song.tracks[r].flags & kTrackMelody) << r;
}

TEST(TrackTableTest, TypedVolumeIsClampedAndWrittenIntoTheSong) {
    struct Case {
        const char* typed;
        int stored;
    };
    const Case cases[] = {{"64", 64},   {"300", 127}, {"-5", 0},  {"  12abc", 12},
                          {"", 0},      {"x9", 0},    {"+127", 127}, {"99999999999999999999", 127},
                          {"-99999999999999999999", 0}};
    for (const Case& c : cases) {
        Loaded s(fourTracks());
        s.table.setVolume(2, TrackTable::parseNumber(c.typed));
        EXPECT_EQ(s.table.volume(2), c.stored) << c.typed;
        // The file data now carries the value: a fresh read of it finds it
        // as the track's first volume, and the other tracks untouched.
        MidiSongFile again;
        ASSERT_TRUE(again.LoadBytes(s.song.fileData, nullptr));
        EXPECT_EQ(again.tracks[2].volumePlus1, c.stored + 1) << c.typed;
        EXPECT_EQ(again.tracks[1].volumePlus1, 101);
        EXPECT_EQ(again.tracks[2].noteCount, 2);
    }
    // A track without a volume controller has nothing to write.
    Loaded s(fourTracks());
    const std::vector<uint8_t> before = s.song.fileData;
    s.table.setVolume(3, 50);
    EXPECT_EQ(s.table.volume(3), -1);
    EXPECT_EQ(s.song.fileData, before);
}

TEST(TrackTableTest, InstrumentChangeAndResetRestoreTheSong) {
    Loaded s(fourTracks());
    const std::vector<uint8_t> original = s.song.fileData;
    s.table.setProgram(1, 40);
    s.table.setProgram(2, 127);
    s.table.setProgram(2, 128);  // outside the table: ignored
    s.table.setProgram(0, 10);   // no program change: ignored
    s.table.setVolume(1, 0);
    s.table.invertMuted();
    EXPECT_EQ(s.table.cellText(1, kColChineseInstrument), "小提琴/电钢琴2");
    EXPECT_EQ(s.table.cellText(2, kColEnglishInstrument), "Gunshot");
    EXPECT_EQ(s.table.program(2), 127);
    EXPECT_EQ(s.muted(), (std::vector<bool>{true, true, true, true}));

    s.table.reset();
    EXPECT_EQ(s.song.fileData, original);
    EXPECT_EQ(s.muted(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(s.table.cellText(1, kColEnglishInstrument), "Acoustic Grand Piano/Electric Piano 2");
    EXPECT_EQ(s.table.cellText(1, kColVolume), " 100");
    // The melody mark is no play status: it stays.
    EXPECT_EQ(s.table.melodyTrack(), 2);
}

TEST(TrackTableTest, ADamagedProgramByteShowsTheLastInstrument) {
    Loaded s(fourTracks());
    s.song.fileData[static_cast<size_t>(s.song.tracks[2].programByte)] = 200;
    EXPECT_EQ(s.table.program(2), 127);
    EXPECT_EQ(s.table.cellText(2, kColChineseInstrument), "枪声");
}

TEST(TrackTableTest, OkCountsTheUnmutedTracks) {
    Loaded s(fourTracks());
    s.table.toggleMuted(0);
    s.table.toggleMuted(3);
    s.table.confirm();
    EXPECT_EQ(s.playing, 2);
    s.table.invertMuted();
    s.table.confirm();
    EXPECT_EQ(s.playing, 2);
    EXPECT_EQ(s.muted(), (std::vector<bool>{false, true, true, false}));
    s.table.reset();
    s.table.confirm();
    EXPECT_EQ(s.playing, 4);
}

TEST(TrackTableTest, MelodyAlonePlaysOneTrack) {
    struct Case {
        const char* name;
        std::vector<uint8_t> song;
        int alone;  // -1: nothing plays
    };
    SmfTrack single;
    single.noteOn(0, 60, 90).noteOn(480, 60, 0).end();
    // A header with no tracks and a few bytes after it still loads.
    std::vector<uint8_t> noTracks = smfFile({}, 480, 0);
    noTracks.resize(noTracks.size() + 12, 0);
    const Case cases[] = {
        {"named melody", fourTracks(), 2},
        {"no melody: track 1", fourTracks("Flute"), 1},
        {"one track", smfFile({single}), 0},
        {"no tracks", noTracks, -1},
    };
    for (const Case& c : cases) {
        Loaded s(c.song);
        s.table.playMelodyAlone();
        for (int r = 0; r < s.table.rowCount(); ++r) EXPECT_EQ(s.song.tracks[r].muted(), r != c.alone) << c.name << r;
        EXPECT_EQ(s.playing, c.alone >= 0 ? 1 : 0) << c.name;
    }
}

// Edits made in the table are what the next stream build sends.
TEST(TrackTableTest, EditsReachTheRebuiltStream) {
    MidiStreamPlayer player([] {}, {}, [] { return nullptr; });
    ASSERT_TRUE(player.LoadBytes(fourTracks(), nullptr));
    TrackTable table(player, player.playingTrackCount);
    table.setProgram(1, 40);
    table.setVolume(2, 300);
    table.toggleMuted(3);
    ASSERT_TRUE(player.ResetCursors());
    ASSERT_TRUE(player.BuildStream(0));
    std::vector<uint32_t> words;
    for (const MidiStreamEvent& e : player.events) words.push_back(e.event & 0x00FFFFFF);
    auto sent = [&](uint32_t w) { return std::find(words.begin(), words.end(), w) != words.end(); };
    // The first program change of track 1 now carries 40, the later ones are as they were.
    auto firstProgram = std::find_if(words.begin(), words.end(), [](uint32_t w) { return (w & 0xFF) == 0xC0; });
    ASSERT_NE(firstProgram, words.end());
    EXPECT_EQ(*firstProgram, 0xC0u | 40u << 8);
    EXPECT_TRUE(sent(0xC0 | 5 << 8));
    EXPECT_TRUE(sent(0xB1 | 7 << 8 | 127 << 16));
    EXPECT_TRUE(sent(0x91 | 72 << 8 | 100 << 16));
    EXPECT_FALSE(sent(0x92 | 40 << 8 | 80 << 16));  // the muted track
}

}  // namespace
}  // namespace melnix
