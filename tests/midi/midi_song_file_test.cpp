// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/midi_song_file.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "midi/smf_builder.h"

namespace melnix {
namespace {

using test::SmfTrack;
using test::smfFile;

MidiSongFile loaded(const std::vector<uint8_t>& bytes, RecordArray<NoteSpan>* notes = nullptr) {
    MidiSongFile song;
    EXPECT_TRUE(song.LoadBytes(bytes, notes));
    return song;
}

std::vector<uint8_t> oneTrack(const SmfTrack& t, uint16_t division = 480) { return smfFile({t}, division); }

std::string tempFolder() {
    std::string dir = std::string(std::getenv("MELNIX_HOME") ? std::getenv("MELNIX_HOME") : "/tmp") + "/midi-file";
    std::filesystem::create_directories(dir);
    return dir;
}

// --- header and chunks ---

TEST(ParseChunksTest, RefusesTheTwentyFourByteFile) {
    std::vector<uint8_t> bytes = smfFile({}, 480, 1);
    bytes.insert(bytes.end(), {'M', 'T', 'r', 'k', 0, 0, 0, 2, 0x00, 0xFF});  // 24 bytes in all
    bytes.resize(24);
    MidiSongFile song;
    EXPECT_FALSE(song.LoadBytes(bytes, nullptr));
    EXPECT_TRUE(song.fileData.empty());
}

TEST(ParseChunksTest, TwentyFiveBytesAreEnough) {
    SmfTrack t;
    t.end();
    std::vector<uint8_t> bytes = smfFile({t});
    ASSERT_EQ(bytes.size(), 14u + 8u + 4u);
    bytes.pop_back();  // 25 bytes: the end-of-track event cut short
    MidiSongFile song;
    EXPECT_TRUE(song.LoadBytes(bytes, nullptr));
}

struct DivisionCase {
    uint16_t division;
    bool loads;
};

void PrintTo(const DivisionCase& c, std::ostream* os) { *os << "division " << c.division; }

class DivisionTest : public ::testing::TestWithParam<DivisionCase> {};

TEST_P(DivisionTest, AcceptsTwentyToThirtyThousandTicks) {
    SmfTrack t;
    t.noteOn(0, 60, 100).end(10);
    MidiSongFile song;
    EXPECT_EQ(song.LoadBytes(smfFile({t}, GetParam().division), nullptr), GetParam().loads);
}

INSTANTIATE_TEST_SUITE_P(Table, DivisionTest,
                         ::testing::Values(DivisionCase{19, false}, DivisionCase{20, true}, DivisionCase{480, true},
                                           DivisionCase{30000, true}, DivisionCase{30001, false},
                                           DivisionCase{0x8000, false},
                                           DivisionCase{0xE728, false}));  // SMPTE 25 frames, 40 ticks

TEST(ParseChunksTest, RefusesABadHeader) {
    SmfTrack t;
    t.end();
    std::vector<uint8_t> good = oneTrack(t);
    std::vector<uint8_t> wrongId = good;
    wrongId[1] = 'X';
    std::vector<uint8_t> wrongLength = good;
    wrongLength[7] = 7;
    MidiSongFile song;
    EXPECT_FALSE(song.LoadBytes(wrongId, nullptr));
    EXPECT_FALSE(song.LoadBytes(wrongLength, nullptr));
    EXPECT_FALSE(song.LoadBytes({}, nullptr));
}

TEST(ParseChunksTest, RefusesAnotherChunkWhereATrackIsExpected) {
    SmfTrack t;
    t.end();
    std::vector<uint8_t> bytes = smfFile({t, t});
    bytes[14 + 12] = 'X';  // the second "MTrk"
    bytes[14 + 12 + 1] = 'X';
    MidiSongFile song;
    EXPECT_FALSE(song.LoadBytes(bytes, nullptr));
}

TEST(ParseChunksTest, MissingTracksAreEmptyAndFinished) {
    SmfTrack t;
    t.noteOn(0, 60, 100).noteOn(480, 60, 0).end();
    MidiSongFile song = loaded(smfFile({t}, 480, 3));
    ASSERT_EQ(song.trackCount, 3);
    ASSERT_EQ(song.tracks.size(), 3);
    EXPECT_FALSE(song.tracks[0].finished());
    for (int i : {1, 2}) {
        EXPECT_TRUE(song.tracks[i].finished());
        EXPECT_EQ(song.tracks[i].length, 0u);
    }
    EXPECT_EQ(song.songLengthMs, 500);
}

TEST(ParseChunksTest, TrackLengthIsClampedToTheFile) {
    SmfTrack t;
    t.noteOn(0, 60, 100).noteOn(480, 60, 0).end();
    std::vector<uint8_t> bytes = oneTrack(t);
    bytes[14 + 4] = 0x7F;  // claims far more than the file holds
    MidiSongFile song = loaded(bytes);
    EXPECT_EQ(song.tracks[0].end(), bytes.size());
    EXPECT_EQ(song.songLengthMs, 500);
}

TEST(ParseChunksTest, KeepsHeaderFields) {
    SmfTrack t;
    t.end();
    MidiSongFile song = loaded(smfFile({t}, 96, -1, 0));
    EXPECT_EQ(song.format, 0);
    EXPECT_EQ(song.division, 96);
    EXPECT_EQ(song.divisionTimes1000, 96000);
}

// --- reading files ---

TEST(ReadWholeFileTest, ReadsTheDataChunkOfAnRmidFile) {
    SmfTrack t;
    t.noteOn(0, 60, 100).noteOn(480, 60, 0).end();
    std::vector<uint8_t> smf = oneTrack(t);
    std::vector<uint8_t> riff = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'R', 'M', 'I', 'D', 'L', 'I', 'S', 'T', 4, 0, 0, 0,
                                 'I', 'N', 'F', 'O', 'd', 'a', 't', 'a'};
    for (int s = 0; s < 32; s += 8) riff.push_back(static_cast<uint8_t>(smf.size() >> s));
    riff.insert(riff.end(), smf.begin(), smf.end());
    if (smf.size() & 1) riff.push_back(0);
    uint32_t formSize = static_cast<uint32_t>(riff.size() - 8);
    for (int k = 0; k < 4; ++k) riff[4 + static_cast<size_t>(k)] = static_cast<uint8_t>(formSize >> (8 * k));
    const std::string path = tempFolder() + "/song.rmi";
    test::writeBytes(path, riff);

