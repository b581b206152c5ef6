// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_text_stream.h"

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

struct Read {
    int result;
    std::string text;
    bool operator==(const Read&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Read& r) { return os << "{" << r.result << ", \"" << r.text << "\"}"; }

// Reads every line of the bytes, the final -1 included.
std::vector<Read> readAll(const std::string& bytes, bool dbcs, int bufferSize = kLyricStreamBuffer) {
    test::TempDir dir;
    test::writeFile(dir.file("t"), bytes);
    File f;
    f.open(dir.file("t"), File::Mode::Read);
    LyricTextStream s(f, bufferSize);
    std::vector<Read> out;
    for (int guard = 0; guard < 100; ++guard) {
        std::string line;
        int r = s.readLine(line, dbcs);
        out.push_back({r, line});
        if (r < 0) break;
    }
    return out;
}

struct StreamCase {
    const char* name;
    std::string bytes;
    bool dbcs;
    std::vector<Read> lines;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }

class ReadLineTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(ReadLineTest, Reads) {
    EXPECT_EQ(readAll(GetParam().bytes, GetParam().dbcs), GetParam().lines);
    // The same bytes through a tiny buffer must read the same.
    EXPECT_EQ(readAll(GetParam().bytes, GetParam().dbcs, 16), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadLineTest,
    ::testing::Values(
        StreamCase{"LineEndings", "a\nb\r\nc\rd", false, {{0, "a"}, {0, "b"}, {0, "c"}, {0, "d"}, {-1, ""}}},
        StreamCase{"DoubleCrIsHardBreak", "a\r\rb\r\r\nc\r\r\rd", false, {{1, "a"}, {1, "b"}, {1, "c"}, {0, "d"}, {-1, ""}}},
        StreamCase{"ControlBytesDroppedTabAndEscKept", "a\x01\tb\x1B\x7F\x0B" "c", false, {{0, "a\tb\x1B\x7F" "c"}, {-1, ""}}},
        StreamCase{"EndMarkStopsText", "a\x1A" "b\nc", false, {{0, "a"}, {-1, ""}}},
        StreamCase{"EndMarkAloneIsEnd", "\x1A", false, {{-1, ""}}},
        StreamCase{"EmptyLinesAreLines", "\n\nx", false, {{0, ""}, {0, ""}, {0, "x"}, {-1, ""}}},
        StreamCase{"FormFeed", "a\x0C\nb\x0C\r\nc\x0C" "d\x0C\x1A", false, {{0, "a"}, {0, "b"}, {0, "cd"}, {-1, ""}}},
        StreamCase{"HighBytesStoredSingly", "\xC4\xE3\n", false, {{0, "\xC4\xE3"}, {-1, ""}}},
        StreamCase{"DbcsBreakPairs", "ab\x8D\x0A" "cd\x8C\x8A" "ef", true, {{1, "ab"}, {1, "cd"}, {0, "ef"}, {-1, ""}}},
        StreamCase{"DbcsPairWithControlSecondDropsLead", "a\xC4\x01" "b", true, {{0, "a" "b"}, {-1, ""}}},
        StreamCase{"DbcsPairAtEndDropsLead", "a\xC4", true, {{0, "a"}, {-1, ""}}},
        StreamCase{"NonDbcsBreakPairIsText", "ab\x8D\x0A" "c", false, {{0, "ab\x8D"}, {0, "c"}, {-1, ""}}}),
    test::CaseName());

TEST(LyricTextStream, LongLineBreaksAtTheLimitWithoutSplittingACharacter) {
    // 2007 ASCII bytes, then a two-byte character: it does not fit.
    std::string bytes(2007, 'a');
    bytes += "\xC4\xE3\n";
    auto lines = readAll(bytes, false);
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0].result, 1);
    EXPECT_EQ(lines[0].text.size(), 2007u);
    EXPECT_EQ(lines[1], (Read{0, "\xC4\xE3"}));

    auto plain = readAll(std::string(3000, 'b'), false);
    EXPECT_EQ(plain[0].text.size(), kMaxReadLine);
    EXPECT_EQ(plain[0].result, 1);
    EXPECT_EQ(plain[1].text.size(), 3000 - kMaxReadLine);
}

TEST(LyricTextStream, UnreadCountLeavesFileAfterEndMark) {
    test::TempDir dir;
    test::writeFile(dir.file("t"), "one\r\ntwo\r\n\x1A" "BINARY");
    File f;
    ASSERT_TRUE(f.open(dir.file("t"), File::Mode::Read));
    LyricTextStream s(f);
    std::string line;
    while (s.readLine(line, false) >= 0) {
    }
    f.seekRelative(-s.unreadCount());
    char buf[6];
    ASSERT_TRUE(f.readExact(buf, 6));
    EXPECT_EQ(std::string(buf, 6), "BINARY");
}

TEST(LyricTextStream, WriteLineEndings) {
    test::TempDir dir;
    File f;
    ASSERT_TRUE(f.open(dir.file("w"), File::Mode::Create));
    LyricTextStream s(f);
    s.writeLine("a", 0);
    s.writeLine("b", 3);
    s.writeLine("c", kWriteNoEnding);
    s.writeLine("\x0D" "d", -1);
    s.writeLine("\x0A" "e", -1);
    s.writeEnd();
    f.close();
    EXPECT_EQ(test::readFile(dir.file("w")), "a\r\nb\r\rcd\r\re\r\n\x1A");
}

}  // namespace
}  // namespace melnix
