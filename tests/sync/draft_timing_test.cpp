// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/draft_timing.h"

#include <random>

#include <gtest/gtest.h>

#include "lyrics/lyric_text.h"
#include "support/gbk_text.h"
#include "sync/time_rules.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;

struct Span {
    int32_t from;
    int32_t to;
};

// A voice sung over the spans (also its phrases) with the given onsets.
VoiceAnalysis voiceOf(std::vector<Span> sung, std::vector<VoiceOnset> onsets, int32_t lengthCs = 3000) {
    VoiceAnalysis v;
    v.voicing.assign(static_cast<size_t>(lengthCs), 0.0f);
    for (Span s : sung) {
        for (int32_t t = s.from; t < s.to; ++t) v.voicing[static_cast<size_t>(t)] = 1.0f;
        v.phrases.push_back({s.from, s.to});
    }
    v.onsets = std::move(onsets);
    return v;
}

std::vector<VoiceOnset> onsetsAt(std::initializer_list<int32_t> times, float strength = 1.0f) {
    std::vector<VoiceOnset> v;
    for (int32_t t : times) v.push_back({t, strength});
    return v;
}

// Every character's start and the line's end, on the song's time line.
std::vector<int32_t> absolute(const DraftLine& l) {
    std::vector<int32_t> v;
    for (uint16_t t : l.charTimes) v.push_back(l.startTime + t);
    return v;
}

LyricSheet applied(LyricSheet s, const DraftResult& d) {
    applyDraft(s, d);
    return s;
}

struct LineCase {
    const char* name;
    std::string text;
    int32_t start;
    uint16_t duration;
    std::vector<VoiceOnset> onsets;
    Span sung;
    std::vector<int32_t> expected;  // absolute starts and end
};

class DraftLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(DraftLineTest, PutsSyllablesOnTheirOnsets) {
    const LineCase& c = GetParam();
    LyricSheet s = test::sheetOf({makeLine(c.start, c.text, evenCharTimes(charCount(c.text), c.duration))});
    DraftResult d = alignLyric(s, voiceOf({c.sung}, c.onsets));
    ASSERT_EQ(d.lines.size(), 1u);
    EXPECT_EQ(absolute(d.lines[0]), c.expected);
    EXPECT_FALSE(d.lines[0].weak);
    EXPECT_TRUE(test::timeRulesHold(applied(s, d)));
}

const std::vector<VoiceOnset> kFiveSyllables = onsetsAt({105, 170, 230, 300, 350});