    MidiSongFile song;
    EXPECT_EQ(song.ReadWholeFile(path), static_cast<int32_t>(smf.size()));
    EXPECT_EQ(song.fileData, smf);
    ASSERT_TRUE(song.LoadFile(path, nullptr));
    EXPECT_EQ(song.songLengthMs, 500);
}

TEST(ReadWholeFileTest, RefusesEmptyMissingAndOverSizeFiles) {
    const std::string dir = tempFolder();
    test::writeBytes(dir + "/empty.mid", {});
    SmfTrack t;
    t.end();
    std::vector<uint8_t> big = oneTrack(t);
    big.resize(static_cast<size_t>(kMaxMidiFileBytes), 0);  // junk after the tracks is ignored
    test::writeBytes(dir + "/largest.mid", big);
    big.push_back(0);
    test::writeBytes(dir + "/too-large.mid", big);

    MidiSongFile song;
    EXPECT_EQ(song.ReadWholeFile(dir + "/empty.mid"), -1);
    EXPECT_EQ(song.ReadWholeFile(dir + "/missing.mid"), -1);
    EXPECT_EQ(song.ReadWholeFile(dir + "/too-large.mid"), -1);
    EXPECT_EQ(song.ReadWholeFile(dir + "/largest.mid"), kMaxMidiFileBytes);
    EXPECT_FALSE(song.LoadFile(dir + "/too-large.mid", nullptr));
    EXPECT_TRUE(song.fileData.empty());
    EXPECT_TRUE(song.LoadFile(dir + "/largest.mid", nullptr));
}

TEST(CompanionPathTest, ReplacesTheExtension) {
    const std::string dir = tempFolder();
    EXPECT_EQ(companionPathFor(dir + "/nothing.mid"), dir + "/nothing.TXT");
    test::writeBytes(dir + "/lower.txt", {'x'});
    EXPECT_EQ(companionPathFor(dir + "/lower.mid"), dir + "/lower.txt");
    MidiSongFile song;
    song.LoadFile(dir + "/nothing.mid", nullptr);
    EXPECT_EQ(song.companionPath, dir + "/nothing.TXT");
}

// --- tempo map and time ---

std::vector<std::pair<uint32_t, uint32_t>> mapOf(const MidiSongFile& song) {
    std::vector<std::pair<uint32_t, uint32_t>> m;
    for (const TempoMapEntry& e : song.tempoMap) m.push_back({e.tick, e.tempo});
    return m;
}

using Map = std::vector<std::pair<uint32_t, uint32_t>>;

TEST(TempoMapTest, StartsWithTheDefaultAndTrackZeroAppends) {
    SmfTrack t0;
    t0.tempo(0, 600000).tempo(960, 400000).end();
    MidiSongFile song = loaded(smfFile({t0}));
    EXPECT_EQ(mapOf(song), (Map{{0, 500000}, {0, 600000}, {960, 400000}}));
}

TEST(TempoMapTest, TempoAtTickZeroInTrackOneReplacesTheDefault) {
    SmfTrack t0, t1;
    t0.end();
    t1.tempo(0, 600000).end();
    MidiSongFile song = loaded(smfFile({t0, t1}));
    EXPECT_EQ(mapOf(song), (Map{{0, 600000}}));
}

TEST(TempoMapTest, SameTickKeepsTheLastTempoRead) {
    SmfTrack t0, t1, t2;
    t0.tempo(480, 600000).end();
    t1.tempo(480, 700000).end();
    t2.tempo(480, 800000).tempo(0, 900000).end();
    MidiSongFile song = loaded(smfFile({t0, t1, t2}));
    EXPECT_EQ(mapOf(song), (Map{{0, 500000}, {480, 900000}}));
}

TEST(TempoMapTest, OtherTracksInsertInTickOrder) {
    SmfTrack t0, t1;
    t0.tempo(0, 600000).tempo(960, 400000).end();
    t1.tempo(480, 300000).tempo(960, 450000).tempo(480, 200000).end();
    MidiSongFile song = loaded(smfFile({t0, t1}));
    // 480, 1440, 1920: one before, one after and one beyond the end.
    EXPECT_EQ(mapOf(song), (Map{{0, 500000}, {0, 600000}, {480, 300000}, {960, 400000}, {1440, 450000}, {1920, 200000}}));
}

TEST(TempoMapTest, TempoIsClamped) {
    SmfTrack t0;
    t0.tempo(0, 0).tempo(10, 0xFFFFFF).event(10, {0xFF, 0x51, 0x02, 0x01, 0x02}).end();
    MidiSongFile song = loaded(smfFile({t0}));
    EXPECT_EQ(mapOf(song), (Map{{0, 500000}, {0, 1000}, {10, 9000000}}));
}

TEST(TicksToMsTest, QuarterNoteAtDefaultTempoIsHalfASecond) {
    SmfTrack t;
    t.end();
    MidiSongFile song = loaded(oneTrack(t));
    int k = 0;
    EXPECT_EQ(song.TicksToMs(0, 480, k), 500);
    EXPECT_EQ(song.TicksToMs(480, 1, k), 1);  // 1.04 ms
}

TEST(TicksToMsTest, SpanAcrossATempoChangeIsSplitThere) {
    SmfTrack t;
    t.tempo(480, 250000).end();
    MidiSongFile song = loaded(oneTrack(t));
    int k = 0;
    EXPECT_EQ(song.TicksToMs(240, 480, k), 250 + 125);
    EXPECT_EQ(k, 1);
    EXPECT_EQ(song.TicksToMs(720, 480, k), 250);  // resumes at the cursor
    int fresh = 0;
    EXPECT_EQ(song.TicksToMs(960, 480, fresh), 250);  // passes over earlier entries
    EXPECT_EQ(fresh, 1);
    int before = 0;
    EXPECT_EQ(song.TicksToMs(0, 480, before), 500);  // a change at the span's end is not crossed
    EXPECT_EQ(before, 0);
}

TEST(TicksToMsTest, RoundingIsPerEventAndAccumulates) {
    // 96 ticks a quarter at 666667 us: a tick is 6.94 ms, rounded to 7.
    SmfTrack t;
    t.tempo(0, 666667);
    for (int i = 0; i < 10; ++i) t.noteOn(1, 60, 0);
    t.end();
    MidiSongFile song = loaded(oneTrack(t, 96));
    EXPECT_EQ(song.songLengthMs, 70);
    int k = 0;
    EXPECT_EQ(song.TicksToMs(0, 10, k), 69);
}

// --- track facts ---

TEST(TrackFactsTest, CountsNotesAndFindsProgramVolumeAndName) {
    SmfTrack t;
    t.meta(0, 0x03, "Lead Vocal")
        .meta(0, 0x03, "Second Name")
        .event(0, {0xB2, 10, 64})  // pan, not volume
        .event(0, {0xB2, 7, 90})
        .event(0, {0xC2, 52})
        .event(0, {0x92, 60, 100})
        .event(10, {62, 100})  // running status
        .event(10, {62, 0})    // velocity 0 is not a note
        .event(0, {0xC2, 52})
        .event(0, {0xC2, 40})
        .event(0, {0xC2, 41})
        .event(0, {0xB2, 7, 30})
        .end();
    std::vector<uint8_t> bytes = oneTrack(t);
    MidiSongFile song = loaded(bytes);
    const MidiTrack& f = song.tracks[0];
    EXPECT_EQ(f.noteCount, 2);
    EXPECT_EQ(f.programPlus1, 53);
    EXPECT_EQ(f.secondProgramPlus1, 41);
    EXPECT_EQ(f.volumePlus1, 91);
    EXPECT_EQ(song.TrackName(0), "Lead Vocal");
    ASSERT_NE(song.FileByte(f.programByte), nullptr);
    EXPECT_EQ(*song.FileByte(f.programByte), 52);
    EXPECT_EQ(bytes[static_cast<size_t>(f.programByte) - 1], 0xC2);
    ASSERT_NE(song.FileByte(f.volumeByte), nullptr);
    EXPECT_EQ(*song.FileByte(f.volumeByte), 90);
    EXPECT_EQ(bytes[static_cast<size_t>(f.volumeByte) - 1], 7);
}

TEST(TrackFactsTest, AbsentFactsStayEmpty) {
    SmfTrack t;
    t.noteOn(0, 60, 100).end();
    MidiSongFile song = loaded(oneTrack(t));
    const MidiTrack& f = song.tracks[0];
    EXPECT_EQ(f.programPlus1, 0);
    EXPECT_EQ(f.volumePlus1, 0);
    EXPECT_EQ(song.FileByte(f.programByte), nullptr);
    EXPECT_EQ(song.TrackName(0), "");
}

TEST(TrackFactsTest, NameLengthIsCappedAt254) {
    SmfTrack t;
    t.meta(0, 0x03, std::string(300, 'n')).end();
    MidiSongFile song = loaded(oneTrack(t));
    EXPECT_EQ(song.tracks[0].nameLength, 254);
    EXPECT_EQ(song.TrackName(0).size(), 254u);
}

// --- syllables ---

TEST(SyllableTest, CarriageReturnAndLineFeedBecomeTwoLineMarks) {
    SmfTrack t;
    t.lyric(0, "Hello\r\n").lyric(480, "you").end(240);
    MidiSongFile song = loaded(oneTrack(t));
    ASSERT_EQ(song.syllables.size(), 2);
    EXPECT_EQ(song.syllables[0].text, "Hello//");
    EXPECT_EQ(song.syllables[0].timeMs, 0);
    EXPECT_EQ(song.syllables[0].durationMs, 500);
    EXPECT_EQ(song.syllables[1].timeMs, 500);
    EXPECT_EQ(song.syllables[1].durationMs, 250);
}

TEST(SyllableTest, TwoByteCharacterBeforeAControlByteLosesItsLeadByte) {
    SmfTrack t;
    t.lyric(0, "\xC4\xE3\xBA\r").end();
    MidiSongFile song = loaded(oneTrack(t));
    ASSERT_EQ(song.syllables.size(), 1);
    EXPECT_EQ(song.syllables[0].text, "\xC4\xE3/");
}

TEST(SyllableTest, TextAndMarkerEventsCountAndLongTextIsCut) {
    SmfTrack t;
    t.text(0, "a").meta(0, 0x06, "b").meta(0, 0x03, "name").lyric(0, std::string(2000, 'x')).end();
    MidiSongFile song = loaded(oneTrack(t));
    ASSERT_EQ(song.syllables.size(), 3);
    EXPECT_EQ(song.syllables[1].text, "b");
    EXPECT_GE(song.syllables[2].text.size(), 1000u);
    EXPECT_LE(song.syllables[2].text.size(), 1001u);
}

TEST(SyllableTest, DurationIsCappedAt32767) {
    SmfTrack t;
    t.lyric(0, "long").end(480 * 100);  // 50 s
    MidiSongFile song = loaded(oneTrack(t));
    ASSERT_EQ(song.syllables.size(), 1);
    EXPECT_EQ(song.syllables[0].durationMs, 32767);
    EXPECT_EQ(song.songLengthMs, 50000);
}

TEST(SyllableTest, OnlyTheTrackWithTheMostWordsIsKept) {
    SmfTrack t0, t1, t2;
    t0.text(0, "@title").text(0, "@artist").end();
    t1.lyric(0, "one").lyric(10, "two").lyric(10, "three").end();
    t2.lyric(0, "x").end();
    MidiSongFile song = loaded(smfFile({t0, t1, t2}));
    ASSERT_EQ(song.syllables.size(), 3);
    EXPECT_EQ(song.syllables[0].text, "one");
}

TEST(SyllableTest, TiesGoToTheLaterTrack) {
    SmfTrack t0, t1;
    t0.text(0, "a").text(0, "b").end();
    t1.lyric(0, "c").lyric(0, "d").end();
    MidiSongFile song = loaded(smfFile({t0, t1}));
    ASSERT_EQ(song.syllables.size(), 2);
    EXPECT_EQ(song.syllables[0].text, "c");
}

TEST(SyllableTest, MarkerModeCollectsNoteZeroAndOneOfTheLastTrack) {
    SmfTrack t0, t1;
    t0.lyric(0, "words").end();
    t1.noteOn(0, 0, 100)
        .noteOn(480, 0, 0)   // marker, line start
        .noteOn(480, 1, 0)   // marker, continues
        .noteOn(480, 2, 0)   // not a marker key
        .noteOn(480, 1, 90)  // sounding, not a marker
        .end(480);
    MidiSongFile song = loaded(smfFile({t0, t1}));
    ASSERT_EQ(song.syllables.size(), 1);
    song.CollectMarkers();
    ASSERT_EQ(song.syllables.size(), 2);
    EXPECT_EQ(song.syllables[0].timeMs, 500);
    EXPECT_EQ(song.syllables[0].durationMs, 500);
    EXPECT_EQ(song.syllables[1].timeMs, 1000);
    EXPECT_EQ(song.syllables[1].durationMs, 500 | kMarkerContinues);
    EXPECT_FALSE(song.markerMode);
}

// --- notes ---

struct NoteView {
    int32_t start;
    int duration;
    int key;
    int track;
    bool open;
    int level;
    bool operator==(const NoteView&) const = default;
};

std::ostream& operator<<(std::ostream& os, const NoteView& n) {
    return os << "{" << n.start << "," << n.duration << ",key " << n.key << ",track " << n.track
              << (n.open ? ",open" : "") << ",level " << n.level << "}";
}

std::vector<NoteView> viewOf(const RecordArray<NoteSpan>& notes) {
    std::vector<NoteView> v;
    for (const NoteSpan& n : notes) v.push_back({n.startMs, n.durationMs, n.key, n.track(), n.open(), n.level});
    return v;
}

TEST(NoteListTest, NotesAreClosedByVelocityZeroAndSortedAcrossTracks) {
    SmfTrack t0, t1;
    t0.event(0, {0xB0, 7, 100}).noteOn(0, 60, 127).noteOn(480, 60, 0).noteOn(0, 64, 127).noteOn(960, 64, 0).end();
    t1.noteOn(240, 48, 64).noteOn(960, 48, 0).end();
    RecordArray<NoteSpan> notes;
    MidiSongFile song = loaded(smfFile({t0, t1}), &notes);
    EXPECT_EQ(viewOf(notes), (std::vector<NoteView>{{0, 500, 60, 0, false, 100},
                                                    {250, 1000, 48, 1, false, 64},
                                                    {500, 1000, 64, 0, false, 100}}));
}

TEST(NoteListTest, ShortNotesLastFiftyMilliseconds) {
    SmfTrack t;
    t.noteOn(0, 60, 100).noteOn(10, 60, 0).end();
    RecordArray<NoteSpan> notes;
    loaded(oneTrack(t), &notes);
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0].durationMs, 50);
}

