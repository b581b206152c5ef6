// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/timeline_math.h"

#include <gtest/gtest.h>

#include <memory>

#include "playback/core/song_engine.h"
#include "support/gbk_text.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;

// The editor's own layout: client 640 x 434, separator at 166, present button at 290.
constexpr IntRect kClient{0, 0, 640, 434};
constexpr IntRect kSeparator{0, 166, 640, 168};

TEST(TimelineAreas, FollowTheSeparatorAndThePresentButton) {
    const TimelineAreas a = computeTimelineAreas(kClient, kSeparator, 290, 0, 0);
    EXPECT_EQ(a.subtitle, (IntRect{6, 6, 634, 164}));
    EXPECT_EQ(a.waveform, (IntRect{6, 170, 634, 258}));
    EXPECT_EQ(a.adjust, (IntRect{6, 264, 634, 290}));
    EXPECT_EQ(a.video, kVideoParked);
}

TEST(TimelineAreas, APictureInATallWindowTakesTheTopOfTheSubtitleArea) {
    const TimelineAreas a = computeTimelineAreas({0, 0, 1024, 740}, {0, 502, 1024, 504}, 704, 320, 240);
    EXPECT_EQ(a.subtitle, (IntRect{6, 380, 1018, 500}));
    EXPECT_EQ(a.video, (IntRect{263, 6, 761, 380}));
    EXPECT_EQ(a.waveform.top, 506);
}

TEST(TimelineDisplay, RulerWhenAskedOrWhenThereIsNothingElse) {
    EXPECT_EQ(chooseWaveDisplay(true, true, false), WaveDisplay::Ruler);
    EXPECT_EQ(chooseWaveDisplay(true, false, true), WaveDisplay::Ruler);
    EXPECT_EQ(chooseWaveDisplay(false, false, false), WaveDisplay::Ruler);
    EXPECT_EQ(chooseWaveDisplay(false, false, true), WaveDisplay::Notes);
    EXPECT_EQ(chooseWaveDisplay(false, true, false), WaveDisplay::Strip);
}

TEST(TimeRuler, TickClasses) {
    struct {
        int r;
        TickKind kind;
    } cases[] = {
        {-20, TickKind::Short},  {0, TickKind::Short},   {1, TickKind::Short},    {19, TickKind::Short},
        {2, TickKind::Medium},   {12, TickKind::Medium}, {10, TickKind::Long},    {30, TickKind::Long},
        {20, TickKind::Labelled}, {40, TickKind::Labelled}, {1200, TickKind::Labelled},
    };
    for (const auto& c : cases) EXPECT_EQ(rulerTickKind(c.r), c.kind) << c.r;
    // An area 88 pixels high: eighths of 11 pixels.
    EXPECT_EQ(rulerTickLength(TickKind::Short, 88), 11);
    EXPECT_EQ(rulerTickLength(TickKind::Medium, 88), 22);
    EXPECT_EQ(rulerTickLength(TickKind::Long, 88), 33);
    EXPECT_EQ(rulerTickLength(TickKind::Labelled, 88), 44);
}

TEST(TimeRuler, ASecondIsAHundredPixelsOrTwoHundredAtDoubleScale) {
    for (int scale : {1, 2}) {
        std::vector<int> labelled;
        const std::vector<RulerTick> ticks = rulerTicks(0, 1000, scale);
        for (const RulerTick& t : ticks)
            if (t.kind == TickKind::Labelled) labelled.push_back(t.units);
        ASSERT_GE(labelled.size(), 2u) << scale;
        for (size_t i = 1; i < labelled.size(); ++i) EXPECT_EQ(labelled[i] - labelled[i - 1], 100 * scale);
        // Ticks every 50 ms; the walk reaches 50 units beyond both ends.
        EXPECT_EQ(ticks[1].units - ticks[0].units, 5 * scale);
        EXPECT_EQ(ticks.front().units, -50);
        EXPECT_EQ(ticks.back().units, 1050);
    }
    EXPECT_EQ(rulerLabel(100, 1), "0:01");
    EXPECT_EQ(rulerLabel(12000, 2), "1:00");
    EXPECT_EQ(rulerLabel(6000 * 12 + 4500, 1), "12:45");
}

std::unique_ptr<std::atomic<uint8_t>[]> trackOf(const std::vector<int>& slots, int size) {
    auto t = std::make_unique<std::atomic<uint8_t>[]>(static_cast<size_t>(size));
    for (int i = 0; i < size; ++i) t[static_cast<size_t>(i)] = kLevelNotRecorded;
    int i = 0;
    for (int v : slots) t[static_cast<size_t>(i++)] = static_cast<uint8_t>(v);
    return t;
}