INSTANTIATE_TEST_SUITE_P(
    Lines, DraftLineTest,
    ::testing::Values(
        // The line ends where the voice stops.
        LineCase{"OnsetsOfEveryCharacter", g("你好世界啊"), 100, 300, kFiveSyllables, {100, 420},
                 {105, 170, 230, 300, 350, 420}},
        // 世 has no onset of its own: it goes between its neighbours.
        LineCase{"MissedOnset", g("你好世界啊"), 100, 300, onsetsAt({105, 170, 300, 350}), {100, 420},
                 {105, 170, 235, 300, 350, 420}},
        LineCase{"ExtraOnsetIgnored", g("你好世界啊"), 100, 300,
                 {{105, 1}, {170, 1}, {195, 0.4f}, {230, 1}, {300, 1}, {350, 1}}, {100, 420},
                 {105, 170, 230, 300, 350, 420}},
        // The line was said to start half a second early.
        LineCase{"VoiceLaterThanTheLine", g("你好世界啊"), 60, 300, onsetsAt({110, 170, 230, 290, 350}), {100, 420},
                 {110, 170, 230, 290, 350, 420}},
        // The comma is sung with 好 and wipes just before 世.
        LineCase{"MarkSharesTheCharacterBefore", g("你好，世界"), 100, 300, onsetsAt({105, 170, 230, 300}),
                 {100, 380}, {105, 170, 227, 230, 300, 380}},
        LineCase{"OpeningMarkGoesBeforeTheLine", g("「你好"), 100, 200, onsetsAt({110, 200}), {100, 300},
                 {107, 110, 200, 300}},
        // Each word is one syllable; its letters share it, its space takes 3 cs.
        LineCase{"LatinWords", "love me do", 100, 240, onsetsAt({100, 160, 220}), {100, 290},
                 {100, 114, 128, 142, 157, 160, 188, 217, 220, 255, 290}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(DraftTimingTest, LineWithoutVoiceIsWeakAndKeepsItsTimes) {
    LyricSheet s = test::sheetOf({makeLine(100, g("你好世界啊"), test::times({0, 60, 120, 180, 240, 300})),
                                  makeLine(800, g("再见"), test::times({0, 50, 100}))});
    DraftResult d = alignLyric(s, voiceOf({{100, 420}}, kFiveSyllables));
    ASSERT_EQ(d.lines.size(), 2u);
    EXPECT_FALSE(d.lines[0].weak);
    EXPECT_TRUE(d.lines[1].weak);
    EXPECT_EQ(d.lines[1].confidence, 0.0f);
    EXPECT_EQ(d.lines[1].startTime, 800);
    EXPECT_EQ(d.lines[1].charTimes, s.lineAt(1)->charTimes);
    EXPECT_EQ(d.weakCount(), 1);
}

TEST(DraftTimingTest, NoVoiceAtAllLeavesEveryLineAsItWas) {
    LyricSheet s = test::sheetOf({makeLine(100, g("你好"), test::times({0, 30, 60})),
                                  makeLine(300, g("世界"), test::times({0, 30, 60}))});
    for (bool known : {true, false}) {
        DraftResult d = alignLyric(s, voiceOf({}, {}), {.lineTimesKnown = known});
        LyricSheet after = applied(s, d);
        EXPECT_EQ(test::starts(after), test::starts(s));
        EXPECT_EQ(d.weakCount(), 2);
    }
}

// A voice falling silent after the line's last syllable must not stretch the
// line into the next one: the next line's first syllable is where it ends.
TEST(DraftTimingTest, LegatoLineEndsBeforeTheNext) {
    LyricSheet s = test::sheetOf({makeLine(100, g("你好"), test::times({0, 60, 120})),
                                  makeLine(230, g("世界"), test::times({0, 60, 120}))});
    DraftResult d = alignLyric(s, voiceOf({{100, 400}}, onsetsAt({100, 160, 240, 300})));
    EXPECT_EQ(absolute(d.lines[0]), (std::vector<int32_t>{100, 160, 237}));
    EXPECT_EQ(absolute(d.lines[1]), (std::vector<int32_t>{240, 300, 400}));
}

struct PhraseCase {
    const char* name;
    std::vector<std::string> lines;
    std::vector<Span> phrases;
    std::vector<VoiceOnset> onsets;
    std::vector<int32_t> lineStarts;
};

class DraftPhraseTest : public ::testing::TestWithParam<PhraseCase> {};

// Lines whose times mean nothing (all at the song's start) go to the voiced
// phrases in order, each character on its onset.
TEST_P(DraftPhraseTest, LinesWithoutTimesFollowThePhrases) {
    const PhraseCase& c = GetParam();
    LyricSheet s;
    for (const std::string& text : c.lines)
        s.addLine(makeLine(0, g(text), evenCharTimes(charCount(g(text)), kDefaultCharTime * charCount(g(text)))));
    DraftResult d = alignLyric(s, voiceOf(c.phrases, c.onsets), {.lineTimesKnown = false});
    std::vector<int32_t> starts;
    for (const DraftLine& l : d.lines) starts.push_back(l.startTime);
    EXPECT_EQ(starts, c.lineStarts);
    EXPECT_EQ(d.weakCount(), 0);
    EXPECT_TRUE(test::timeRulesHold(applied(s, d)));
}

INSTANTIATE_TEST_SUITE_P(
    Phrases, DraftPhraseTest,
    ::testing::Values(
        PhraseCase{"OneLineAPhrase",
                   {"你好世界啊", "再见了", "明天会更好吧"},
                   {{100, 400}, {600, 780}, {1000, 1360}},
                   onsetsAt({100, 160, 220, 280, 340, 600, 660, 720, 1000, 1060, 1120, 1180, 1240, 1300}),
                   {100, 600, 1000}},
        // Two short lines sung in one breath.
        PhraseCase{"TwoLinesInOnePhrase",
                   {"你好世界", "再见了你", "明天会更好吧"},
                   {{100, 580}, {1000, 1360}},
                   onsetsAt({100, 160, 220, 280, 340, 400, 460, 520, 1000, 1060, 1120, 1180, 1240, 1300}),
                   {100, 340, 1000}},
        // A short burst of voicing (an instrument) between the phrases is no line.
        PhraseCase{"BlipIsNotALine",
                   {"你好世界啊", "明天会更好吧"},
                   {{100, 400}, {500, 520}, {1000, 1360}},
                   onsetsAt({100, 160, 220, 280, 340, 505, 1000, 1060, 1120, 1180, 1240, 1300}),
                   {100, 1000}}),
    [](const auto& c) { return std::string(c.param.name); });

TEST(DraftTimingTest, LinesWithoutTimesPutCharactersOnOnsets) {
    LyricSheet s = test::sheetOf({makeLine(0, g("你好世界"), test::times({0, 30, 60, 90, 120}))});
    DraftResult d = alignLyric(s, voiceOf({{200, 480}}, onsetsAt({200, 250, 330, 400})), {.lineTimesKnown = false});
    EXPECT_EQ(absolute(d.lines[0]), (std::vector<int32_t>{200, 250, 330, 400, 480}));
}

// From the current line on: the lines before keep their times, and what
// the draft puts after them stays clear of them.
TEST(DraftTimingTest, ApplyingFromALineKeepsTheLinesBefore) {
    LyricSheet s = test::sheetOf({makeLine(100, g("你好"), test::times({0, 50, 300})),
                                  makeLine(300, g("世界"), test::times({0, 30, 60}))});
    DraftResult d;
    d.lines = {{0, test::times({0, 10, 20}), 1, false}, {250, test::times({0, 40, 80}), 1, false}};
    LyricSheet partly = s;
    applyDraft(partly, d, 1);
    EXPECT_EQ(partly.lineAt(0)->startTime, 100);
    EXPECT_EQ(partly.lineAt(0)->charTimes, test::times({0, 50, 300}));
    EXPECT_EQ(partly.lineAt(1)->charTimes, test::times({0, 40, 80}));
    EXPECT_EQ(partly.lineAt(1)->startTime, 403) << "3 cs after the line kept before it";
    EXPECT_TRUE(test::timeRulesHold(partly));
}

TEST(DraftTimingTest, OnlyAPlainTextImportLooksUntimed) {
    LyricSheet imported;
    imported.appendLine(g("你好"));
    imported.appendLine("abc");
    EXPECT_TRUE(lyricLooksUntimed(imported));
    EXPECT_TRUE(lyricLooksUntimed(LyricSheet()));
    LyricSheet tapped = imported;
    tapped.lineAt(1)->startTime += 7;
    EXPECT_FALSE(lyricLooksUntimed(tapped));
    LyricSheet retimed = imported;
    retimed.lineAt(0)->charTimes = test::times({0, 20, 60});
    EXPECT_FALSE(lyricLooksUntimed(retimed));
}

// Whatever the sound, the draft is a lyric the editor accepts: lines in
// order and apart, characters 3 cs apart, nothing before the song.
TEST(DraftTimingTest, TimeRulesHoldOnAnyVoice) {
    const std::vector<std::string> texts = {g("你好世界啊"), g("「你好」"), g("……"), "love me do", "123",
                                            g("你好，世界！"), g("一"), g("明天会更好吧明天会更好吧明天会")};
    std::mt19937 random(7);
    auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    for (int round = 0; round < 200; ++round) {
        LyricSheet s;
        int32_t at = pick(0, 50);
        for (int i = pick(1, 8); i > 0; --i) {
            const std::string& text = texts[static_cast<size_t>(pick(0, static_cast<int>(texts.size()) - 1))];
            const int n = charCount(text);
            const int duration = pick(n * kMinCharTime, n * 80);
            s.addLine(makeLine(at, text, evenCharTimes(n, duration)));
            at += duration + pick(kLineSeparation, 300);
        }
        std::vector<Span> sung;
        for (int32_t t = pick(0, 100); t < at + 200;) {
            const int32_t end = t + pick(5, 600);
            sung.push_back({t, end});
            t = end + pick(30, 300);
        }
        std::vector<VoiceOnset> onsets;
        for (int32_t t = pick(0, 20); t < at + 200; t += pick(5, 80))
            onsets.push_back({t, static_cast<float>(pick(1, 100)) / 100});
        VoiceAnalysis v = voiceOf(sung, onsets, at + 1200);
        for (bool known : {true, false}) {
            DraftResult d = alignLyric(s, v, {.lineTimesKnown = known});
            ASSERT_EQ(d.lines.size(), static_cast<size_t>(s.lineCount()));
            EXPECT_TRUE(test::timeRulesHold(applied(s, d))) << "round " << round << (known ? " known" : " phrases");
        }
    }
}

}  // namespace
}  // namespace melnix