TEST(NoteListTest, NoteOffStatusDoesNotCloseASpan) {
    SmfTrack t;
    t.noteOn(0, 60, 100).event(480, {0x80, 60, 64}).noteOn(480, 62, 100).noteOn(480, 62, 0).end();
    RecordArray<NoteSpan> notes;
    loaded(oneTrack(t), &notes);
    ASSERT_EQ(notes.size(), 2);
    // Still open: it lasts until 20 ms before the track's next note.
    EXPECT_TRUE(notes[0].open());
    EXPECT_EQ(notes[0].durationMs, 1000 - 20);
    EXPECT_FALSE(notes[1].open());
}

TEST(NoteListTest, OpenSpanRuleKeepsTheLongerDurationAndCapsAt1200) {
    SmfTrack t;
    // Note 60 never closed; the next note starts 10 ms later (not counted)
    // and the one after that 3 s later.
    t.noteOn(0, 60, 100).noteOn(10, 62, 100).noteOn(2870, 62, 0).noteOn(0, 64, 100).noteOn(480, 64, 0).end();
    RecordArray<NoteSpan> notes;
    loaded(oneTrack(t), &notes);
    ASSERT_EQ(notes.size(), 3);
    EXPECT_TRUE(notes[0].open());
    EXPECT_EQ(notes[0].durationMs, 1200);

    SmfTrack alone;
    alone.noteOn(0, 60, 100).noteOn(4800, 61, 100).end();  // both open, none after the second
    loaded(oneTrack(alone), &notes);
    ASSERT_EQ(notes.size(), 2);
    EXPECT_EQ(notes[0].durationMs, 5000);  // its own delta is longer than 1200
    EXPECT_EQ(notes[1].durationMs, 1200);
}

