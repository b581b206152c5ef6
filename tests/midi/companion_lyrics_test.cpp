// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/companion_lyrics.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "midi/smf_builder.h"

namespace melnix {
namespace {

MidiSyllable marker(int32_t timeMs, bool continuesLine, uint16_t durationMs = 100) {
    return {timeMs, std::string(), static_cast<uint16_t>(durationMs | (continuesLine ? kMarkerContinues : 0))};
}

std::vector<std::string> withHeader(std::vector<std::string> body) {
    std::vector<std::string> lines = {"OKPLAY Version 2.0", "h1", "h2", "h3", "h4"};
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

using Times = std::vector<uint16_t>;

class CompanionLinesTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Three title markers, then the text lines' markers.
        for (int32_t t : {1000, 3000, 5000}) markers.append(marker(t, false));
        markers.append(marker(7000, false));  // "abc"
        markers.append(marker(7300, true));
        markers.append(marker(7600, true));
        markers.append(marker(8200, false));  // "#de#f"
        markers.append(marker(8500, true));
        markers.append(marker(9000, false));  // "g/h"
        markers.append(marker(9400, true));
        markers.append(marker(10000, false));  // "ij": no flagged marker for j
        markers.append(marker(11000, false, 500));  // "k", the last marker
    }

    int build(const std::vector<std::string>& text) {
        int n = BuildLinesFromCompanion(markers, text, sheet);
        EXPECT_EQ(test::modelRuleBreach(sheet), "");
        return n;
    }

