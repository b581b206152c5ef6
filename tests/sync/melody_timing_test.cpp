// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/melody_timing.h"

#include <gtest/gtest.h>

#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"
#include "midi/track_table.h"
#include "support/gbk_text.h"
#include "sync/line_times.h"
#include "support/test_files.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// ab 100..120, 你好，世界 200..330, c 500..530.
LyricSheet song(int32_t secondStart = 200) {
    return test::sheetOf({makeLine(100, "ab", times({0, 10, 20})),
                          makeLine(secondStart, g("你好，世界"), times({0, 30, 60, 70, 100, 130})),
                          makeLine(500, "c", times({0, 30}))});
}

struct Note {
    int32_t startMs;
    uint16_t durationMs;
};

RecordArray<NoteSpan> noteList(std::initializer_list<Note> notes) {
    RecordArray<NoteSpan> list{1000};
    for (Note n : notes) {
        NoteSpan s;
        s.startMs = n.startMs;
        s.durationMs = n.durationMs;
        s.key = 67;
        list.append(s);
    }
    return list;
}

// 2410 is too close after 2400 to count as a note of its own.
const RecordArray<NoteSpan> kMelody = noteList({{1985, 200}, {2400, 200}, {2410, 100}, {2800, 300}, {3300, 250}});

struct MelodyCase {
    const char* name;
    RecordArray<NoteSpan> notes;
    int p;
    int timeScale;
    std::vector<int32_t> starts;
    std::vector<uint16_t> charTimes;  // of 你好，世界
};

class MelodyTimingTest : public ::testing::TestWithParam<MelodyCase> {};

TEST_P(MelodyTimingTest, TimesCharactersFromNotes) {
    const MelodyCase& c = GetParam();
    LyricSheet s = song();
    EditResult r = timeFromMelody(s, c.p, c.timeScale, c.notes);
    EXPECT_EQ(test::starts(s), c.starts);
    EXPECT_EQ(s.lineAt(1)->charTimes, c.charTimes);
    EXPECT_EQ(s.lineAt(1)->duration, c.charTimes.back());
    EXPECT_EQ(r.modified, test::starts(s) != test::starts(song()) || c.charTimes != song().lineAt(1)->charTimes);
    EXPECT_TRUE(test::timeRulesHold(s));
}

const std::vector<int32_t> kUnmoved = {100, 200, 500};
const std::vector<uint16_t> kUntimed = times({0, 30, 60, 70, 100, 130});

INSTANTIATE_TEST_SUITE_P(
    Clicks, MelodyTimingTest,
    ::testing::Values(
        // The first note starts 15 ms before the line: the line moves back
        // with the later lines. The comma goes 3 cs before 世's note, and the
        // line ends with the last note.
        MelodyCase{"WholeLineFromFirstCharacter", kMelody, 205, 1, {100, 198, 525}, times({0, 42, 79, 82, 132, 157})},
        MelodyCase{"DoubleTimeScale", kMelody, 410, 2, {100, 198, 525}, times({0, 42, 79, 82, 132, 157})},
        MelodyCase{"FromLaterCharacterKeepsEarlierOnes", kMelody, 280, 1, {100, 200, 525}, times({0, 30, 60, 80, 130, 155})},
        // Out of notes after 世: 界 keeps its distance and the line ends as
        // far after it as before.
        MelodyCase{"NotesRunOutKeepSpacing", noteList({{1985, 200}, {2400, 200}, {2800, 300}}), 205, 1, {100, 198, 510},
                   times({0, 42, 79, 82, 112, 142})},
        // The line ends with the last note, but keeps 3 cs for 界; the
        // shorter line pulls the later lines along.
        MelodyCase{"LastNoteShorterThanThreeCs", noteList({{2000, 50}, {2300, 50}, {2700, 50}, {3000, 10}}), 205, 1,
                   {100, 200, 473}, times({0, 30, 67, 70, 100, 103})},
        MelodyCase{"NoteTooFarForALine", noteList({{2000, 200}, {400000, 200}}), 205, 1, kUnmoved, kUntimed},
        MelodyCase{"NoNoteAfterCharacter", noteList({{100, 200}, {1900, 50}}), 205, 1, kUnmoved, kUntimed},
        // 你 lies 40 ms into a note that still sounds: it keeps that note
        // rather than taking the next one and putting the line a note late.
        MelodyCase{"CharacterOnASoundingNote", noteList({{1960, 300}, {2400, 200}, {2800, 300}, {3300, 250}}), 205, 1,
                   {100, 196, 525}, times({0, 44, 81, 84, 134, 159})},
        // A note sounding under 你 that began before the previous line
        // ended belongs to that line: the first note after 你 is taken.
        MelodyCase{"SoundingNoteOfThePreviousLine", noteList({{1200, 1000}, {2400, 200}, {2800, 300}, {3300, 250}}), 205,
                   1, {100, 240, 560}, times({0, 40, 87, 90, 120, 150})},
        MelodyCase{"MarkUnderPointer", kMelody, 265, 1, kUnmoved, kUntimed},
        MelodyCase{"LatinUnderPointer", kMelody, 105, 1, kUnmoved, kUntimed},
        MelodyCase{"NoCharacterUnderPointer", kMelody, 50, 1, kUnmoved, kUntimed}),
    test::CaseName());