TEST(NoteListTest, VeryLongNotesAreMarkedLonger) {
    SmfTrack t;
    t.noteOn(0, 60, 100).noteOn(480 * 140, 60, 0).end();  // 70 s
    RecordArray<NoteSpan> notes;
    loaded(oneTrack(t), &notes);
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0].durationMs, kNoteLonger);
}

TEST(NoteListTest, MutedTracksAreLeftOut) {
    SmfTrack t0, t1;
    t0.noteOn(0, 60, 100).noteOn(480, 60, 0).end();
    t1.noteOn(0, 40, 100).noteOn(480, 40, 0).end();
    RecordArray<NoteSpan> notes;
    MidiSongFile song = loaded(smfFile({t0, t1}), &notes);
    ASSERT_EQ(notes.size(), 2);
    song.tracks[0].flags |= kTrackMuted;
    song.CollectSyllablesAndNotes();
    ASSERT_EQ(notes.size(), 1);
    EXPECT_EQ(notes[0].key, 40);
}

TEST(NoteListTest, LoadClearsTheCallersList) {
    RecordArray<NoteSpan> notes;
    notes.append(NoteSpan{});
    MidiSongFile song;
    EXPECT_FALSE(song.LoadBytes({1, 2, 3}, &notes));
    EXPECT_TRUE(notes.empty());
}

TEST(SongLengthTest, IsTheLatestTrackEnd) {
    SmfTrack t0, t1;
    t0.tempo(0, 1000000).end(480);  // 1 s
    t1.noteOn(960, 60, 100).end(480);  // 3 s
    MidiSongFile song = loaded(smfFile({t0, t1}));
    EXPECT_EQ(song.songLengthMs, 3000);
}

}  // namespace
}  // namespace melnix
