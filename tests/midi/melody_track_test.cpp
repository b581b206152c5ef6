// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/melody_track.h"

#include <gtest/gtest.h>

#include "midi/smf_builder.h"

namespace melnix {
namespace {

using test::SmfTrack;
using test::smfFile;

SmfTrack named(const std::string& name) {
    SmfTrack t;
    t.meta(0, 0x03, name);
    return t;
}

struct NameCase {
    std::vector<std::string> names;
    int melody;
};

TEST(MelodyTrack, FoundByMarkOnlyTrackOrName) {
    const NameCase cases[] = {
        {{"Piano", "Lead", "melody 2"}, 2},  // first six bytes compared, any case
        {{"Piano", "Mel", "Melody"}, 1},     // a short name matches when it begins "MELODY"
        {{"Piano", "Bass"}, -1},
        {{"Piano", ""}, -1},
        {{"Anything"}, 0},  // the only track
    };
    for (const NameCase& c : cases) {
        std::vector<SmfTrack> tracks;
        for (const std::string& n : c.names) tracks.push_back(named(n).end());
        MidiSongFile song;
        ASSERT_TRUE(song.LoadBytes(smfFile(tracks), nullptr));
        EXPECT_EQ(FindMelodyTrack(song), c.melody) << c.names.back();
        if (c.melody >= 0) {
            EXPECT_TRUE(song.tracks[c.melody].flags & kTrackMelody);
        }
    }
    // A mark set in the track dialog wins over the name.
    MidiSongFile song;
    ASSERT_TRUE(song.LoadBytes(smfFile({named("Melody").end(), named("Flute").end()}), nullptr));
    song.tracks[1].flags |= kTrackMelody;
    EXPECT_EQ(FindMelodyTrack(song), 1);
}

TEST(MelodyTrack, KeyOfTheLatestNoteSoundingOnTheTrack) {
    RecordArray<NoteSpan> notes;
    auto note = [&](int32_t start, uint16_t length, uint8_t key, uint8_t track) {
        NoteSpan n;
        n.startMs = start;
        n.durationMs = length;
        n.key = key;
        n.trackAndOpen = track;
        notes.append(n);
    };
    note(0, 500, 60, 1);
    note(400, 300, 64, 1);  // overlaps the first
    note(100, 2000, 40, 2); // another track
    EXPECT_EQ(melodyKeyAt(notes, 1, 100), 60);
    EXPECT_EQ(melodyKeyAt(notes, 1, 450), 64);
    EXPECT_EQ(melodyKeyAt(notes, 1, 699), 64);
    EXPECT_EQ(melodyKeyAt(notes, 1, 700), -1);
    EXPECT_EQ(melodyKeyAt(notes, 2, 700), 40);
}

}  // namespace
}  // namespace melnix