TEST(MelodyTiming, MarksBeforeTheFirstSungCharacterStartTheLine) {
    // “你好 at 200: a click on 你 moves the line so that 你 meets its note
    // with the quote 3 cs before it.
    LyricSheet s = test::sheetOf({makeLine(100, "ab", times({0, 10, 20})),
                                  makeLine(200, g("“你好"), times({0, 30, 60, 90})), makeLine(500, "c", times({0, 30}))});
    EXPECT_TRUE(timeFromMelody(s, 235, 1, noteList({{2500, 200}, {2800, 200}})).modified);
    EXPECT_EQ(test::starts(s), (std::vector<int32_t>{100, 247, 510}));
    EXPECT_EQ(s.lineAt(1)->charTimes, times({0, 3, 33, 53}));
    EXPECT_TRUE(test::timeRulesHold(s));
}

TEST(MelodyTiming, LineStaysThreeAfterPreviousLine) {
    LyricSheet s = song(123);
    // 1212 ms is the earliest note taken for a character at 123 cs.
    timeFromMelody(s, 125, 1, noteList({{1212, 200}}));
    EXPECT_EQ(s.lineAt(1)->startTime, 123);
    EXPECT_TRUE(test::timeRulesHold(s));
}

// The demonstration song sings one syllable on each note of its melody
// track. Whatever drag moved a line a little before or after its notes, a
// right click on its first character puts every character back on its own
// note, and the next line's notes stay with the next line.
TEST(MelodyTiming, DemonstrationSongLinesMeetTheirOwnNotesAfterADrag) {
    MidiSongFile song;
    RecordArray<NoteSpan> notes{1000};
    ASSERT_TRUE(song.LoadFile(MELNIX_DEMO_SONG, &notes));
    int playing = 0;
    TrackTable(song, playing).playMelodyAlone();
    song.CollectSyllablesAndNotes();  // as the player does after the track dialog
    LyricSheet original;
    ASSERT_GT(ExtractLyrics(song, original), 4);
    // Each line's own notes, in centiseconds, and where the next line begins.
    auto notesOf = [&](const LyricLine& l) {
        std::vector<int32_t> cs;
        for (int i = 0; i < notes.size(); ++i) {
            const int32_t t = notes[i].startMs / 10;
            if (t >= l.startTime && t < l.endTime()) cs.push_back(t);
        }
        return cs;
    };
    for (int line = 1; line < 5; ++line) {
        const std::vector<int32_t> own = notesOf(*original.lineAt(line));
        ASSERT_EQ(static_cast<int>(own.size()), charTotal(*original.lineAt(line))) << line;
        for (int drag : {-2, 0, 3, 5, 20}) {
            LyricSheet s = original;
            moveCharsFrom(s, line, 0, drag);
            const LyricLine& l = *s.lineAt(line);
            timeFromMelody(s, l.startTime + 1, 1, notes);
            std::vector<int32_t> starts;
            for (int c = 0; c < charTotal(l); ++c) starts.push_back(charStart(l, c));
            EXPECT_EQ(starts, own) << "line " << line << " dragged " << drag;
            EXPECT_LT(l.endTime(), notesOf(*original.lineAt(line + 1)).front()) << "line " << line << " dragged " << drag;
            EXPECT_TRUE(test::timeRulesHold(s));
        }
    }
}

TEST(MelodyTiming, OnlyForAtMostThousandNotes) {
    RecordArray<NoteSpan> many{1000};
    for (int i = 0; i < 1001; ++i) {
        NoteSpan n;
        n.startMs = 2000 + 100 * i;
        n.durationMs = 80;
        many.append(n);
    }
    LyricSheet s = song();
    EXPECT_FALSE(timeFromMelody(s, 205, 1, many).modified);
    EXPECT_EQ(s.lineAt(1)->charTimes, kUntimed);

    many.setSize(1000);
    EXPECT_TRUE(timeFromMelody(s, 205, 1, many).modified);
}

}  // namespace
}  // namespace melnix