TEST(VolumeStrip, UnrecordedSlotsAreSkippedAndOnlyThePartAfterTheLastRecordedOneIsEmpty) {
    constexpr int N = kNoLevel;
    struct {
        const char* what;
        std::vector<int> slots;
        int trackSize, from, count, timeScale;
        std::vector<int> levels;
    } cases[] = {
        {"every slot recorded", {10, 20, 40}, 4, 0, 5, 1, {10, 20, 40, N, N}},
        // A clock step of two slots that recorded only one of them.
        {"every other slot", {10, 255, 30, 255, 50}, 6, 0, 6, 1, {10, 20, 30, 40, 50, N}},
        // A seek forward left slots 1..9 unrecorded: a ramp, not the ruler.
        {"gap after a seek", {0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 100}, 12, 0, 12, 1,
         {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, N}},
        {"nothing left of the first recorded slot", {255, 255, 30, 40}, 5, 0, 4, 1, {30, 30, 30, 40}},
        // Drawing only some columns still finds the recorded slots outside them.
        {"columns inside a gap", {0, 255, 255, 255, 40}, 5, 1, 3, 1, {10, 20, 30}},
        // Double scale: a slot's level is reached at its second column.
        {"double scale", {10, 20, 255, 40, 60}, 6, 0, 10, 2, {10, 10, 15, 20, 25, 30, 35, 40, 50, 60}},
        {"only the first slots of the track count", {10, 20, 255, 40}, 2, 0, 4, 1, {10, 20, N, N}},
        {"nothing recorded", {}, 4, 0, 3, 1, {N, N, N}},
        {"left of the song start", {10, 20}, 3, -2, 4, 1, {N, N, 10, 20}},
    };
    for (const auto& c : cases) {
        auto track = trackOf(c.slots, std::max<int>(c.trackSize, static_cast<int>(c.slots.size())));
        EXPECT_EQ(stripLevels(track.get(), c.trackSize, c.from, c.count, c.timeScale), c.levels) << c.what;
    }
    EXPECT_EQ(stripLevels(nullptr, 0, 0, 2, 1), (std::vector<int>{N, N}));
}

TEST(VolumeStrip, ColoursOfPlayedAndUnplayedColumns) {
    EXPECT_EQ(scaledLevel(50, 100), 127);
    EXPECT_EQ(scaledLevel(120, 100), 254);  // never past the top
    EXPECT_EQ(scaledLevel(80, 0), 80);      // no peak yet: as recorded
    struct {
        int scaled;
        uint32_t wavePlayed, capturePlayed, unplayed;
    } cases[] = {
        {0, colourRef(50, 50, 0), colourRef(0, 0, 0), colourRef(0, 85, 85)},
        {127, colourRef(151, 151, 0), colourRef(127, 127, 0), colourRef(0, 173, 173)},
        // Above 170 the unplayed colour turns from cyan toward white.
        {250, colourRef(250, 250, 0), colourRef(250, 250, 0), colourRef(2 * (174 + 86) % 256, 255, 255)},
        {254, colourRef(253, 253, 0), colourRef(254, 254, 0), colourRef(14, 255, 255)},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(playedStripColour(c.scaled, false), c.wavePlayed) << c.scaled;
        EXPECT_EQ(playedStripColour(c.scaled, true), c.capturePlayed) << c.scaled;
        EXPECT_EQ(unplayedStripColour(c.scaled), c.unplayed) << c.scaled;
    }
}

TEST(MelodyNotes, RowsStayInsideTheArea) {
    // 88 pixels: keys 43..85 get rows of their own.
    EXPECT_EQ(noteRows(88).base, 42);
    EXPECT_EQ(noteRows(88).topKey, 85);
    struct {
        int key, height, offset;
    } cases[] = {
        {127, 88, 88}, {85, 88, 88}, {84, 88, 86}, {43, 88, 4}, {42, 88, 4}, {0, 88, 4},
        // A short area: key 127 on the top row, not above the area.
        {127, 20, 20}, {60, 20, 4}, {61, 20, 6},
    };
    for (const auto& c : cases) EXPECT_EQ(noteBarOffset(c.key, c.height), c.offset) << c.key << " in " << c.height;
    for (int h = 8; h <= 300; ++h) {
        for (int key = 0; key <= 127; ++key) {
            const int offset = noteBarOffset(key, h);
            ASSERT_GE(offset, kNoteBarHeight) << key << " in " << h;
            ASSERT_LE(offset, h) << key << " in " << h;
        }
    }
}

