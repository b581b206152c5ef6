// SPDX-License-Identifier: GPL-3.0-or-later
// Truncated and corrupted songs: the reader refuses or reads what it can,
// never reads outside its buffer (the sanitizers watch), and whatever lines
// it makes still keep the lyric model's rules.

#include <gtest/gtest.h>

#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"
#include "midi/smf_builder.h"

namespace melnix {
namespace {

// A small fixed-seed generator, so that a failure can be replayed.
class XorShift {
public:
    explicit XorShift(uint64_t seed) : s_(seed) {}
    uint32_t next() {
        s_ ^= s_ << 13;
        s_ ^= s_ >> 7;
        s_ ^= s_ << 17;
        return static_cast<uint32_t>(s_ >> 11);
    }
    uint32_t below(uint32_t n) { return n ? next() % n : 0; }

private:
    uint64_t s_;
};

// Loads the bytes with a note list and makes lyric lines; reports a broken rule.
std::string exercise(const std::vector<uint8_t>& bytes) {
    MidiSongFile song;
    RecordArray<NoteSpan> notes;
    if (!song.LoadBytes(bytes, &notes)) {
        if (!song.fileData.empty()) return "refused, but the data was kept";
        return std::string();
    }
    for (int i = 0; i < song.tracks.size(); ++i) {
        const MidiTrack& t = song.tracks[i];
        if (t.end() > song.fileData.size()) return "track outside the data";
        if (t.programByte >= 0 && !song.FileByte(t.programByte)) return "program byte outside the data";
        if (t.volumeByte >= 0 && !song.FileByte(t.volumeByte)) return "volume byte outside the data";
    }
    for (int i = 1; i < notes.size(); ++i)
        if (notes[i].startMs < notes[i - 1].startMs) return "notes out of order";
    for (const NoteSpan& n : notes)
        if (n.durationMs < 50) return "note shorter than 50 ms";
    LyricSheet sheet;
    ExtractLyrics(song, sheet);
    return test::modelRuleBreach(sheet);
}

class DamagedSongTest : public ::testing::TestWithParam<const char*> {
protected:
    std::vector<uint8_t> original() const {
        std::string name = GetParam();
        std::vector<uint8_t> bytes = name == "BHL.MID" ? test::readBytes(test::demoSongPath())
                                                       : test::readBytes(test::fixturePath("fixtures/" + name));
        EXPECT_GT(bytes.size(), 100u);
        return bytes;
    }
};

TEST_P(DamagedSongTest, EveryTruncationEndsCleanly) {
    const std::vector<uint8_t> full = original();
    EXPECT_EQ(exercise(full), "");
    for (size_t n = 0; n < full.size(); ++n) {
        std::vector<uint8_t> cut(full.begin(), full.begin() + static_cast<long>(n));
        ASSERT_EQ(exercise(cut), "") << "cut at " << n;
    }
}

TEST_P(DamagedSongTest, CorruptedBytesEndCleanly) {
    const std::vector<uint8_t> full = original();
    XorShift rng(0x5EED0000u + full.size());
    for (int round = 0; round < 1500; ++round) {
        std::vector<uint8_t> bad = full;
        const uint32_t changes = 1 + rng.below(8);
        for (uint32_t c = 0; c < changes; ++c) {
            // Keep the header now and then, so that damage reaches the tracks.
            const uint32_t from = rng.below(4) ? 14 : 0;
            const size_t at = from + rng.below(static_cast<uint32_t>(bad.size() - from));
            switch (rng.below(4)) {
                case 0: bad[at] = static_cast<uint8_t>(rng.next()); break;
                case 1: bad[at] ^= static_cast<uint8_t>(1u << rng.below(8)); break;
                case 2: bad.erase(bad.begin() + static_cast<long>(at)); break;
                default: bad.insert(bad.begin() + static_cast<long>(at), static_cast<uint8_t>(rng.next())); break;
            }
            if (bad.size() <= 16) break;
        }
        ASSERT_EQ(exercise(bad), "") << "round " << round;
    }
}

TEST_P(DamagedSongTest, RandomTrackDataBehindAValidHeaderEndsCleanly) {
    const std::vector<uint8_t> full = original();
    XorShift rng(0xBADC0DEu + full.size());
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bad(full.begin(), full.begin() + 22);  // header and first track head
        const uint32_t length = rng.below(600);
        for (uint32_t k = 0; k < length; ++k) bad.push_back(static_cast<uint8_t>(rng.next()));
        ASSERT_EQ(exercise(bad), "") << "round " << round;
    }
}

INSTANTIATE_TEST_SUITE_P(Songs, DamagedSongTest, ::testing::Values("BHL.MID", "evening_boat.kar", "night_rain.kar"),
                         [](const auto& p) {
                             std::string name = p.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(DamagedSongTest, GiantVariableLengthsAndTimesEndCleanly) {
    test::SmfTrack t;
    t.event(0x0FFFFFFF, {0x90, 60, 100})
        .lyric(0x0FFFFFFF, "far")
        .event(0x0FFFFFFF, {0xFF, 0x51, 0x03, 0, 0, 0})
        .lyric(0x0FFFFFFF, "away/")
        .event(0, {0xFF, 0x01, 0x8F, 0xFF, 0xFF, 0x7F});  // a text claiming 4 GB
    for (int i = 0; i < 40; ++i) t.event(0x0FFFFFFF, {0x90, 60, 0});
    EXPECT_EQ(exercise(test::smfFile({t, t}, 20)), "");
}

}  // namespace
}  // namespace melnix