    RecordArray<MidiSyllable> markers;
    LyricSheet sheet;
};

TEST_F(CompanionLinesTest, TitleLinesThenTextLinesOnTheirMarkers) {
    ASSERT_EQ(build(withHeader({"Song", "By Me", "Melnix", "abc", "#de#f", "g/h", "ij", "k"})), 8);
    const LyricLine& title = *sheet.lineAt(0);
    EXPECT_EQ(title.text, "Song");
    EXPECT_EQ(title.flags, kLineAltPlacement);
    EXPECT_EQ(title.startTime, 100);
    EXPECT_EQ(title.charTimes, (Times{0, 49, 98, 147, 197}));  // until 30 ms before the next marker
    EXPECT_EQ(sheet.lineAt(1)->flags, kLineAltPlacement);
    EXPECT_EQ(sheet.lineAt(2)->flags, kLineAltPlacement);

    const LyricLine& abc = *sheet.lineAt(3);
    EXPECT_EQ(abc.text, "abc");
    EXPECT_EQ(abc.flags, 0);
    EXPECT_EQ(abc.startTime, 700);
    EXPECT_EQ(abc.charTimes, (Times{0, 30, 60, 117}));

    const LyricLine& group = *sheet.lineAt(4);
    EXPECT_EQ(group.text, "def");
    EXPECT_EQ(group.startTime, 820);
    EXPECT_EQ(group.charTimes, (Times{0, 15, 30, 77}));  // "de" share one marker

    const LyricLine& spaced = *sheet.lineAt(5);
    EXPECT_EQ(spaced.text, "g h");
    EXPECT_EQ(spaced.charTimes, (Times{0, 37, 40, 97}));  // the space takes 30 ms from "g"

    EXPECT_EQ(sheet.lineAt(6)->text, "i");  // the next marker starts a line: "j" is passed over
    EXPECT_EQ(sheet.lineAt(6)->charTimes, (Times{0, 97}));
    EXPECT_EQ(sheet.lineAt(7)->text, "k");
    EXPECT_EQ(sheet.lineAt(7)->startTime, 1100);
    EXPECT_EQ(sheet.lineAt(7)->duration, 50);  // the last marker's own duration
}

TEST_F(CompanionLinesTest, FirstTitleIsPlacedAtTheEndOfALongSpan) {
    markers[0].timeMs = 0;
    build(withHeader({"AB", "By Me", "Melnix", "abc", "#de#f", "g/h", "ij", "k"}));
    ASSERT_GE(sheet.lineCount(), 1);
    // A second a character at most, ending 30 ms before the next marker;
    // then no character longer than 800 ms.
    EXPECT_EQ(sheet.lineAt(0)->startTime, (3000 - 30 - 2000) / 10);
    EXPECT_EQ(sheet.lineAt(0)->duration, 160);
}

TEST_F(CompanionLinesTest, TooFewMarkersOrLinesLeaveTheSheetUnchanged) {
    sheet.appendLine("kept");
    EXPECT_EQ(build(withHeader({"a", "b", "c", "d", "e", "f", "g"})), 0);  // 12 lines
    RecordArray<MidiSyllable> three;
    for (int32_t t : {0, 1000, 2000}) three.append(marker(t, false));
    for (int32_t t : {3000, 4000}) three.append(marker(t, true));
    EXPECT_EQ(BuildLinesFromCompanion(three, withHeader({"a", "b", "c", "d", "e", "f", "g", "h"}), sheet), 0);
    ASSERT_EQ(sheet.lineCount(), 1);
    EXPECT_EQ(sheet.lineAt(0)->text, "kept");
}

TEST(CompanionLongLineTest, SlashEndsTheDisplayLineOfALongTextLine) {
    RecordArray<MidiSyllable> markers;
    for (int32_t t : {0, 1000, 2000}) markers.append(marker(t, false));
    markers.append(marker(3000, false));
    for (int k = 1; k < 32; ++k) markers.append(marker(3000 + k * 200, true));
    markers.append(marker(20000, false));
    LyricSheet sheet;
    std::string text = std::string(16, 'a') + "/" + std::string(16, 'b');
    BuildLinesFromCompanion(markers, withHeader({"t1", "t2", "t3", text, "", "", "", "z"}), sheet);
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
    ASSERT_EQ(sheet.lineCount(), 6);
    EXPECT_EQ(sheet.lineAt(3)->text, std::string(16, 'a'));
    EXPECT_EQ(sheet.lineAt(4)->text, std::string(16, 'b'));
    EXPECT_EQ(sheet.lineAt(4)->startTime, (3000 + 16 * 200) / 10);
    EXPECT_EQ(sheet.lineAt(5)->text, "z");
}

TEST(CompanionLongLineTest, DisplayLineEndsAtThirtyBytes) {
    RecordArray<MidiSyllable> markers;
    for (int32_t t : {0, 1000, 2000}) markers.append(marker(t, false));
    markers.append(marker(3000, false));
    for (int k = 1; k < 35; ++k) markers.append(marker(3000 + k * 200, true));
    LyricSheet sheet;
    BuildLinesFromCompanion(markers, withHeader({"t1", "t2", "t3", std::string(35, 'c'), "", "", "", ""}), sheet);
    EXPECT_EQ(test::modelRuleBreach(sheet), "");
    ASSERT_EQ(sheet.lineCount(), 5);
    EXPECT_EQ(sheet.lineAt(3)->text, std::string(30, 'c'));
    EXPECT_EQ(sheet.lineAt(4)->text, std::string(5, 'c'));
}

TEST(CompanionFileTest, ReadsCleanedLinesAndChecksTheSignature) {
    const std::string dir = std::string(std::getenv("MELNIX_HOME") ? std::getenv("MELNIX_HOME") : "/tmp") + "/okplay";
    std::filesystem::create_directories(dir);
    const std::string text = "OKPLAY Version 1.0\r\n   lead\tspaces  \r\n" + std::string(250, 'x') + "\r\n\x01" "ctl\x7F\r\n";
    test::writeBytes(dir + "/song.TXT", std::vector<uint8_t>(text.begin(), text.end()));
    test::writeBytes(dir + "/other.TXT", {'O', 'K', 'P', 'L', 'A', 'Y'});
    EXPECT_TRUE(isCompanionFile(dir + "/song.TXT"));
    EXPECT_FALSE(isCompanionFile(dir + "/other.TXT"));
    EXPECT_FALSE(isCompanionFile(dir + "/missing.TXT"));
    EXPECT_FALSE(isCompanionFile(""));
    std::vector<std::string> lines = readCompanionLines(dir + "/song.TXT");
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "OKPLAY Version 1.0");
    EXPECT_EQ(lines[1], "leadspaces");
    EXPECT_EQ(lines[2], std::string(200, 'x'));
    EXPECT_EQ(lines[3], "ctl");
}

}  // namespace
}  // namespace melnix