TEST(MelodyNotes, ColoursAndTheFirstNoteToDraw) {
    EXPECT_EQ(noteColour(0, 0), colourRef(128, 128, 127));
    EXPECT_EQ(noteColour(84, 0), colourRef(254, 254, 127));
    EXPECT_EQ(noteColour(86, 0), colourRef(255, 255, 127));  // 129: full red
    EXPECT_EQ(redOf(openNoteEndColour(86, 0)), 127);
    // Tracks differ by their green.
    EXPECT_NE(greenOf(noteColour(50, 1)), greenOf(noteColour(50, 2)));
    EXPECT_EQ(greenOf(noteColour(0, 5)), std::max(0, 128 - trackShade(5)));

    RecordArray<NoteSpan> notes;
    for (int32_t start : {0, 5000, 20000, 30000, 30000, 45000}) notes.append(NoteSpan{start, 100, 60, 0, 64});
    EXPECT_EQ(firstNoteToDraw(notes, 0), 0);
    EXPECT_EQ(firstNoteToDraw(notes, 15000), 1);  // from 10 s before
    EXPECT_EQ(firstNoteToDraw(notes, 40000), 3);
    EXPECT_EQ(firstNoteToDraw(notes, 100000), 6);
    EXPECT_EQ(firstNoteToDraw(RecordArray<NoteSpan>(), 0), 0);
}

TEST(AdjustArea, CharactersSitAtTheirTimes) {
    LyricSheet sheet;
    sheet.addLine(makeLine(100, g("一二三"), times({0, 40, 100, 130})));
    sheet.addLine(makeLine(300, g("四") + "ab", times({0, 20, 25, 60}), kLineAltPlacement));
    const std::vector<CharBox> boxes = charBoxes(sheet, 0, 1000, 1);
    ASSERT_EQ(boxes.size(), 6u);
    EXPECT_EQ(boxes[0].from, 100);
    EXPECT_EQ(boxes[0].to, 140);
    EXPECT_EQ(boxes[2].byteOffset, 4);
    EXPECT_EQ(boxes[2].byteCount, 2);
    EXPECT_EQ(boxes[2].to, 230);
    EXPECT_EQ(boxes[4].line, 1);
    EXPECT_EQ(boxes[4].byteOffset, 2);
    EXPECT_EQ(boxes[4].byteCount, 1);
    EXPECT_EQ(boxes[4].from, 320);
    // Double scale: twice as far and twice as wide.
    const std::vector<CharBox> doubled = charBoxes(sheet, 0, 2000, 2);
    EXPECT_EQ(doubled[1].from, 280);
    EXPECT_EQ(doubled[1].to, 400);
}

TEST(AdjustArea, WithoutCharacterTimesTheLineIsSharedOutByBytes) {
    LyricSheet sheet;
    LyricLine l;
    l.startTime = 1000;
    l.text = g("一") + "a" + g("二");  // 5 bytes over 100 cs
    l.duration = 100;
    sheet.addLine(l);
    const std::vector<CharBox> boxes = charBoxes(sheet, 900, 2000, 1);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].from, 1000);
    EXPECT_EQ(boxes[0].to, 1040);
    EXPECT_EQ(boxes[1].from, 1040);
    EXPECT_EQ(boxes[1].to, 1060);
    EXPECT_EQ(boxes[2].from, 1060);
    EXPECT_EQ(boxes[2].to, 1100);
}

TEST(AdjustArea, DrawingStartsAtTheLineOnShowAndStopsAtALineOfNoLength) {
    LyricSheet sheet;
    sheet.addLine(makeLine(0, g("一"), times({0, 50})));
    sheet.addLine(makeLine(100, g("二"), times({0, 50})));
    sheet.addLine(makeLine(200, g("三"), times({0, 50})));
    sheet.addLine(makeLine(300, g("四"), times({0, 50})));
    // The columns 120..260: lines 1 and 2; line 2 ends at 250, still inside, so line 3 follows.
    std::vector<CharBox> boxes = charBoxes(sheet, 120, 260, 1);
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].line, 1);
    EXPECT_EQ(boxes[2].line, 3);
    // Ending beyond the columns stops the walk.
    EXPECT_EQ(charBoxes(sheet, 120, 140, 1).size(), 1u);
    sheet.lineAt(2)->duration = 0;
    boxes = charBoxes(sheet, 120, 400, 1);
    ASSERT_EQ(boxes.size(), 1u);
}

TEST(AdjustArea, LineColoursByPlacement) {
    EXPECT_EQ(adjustLineColour(colourRef(239, 239, 239), true), colourRef(209, 209, 209));
    EXPECT_EQ(adjustLineColour(colourRef(239, 239, 239), false), colourRef(255, 255, 255));
    EXPECT_EQ(adjustLineColour(colourRef(20, 200, 100), true), colourRef(0, 170, 70));
    EXPECT_EQ(adjustLineColour(colourRef(20, 200, 100), false), colourRef(60, 240, 140));
}

TEST(ViewButtons, MoveTheViewWithinTheSong) {
    constexpr int W = 628;
    struct {
        const char* name;
        ViewButton button;
        int origin, lengthCs, scale, position;
        ViewMove want;
    } cases[] = {
        {"FarLeftStopsAtTheStart", ViewButton::FarLeft, 300, 10000, 1, 0, {0, 1}},
        {"FarLeft", ViewButton::FarLeft, 3000, 10000, 1, 0, {3000 - 502, 3000 - 502 + 1}},
        {"LeftStopsAtTheStart", ViewButton::Left, 100, 10000, 1, 0, {0, 1}},
        {"Left", ViewButton::Left, 1000, 10000, 1, 0, {1000 - 209, 1000 - 209 + 1}},
        {"RightKeepsALaterPosition", ViewButton::Right, 1000, 10000, 1, 1500, {1209, 1500}},
        {"RightFromAnEarlierPosition", ViewButton::Right, 1000, 10000, 1, 900, {1209, 1210}},
        {"FarRight", ViewButton::FarRight, 1000, 10000, 1, 0, {1502, 1503}},
        {"FarRightStopsWithTheEndAtTheRightEdge", ViewButton::FarRight, 9000, 10000, 1, 0, {10000 - W, 10000 - W + 1}},
        {"DoubleScaleEnd", ViewButton::FarRight, 19000, 10000, 2, 0, {20000 - W, 20000 - W + 1}},
        {"RightStopsAtTheEnd", ViewButton::Right, 9300, 10000, 1, 9400, {10000 - W, 9400}},
        {"ShortSongStays", ViewButton::FarRight, 0, 300, 1, 0, {0, 1}},
        // A view already past the end is not pulled back by a forward button.
        {"PastTheEndStays", ViewButton::FarRight, 9800, 10000, 1, 9900, {9800, 9801}},
    };
    for (const auto& c : cases) {
        const ViewMove m = moveViewByButton(c.button, c.origin, W, c.lengthCs, c.scale, c.position);
        EXPECT_EQ(m.origin, c.want.origin) << c.name;
        EXPECT_EQ(m.seek, c.want.seek) << c.name;
    }
}

TEST(ViewFollow, KeepsThePlayPositionInView) {
    constexpr int W = 600;
    struct {
        const char* name;
        int p, origin, margin;
        Follow want;
    } cases[] = {
        {"Inside", 500, 0, 20, {0, FollowAction::None}},
        {"SlightlyLeftOfAWaveView", 990, 1000, 20, {1000, FollowAction::None}},
        {"LeftOfARulerView", 990, 1000, 0, {700, FollowAction::Redraw}},
        {"FarLeftStepsBackByHalves", 100, 1000, 20, {100, FollowAction::Redraw}},
        {"BackNeverPastTheStart", 10, 200, 0, {0, FollowAction::Redraw}},
        {"RightEdgeScrollsHalf", 600, 0, 20, {300, FollowAction::ScrollHalf}},
        {"BeforeOneAndAHalfWidths", 899, 0, 20, {300, FollowAction::ScrollHalf}},
        {"FarRightJumps", 2000, 0, 20, {1500, FollowAction::Redraw}},
    };
    for (const auto& c : cases) {
        const Follow f = followPosition(c.p, c.origin, W, c.margin);
        EXPECT_EQ(f.origin, c.want.origin) << c.name;
        EXPECT_EQ(f.action, c.want.action) << c.name;
        if (f.action != FollowAction::None) {
            EXPECT_GE(c.p, f.origin - c.margin) << c.name;
            EXPECT_LT(c.p, f.origin + W) << c.name;
        }
    }
}

TEST(ViewDrag, NeverLeftOfTheStartAndTheAnchorStaysInView) {
    EXPECT_EQ(limitDragScroll(30, 100), 30);
    EXPECT_EQ(limitDragScroll(130, 100), 100);
    EXPECT_EQ(limitDragScroll(-500, 0), -500);
    EXPECT_EQ(clampDragAnchor(500, 0, 600), 400);
    EXPECT_EQ(clampDragAnchor(50, 100, 600), 101);
    EXPECT_EQ(clampDragAnchor(250, 100, 600), 250);
    EXPECT_EQ(outsideScrollStep(1), 1);
    EXPECT_EQ(outsideScrollStep(15), 2);
    EXPECT_EQ(outsideScrollStep(400), 3);
}

}  // namespace
}  // namespace melnix
