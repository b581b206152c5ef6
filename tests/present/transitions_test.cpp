// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/transitions/transitions.h"

#include <QPainter>
#include <cmath>
#include <future>
#include <set>

#include <gtest/gtest.h>

namespace melnix {
namespace {

using std::chrono::milliseconds;

const QRect kWindow(0, 0, 160, 120);

// ---- The ticked effects -------------------------------------------------

EffectTable ticked(std::initializer_list<int> effects) {
    EffectTable t{};
    for (int e : effects) t[e] = 1;
    return t;
}

EffectTable allButDirect() {
    EffectTable t{};
    t.fill(1);
    t[0] = 0;
    return t;
}

struct ChoiceCase {
    EffectTable table;
    uint32_t random;
    int expected;
};

class ChooseEffect : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChooseEffect, TakesTheRthTickedEffect) {
    EXPECT_EQ(chooseEffect(GetParam().table, GetParam().random), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, ChooseEffect,
    ::testing::Values(ChoiceCase{allButDirect(), 0, 1}, ChoiceCase{allButDirect(), 39, 40},
                      ChoiceCase{allButDirect(), 40, 1},                 // wraps at the count
                      ChoiceCase{allButDirect(), 4294967295u, 16},       // 4294967295 % 40 = 15
                      ChoiceCase{ticked({7, 33}), 0, 7}, ChoiceCase{ticked({7, 33}), 1, 33},
                      ChoiceCase{ticked({7, 33}), 2, 7},
                      ChoiceCase{ticked({}), 0, 0}, ChoiceCase{ticked({}), 12345, 0},  // nothing ticked
                      ChoiceCase{ticked({0}), 7, 0}, ChoiceCase{ticked({0, 40}), 1, 40}));

TEST(EffectSelection, CountsEveryNonZeroByteAndAtLeastOne) {
    EXPECT_EQ(effectSelectedCount(allButDirect()), 40);
    EXPECT_EQ(effectSelectedCount(ticked({})), 1);
    EffectTable t = ticked({3});
    t[9] = 2;  // a table read from a file may hold other values than 1
    EXPECT_EQ(effectSelectedCount(t), 2);
    EXPECT_EQ(chooseEffect(t, 1), 9);
}

TEST(EffectSelection, RandomChoiceYieldsOnlyAndAllTickedEffects) {
    const EffectTable t = ticked({4, 38});
    std::set<int> seen;
    for (int i = 0; i < 200; ++i) seen.insert(chooseRandomEffect(t));
    EXPECT_EQ(seen, (std::set<int>{4, 38}));
}

// ---- Step geometry ------------------------------------------------------

QPoint cornerProbe(QRect w) { return {w.left() + 2, w.top() + w.height() - 2}; }

// What the window shows of the new picture after a list of steps.
QRegion shownAfter(const std::vector<TransitionStep>& steps) {
    QRegion shown;
    for (const TransitionStep& s : steps) {
        if (!s.scrollFrom.isEmpty()) shown = (shown & s.scrollFrom).translated(s.scrollBy);
        shown = (shown - s.erase) | s.reveal;
    }
    return shown;
}

struct CoverCase {
    int effect;
    QRect window;
    int smoothness;
};

std::vector<CoverCase> coverCases(std::initializer_list<int> effects) {
    std::vector<CoverCase> out;
    for (int e : effects)
        for (QRect w : {kWindow, QRect(0, 0, 157, 113), QRect(10, 20, 90, 200)})
            for (int s : {0, 6, 16}) out.push_back({e, w, s});
    return out;
}

std::string coverName(const ::testing::TestParamInfo<CoverCase>& info) {
    const CoverCase& c = info.param;
    return "effect" + std::to_string(c.effect) + "_" + std::to_string(c.window.width()) + "x" +
           std::to_string(c.window.height()) + "_S" + std::to_string(c.smoothness);
}

// Wipes, shrinks, sweeps and blinds draw every pixel of the window once.
class CoversOnce : public ::testing::TestWithParam<CoverCase> {};

TEST_P(CoversOnce, StepsPartitionTheWindow) {
    const CoverCase& c = GetParam();
    const auto steps = transitionSteps(c.effect, c.window, c.smoothness);
    ASSERT_FALSE(steps.empty());
    QRegion drawn;
    for (size_t i = 0; i < steps.size(); ++i) {
        const QRegion& r = steps[i].reveal;
        EXPECT_TRUE((r & drawn).isEmpty()) << "step " << i << " draws again over " << (r & drawn).boundingRect().x()
                                           << "," << (r & drawn).boundingRect().y();
        EXPECT_EQ(r - QRegion(c.window), QRegion()) << "step " << i << " leaves the window";
        drawn |= r;
    }
    EXPECT_EQ(drawn, QRegion(c.window)) << "gap at " << (QRegion(c.window) - drawn).boundingRect().x() << ","
                                        << (QRegion(c.window) - drawn).boundingRect().y();
}

INSTANTIATE_TEST_SUITE_P(Effects, CoversOnce,
                         ::testing::ValuesIn(coverCases({1, 2, 3, 4, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27,
                                                         28, 39, 40})),
                         coverName);

// Growing shapes draw each pixel at most once, start at their centre and
// stop before the step that would reach the bottom-left corner.
class GrowsFromCentre : public ::testing::TestWithParam<CoverCase> {};

TEST_P(GrowsFromCentre, NoOverlapAndStopsShortOfTheCorner) {
    const CoverCase& c = GetParam();
    const auto steps = transitionSteps(c.effect, c.window, c.smoothness);
    ASSERT_FALSE(steps.empty());
    const QPoint centre(c.window.left() + c.window.width() / 2,
                        c.window.top() + c.window.height() / 2 +
                            (c.effect == 33 || c.effect == 34 ? c.window.height() / 6 : 0));
    EXPECT_TRUE(steps.front().reveal.contains(centre));
    QRegion drawn;
    for (size_t i = 0; i < steps.size(); ++i) {
        EXPECT_TRUE((steps[i].reveal & drawn).isEmpty()) << "step " << i;
        EXPECT_EQ(steps[i].reveal - QRegion(c.window), QRegion()) << "step " << i;
        drawn |= steps[i].reveal;
    }
    EXPECT_FALSE(drawn.contains(cornerProbe(c.window)));
    const bool clearsFirst = c.effect == 13 || c.effect == 33 || c.effect == 35 || c.effect == 37;
    EXPECT_EQ(steps.front().erase, clearsFirst ? QRegion(c.window) : QRegion());
}

INSTANTIATE_TEST_SUITE_P(Effects, GrowsFromCentre,
                         ::testing::ValuesIn(coverCases({13, 14, 15, 16, 33, 34, 35, 36, 37, 38})), coverName);

TEST(TransitionGeometry, BandsAndBarsGrowOnlyAlongTheirAxis) {
    for (const TransitionStep& s : transitionSteps(15, kWindow, 0)) {
        EXPECT_EQ(s.reveal.boundingRect().left(), 0);
        EXPECT_EQ(s.reveal.boundingRect().width(), 160);
    }
    for (const TransitionStep& s : transitionSteps(20, kWindow, 0)) {
        EXPECT_EQ(s.reveal.boundingRect().top(), 0);
        EXPECT_EQ(s.reveal.boundingRect().height(), 120);
    }
}

struct BandCase {
    int effect, smoothness;
    size_t steps;
    QRect first, last;
};

class BandWipe : public ::testing::TestWithParam<BandCase> {};

TEST_P(BandWipe, StepThicknessFollowsSmoothness) {
    const BandCase& c = GetParam();
    const auto steps = transitionSteps(c.effect, kWindow, c.smoothness);
    ASSERT_EQ(steps.size(), c.steps);
    EXPECT_EQ(steps.front().reveal, QRegion(c.first));
    EXPECT_EQ(steps.back().reveal, QRegion(c.last));
    EXPECT_EQ(steps.front().delayMs, 5);
}

INSTANTIATE_TEST_SUITE_P(Effects, BandWipe,
                         ::testing::Values(
                             // 16 - S*8/16 pixels downward: 16 at S 0, the last band the rest
                             BandCase{1, 0, 8, QRect(0, 0, 160, 16), QRect(0, 112, 160, 8)},
                             BandCase{1, 16, 15, QRect(0, 0, 160, 8), QRect(0, 112, 160, 8)},
                             // 20 - S*9/16 pixels rightward
                             BandCase{2, 16, 15, QRect(0, 0, 11, 120), QRect(154, 0, 6, 120)},
                             BandCase{3, 0, 8, QRect(0, 104, 160, 16), QRect(0, 0, 160, 8)},
                             BandCase{4, 8, 10, QRect(144, 0, 16, 120), QRect(0, 0, 16, 120)}));

struct BlindCase {
    int effect, smoothness;
    size_t steps;
    QRegion first;
};

class Blinds : public ::testing::TestWithParam<BlindCase> {};

TEST_P(Blinds, EverySlatOpensFromItsOwnEdge) {
    const BlindCase& c = GetParam();
    const auto steps = transitionSteps(c.effect, kWindow, c.smoothness);
    ASSERT_EQ(steps.size(), c.steps);
    EXPECT_EQ(steps.front().reveal, c.first);
}

INSTANTIATE_TEST_SUITE_P(
    Effects, Blinds,
    ::testing::Values(
        // g = 8, 10 steps, slats 80 apart
        BlindCase{25, 0, 10, QRegion(0, 0, 8, 120) | QRegion(80, 0, 8, 120)},
        BlindCase{26, 0, 10, QRegion(72, 0, 8, 120) | QRegion(152, 0, 8, 120)},
        BlindCase{27, 0, 10, QRegion(0, 0, 160, 8) | QRegion(0, 80, 160, 8)},
        BlindCase{28, 0, 10, QRegion(0, 72, 160, 8)},  // the second slat's bottom lies outside
        // g = 6, 13 steps, slats 78 apart: three slats in 160
        BlindCase{25, 6, 13, QRegion(0, 0, 6, 120) | QRegion(78, 0, 6, 120) | QRegion(156, 0, 4, 120)},
        // g = 2, 40 steps
        BlindCase{27, 16, 40, QRegion(0, 0, 160, 2) | QRegion(0, 80, 160, 2)}));

struct SweepCase {
    int effect;
    QPoint inFirst, notInFirst;
};

class SweepDirection : public ::testing::TestWithParam<SweepCase> {};

TEST_P(SweepDirection, HandTurnsClockwiseFromItsStart) {
    const auto steps = transitionSteps(GetParam().effect, kWindow, 0);
    ASSERT_GT(steps.size(), 2u);
    EXPECT_TRUE(steps.front().reveal.contains(GetParam().inFirst));
    EXPECT_FALSE(steps.front().reveal.contains(GetParam().notInFirst));
}

INSTANTIATE_TEST_SUITE_P(Effects, SweepDirection,
                         ::testing::Values(SweepCase{21, {2, 2}, {150, 110}},    // up, turning right
                                           SweepCase{22, {157, 2}, {2, 110}},    // right, turning down
                                           SweepCase{23, {157, 117}, {2, 2}},    // down, turning left
                                           SweepCase{24, {2, 117}, {157, 2}},    // left, turning up
                                           SweepCase{39, {83, 2}, {77, 2}},      // up from the centre
                                           SweepCase{40, {83, 2}, {77, 2}}));

struct SectorCase {
    int effect, smoothness;
    QPointF pivot;
    double start, end, step;
};

class SweepSector : public ::testing::TestWithParam<SectorCase> {};

// Each step draws only the wedge the hand passed over in that step.
TEST_P(SweepSector, StepsStayBetweenTheHandsPositions) {
    const SectorCase& c = GetParam();
    const auto steps = transitionSteps(c.effect, kWindow, c.smoothness);
    const double d = c.step;
    for (size_t k = 0; k < steps.size(); ++k) {
        const double from = c.start + static_cast<double>(k) * d;
        const double span = std::min(c.end, from + d) - from;
        int outside = 0;
        for (const QRect& r : steps[k].reveal)
            for (int y = r.top(); y <= r.bottom(); ++y)
                for (int x = r.left(); x <= r.right(); ++x) {
                    const double dx = x + 0.5 - c.pivot.x(), dy = c.pivot.y() - (y + 0.5);
                    const double dist = std::hypot(dx, dy);
                    if (dist < 8) continue;  // too near the pivot to tell
                    // A pixel cut by the hand may lie up to about half a pixel beyond it.
                    const double slack = 1.0 + std::atan(0.75 / dist) * 180 / M_PI;
                    const double a = std::remainder(std::atan2(dx, dy) * 180 / M_PI - from, 360.0);
                    if (a < -slack || a > span + slack) ++outside;
                }
        EXPECT_EQ(outside, 0) << "step " << k << " from " << from;
    }
}

// 10 - S*6/16 degrees for a quarter: 10 at S 0, 8 at S 6; 28 - S for the clock.
INSTANTIATE_TEST_SUITE_P(Effects, SweepSector,
                         ::testing::Values(SectorCase{21, 0, {0, 120}, 0, 90, 10},
                                           SectorCase{22, 6, {0, 0}, 90, 180, 8},
                                           SectorCase{23, 0, {160, 0}, 180, 270, 10},
                                           SectorCase{24, 6, {160, 120}, 270, 360, 8},
                                           SectorCase{39, 0, {80, 60}, 0, 360, 28},
                                           SectorCase{40, 4, {80, 60}, 0, 360, 24}));

TEST(TransitionGeometry, HeartHasTwoLobesANotchAndAPoint) {
    const QRegion heart = heartRegion(QRect(0, 0, 90, 122));
    EXPECT_TRUE(heart.contains(QPoint(25, 30)));   // left lobe
    EXPECT_TRUE(heart.contains(QPoint(65, 30)));   // right lobe
    EXPECT_TRUE(heart.contains(QPoint(4, 40)));    // each lobe two thirds of the width
    EXPECT_TRUE(heart.contains(QPoint(86, 40)));
    EXPECT_FALSE(heart.contains(QPoint(45, 2)));   // notch between the lobes
    EXPECT_TRUE(heart.contains(QPoint(45, 100)));  // towards the point
    EXPECT_FALSE(heart.contains(QPoint(45, 110))); // the point ends h/8 above the bottom
    EXPECT_FALSE(heart.contains(QPoint(5, 110)));
    EXPECT_FALSE(heart.contains(QPoint(85, 110)));
}

TEST(TransitionGeometry, SweepAnglesFollowSmoothness) {
    // 10 - S*6/16 degrees for a quarter, 28 - S for the clock; the last step
    // lands on the end angle.
    EXPECT_EQ(transitionSteps(21, kWindow, 0).size(), 9u);
    EXPECT_EQ(transitionSteps(22, kWindow, 16).size(), 23u);  // 4 degrees
    EXPECT_EQ(transitionSteps(39, kWindow, 0).size(), 13u);   // 28 degrees
    EXPECT_EQ(transitionSteps(40, kWindow, 16).size(), 30u);  // 12 degrees
}

struct FlyCase {
    int effect;
    QPoint firstOffset;
    QRect firstStrip;
};

class FlyIn : public ::testing::TestWithParam<FlyCase> {};

TEST_P(FlyIn, MovesInAndUncoversOnlyTheEnteringStrip) {
    const FlyCase& c = GetParam();
    const auto steps = transitionSteps(c.effect, kWindow, 0);
    ASSERT_GT(steps.size(), 1u);
    EXPECT_EQ(steps.front().offset, c.firstOffset);
    EXPECT_EQ(steps.front().reveal, QRegion(c.firstStrip));
    EXPECT_TRUE(steps.front().scrollFrom.isEmpty());
    EXPECT_EQ(steps.back().offset, QPoint(0, 0));
    for (size_t i = 1; i < steps.size(); ++i) {
        const TransitionStep& s = steps[i];
        EXPECT_EQ(s.scrollBy, s.offset - steps[i - 1].offset) << "step " << i;
        const QRegion moved = QRegion(s.scrollFrom.translated(s.scrollBy) & kWindow);
        EXPECT_TRUE((moved & s.reveal).isEmpty()) << "step " << i;
        // What shows the picture is the window moved by the offset.
        EXPECT_EQ(moved | s.reveal, QRegion(kWindow.translated(s.offset) & kWindow)) << "step " << i;
    }
    EXPECT_EQ(shownAfter(steps), QRegion(kWindow));
}

INSTANTIATE_TEST_SUITE_P(
    Effects, FlyIn,
    ::testing::Values(
        // 44 pixels a step at S 0, 24 vertically, diagonals 44 and 33
        FlyCase{5, {-116, 0}, QRect(0, 0, 44, 120)}, FlyCase{6, {116, 0}, QRect(116, 0, 44, 120)},
        FlyCase{7, {0, -96}, QRect(0, 0, 160, 24)}, FlyCase{8, {0, 96}, QRect(0, 96, 160, 24)},
        FlyCase{9, {-116, -87}, QRect(0, 0, 44, 33)}, FlyCase{10, {116, -87}, QRect(116, 0, 44, 33)},
        FlyCase{11, {116, 87}, QRect(116, 87, 44, 33)}, FlyCase{12, {-116, 87}, QRect(0, 87, 44, 33)}));

TEST(TransitionGeometry, FlyInClearsTheWindowOnlyWhenThePictureLeavesPartOfIt) {
    EXPECT_EQ(transitionSteps(5, kWindow, 0, true).front().erase, QRegion());
    EXPECT_EQ(transitionSteps(5, kWindow, 0, false).front().erase, QRegion(kWindow));
}

TEST(TransitionGeometry, FlyingOvalClosesBehindItselfOrLeavesATrail) {
    for (int effect : {31, 32}) {
        const auto steps = transitionSteps(effect, kWindow, 0);
        ASSERT_EQ(steps.size(), 15u) << effect;  // the start and every 24 degrees up to 336
        EXPECT_EQ(steps.front().erase, QRegion(kWindow));
        // The oval starts in the upper half, w - h/2 wide.
        EXPECT_EQ(steps.front().reveal, QRegion(QRect(30, 0, 100, 60), QRegion::Ellipse));
        // 31 turns clockwise (first to the right), 32 the other way round.
        const int x = steps[1].reveal.boundingRect().center().x();
        EXPECT_TRUE(effect == 31 ? x > 80 : x < 80) << effect;
    }
    const QRegion oval = shownAfter(transitionSteps(31, kWindow, 0));
    const QRegion trail = shownAfter(transitionSteps(32, kWindow, 0));
    EXPECT_LE(oval.boundingRect().width(), 100);
    EXPECT_LE(oval.boundingRect().height(), 60);
    EXPECT_TRUE(trail.contains(QPoint(80, 115)));  // passed at half a turn
    EXPECT_FALSE(oval.contains(QPoint(80, 115)));
}

TEST(TransitionGeometry, FlashStepsThroughSPlus16MaskLevels) {
    const auto steps = transitionSteps(29, kWindow, 3);
    ASSERT_EQ(steps.size(), 20u);
    EXPECT_EQ(steps.front().flashLevel, 0);
    EXPECT_EQ(steps.back().flashLevel, 19);
    EXPECT_EQ(steps.back().flashLevels, 19);
}

TEST(TransitionGeometry, FlashMaskBrightensTheBackgroundToWhite) {
    EXPECT_EQ(flashMask(QColor(0, 0, 0), 0, 16), QColor(96, 96, 96));
    EXPECT_EQ(flashMask(QColor(100, 159, 160), 0, 16), QColor(196, 255, 255));
    EXPECT_EQ(flashMask(QColor(100, 159, 160), 8, 16), QColor(225, 255, 255));
    EXPECT_EQ(flashMask(QColor(100, 159, 160), 16, 16), QColor(255, 255, 255));
}

TEST(TransitionGeometry, FlashRunsAsTheClockWhenNotAllowed) {
    EXPECT_EQ(resolveEffect(29, false), 40);
    EXPECT_EQ(resolveEffect(30, false), 40);
    EXPECT_EQ(resolveEffect(30, true), 30);
    EXPECT_EQ(resolveEffect(12, false), 12);
}

TEST(TransitionGeometry, ShapesGrowFasterInTheUpperEighth) {
    // Heart: 18 (+ 18 at S 0) per side and 24 ms low, then 24 (+ 24) and 8 ms.
    const QRect wide(0, 0, 400, 160);
    const auto steps = transitionSteps(34, wide, 0);
    ASSERT_GT(steps.size(), 4u);
    EXPECT_EQ(steps[0].delayMs, 24);
    EXPECT_EQ(steps.back().delayMs, 8);
    // It starts a sixth of the height below the centre.
    EXPECT_EQ(steps[0].reveal, heartRegion(QRect(200 - 36, 106 - 36, 72, 72)));
    EXPECT_EQ(steps[1].reveal | steps[0].reveal, heartRegion(QRect(200 - 72, 106 - 72, 144, 144)) & QRegion(wide));
}

TEST(TransitionGeometry, NothingForTheDirectSwitchOrAnEmptyWindow) {
    EXPECT_TRUE(transitionSteps(0, kWindow, 0).empty());
    EXPECT_TRUE(transitionSteps(41, kWindow, 0).empty());
    EXPECT_TRUE(transitionSteps(39, QRect(), 0).empty());
}

// ---- The worker ---------------------------------------------------------

// Time that moves only when the worker sleeps, by a fixed amount per pause.
class FakeClock : public TransitionClock {
public:
    explicit FakeClock(int msPerPause) : perPause_(msPerPause) {}
    milliseconds now() override { return milliseconds(now_.load()); }
    void sleepFor(milliseconds) override { now_ += perPause_; }

private:
    std::atomic<int64_t> now_{0};
    const int perPause_;
};

QImage pattern(QSize size, int seed) {
    QImage img(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x)
            img.setPixel(x, y, qRgb((x * 7 + seed) % 256, (y * 11 + seed) % 256, (x + y) * 3 % 256));
    return img;
}

const QColor kBackground(0, 0, 160);
const QColor kOld(40, 200, 40);

// What the window must show at the end: the picture at its place, the
// background around it.
QImage finalLook(const QImage& picture, QPoint pos) {
    QImage img(kWindow.size(), QImage::Format_RGB32);
    img.fill(kBackground);
    QPainter(&img).drawImage(pos, picture);
    return img;
}

// Records what the worker reports; frames keep a copy of the canvas.
struct Recorder {
    std::mutex m;
    std::vector<QRegion> regions;
    std::vector<QImage> frames;
    std::atomic<int> done{0};
    TransitionRunner* runner = nullptr;
    bool keepFrames = false;
    std::function<void(size_t)> onFrame;

    TransitionRunner::FrameReady frameReady() {
        return [this](const QRegion& r) {
            size_t n;
            {
                std::lock_guard l(m);
                regions.push_back(r);
                if (keepFrames) frames.push_back(runner->canvas());
                n = regions.size();
            }
            if (onFrame) onFrame(n);
        };
    }
    TransitionRunner::Done doneCall() {
        return [this] { ++done; };
    }
};

TransitionJob job(int effect, const QImage& picture, QPoint pos) {
    TransitionJob j;
    j.canvas = QImage(kWindow.size(), QImage::Format_RGB32);
    j.canvas.fill(kOld);
    j.picture = picture;
    j.picturePos = pos;
    j.background = kBackground;
    j.effect = effect;
    return j;
}

// One effect on fake time, recorded from its start to its end.
struct FakeTimeRun {
    explicit FakeTimeRun(int smoothness = 0, int msPerPause = 0, bool keepFrames = false)
        : runner(std::make_shared<FakeClock>(msPerPause)), s(smoothness) {
        rec.runner = &runner;
        rec.keepFrames = keepFrames;
    }
    void start(TransitionJob j) { runner.start(std::move(j), s, rec.frameReady(), rec.doneCall()); }
    bool play(TransitionJob j) {
        start(std::move(j));
        return runner.wait(20000);
    }

    TransitionRunner runner;
    Recorder rec;
    std::atomic<int> s;
};

class EveryEffect : public ::testing::TestWithParam<int> {};

TEST_P(EveryEffect, EndsWithTheFullPictureAndRaisesSmoothness) {
    const int effect = GetParam();
    // A picture smaller than the window, so the background shows too.
    const QImage picture = pattern(QSize(120, 90), effect);
    const QPoint pos(20, 15);
    FakeTimeRun run(4);
    ASSERT_TRUE(run.play(job(effect, picture, pos)));
    EXPECT_FALSE(run.runner.running());
    EXPECT_EQ(run.rec.done, 1);
    EXPECT_TRUE(run.runner.canvas() == finalLook(picture, pos));
    ASSERT_GE(run.rec.regions.size(), 2u);
    EXPECT_EQ(run.rec.regions.back(), QRegion(kWindow));
    EXPECT_EQ(run.rec.regions.size(), transitionSteps(effect, kWindow, 4, false).size() + 1);
    EXPECT_EQ(run.s, 6);  // ended by itself at once
}

INSTANTIATE_TEST_SUITE_P(Effects, EveryEffect, ::testing::Range(1, 41));

TEST(TransitionRunner, DirectSwitchDrawsAtOnceAndKeepsSmoothness) {
    for (int effect : {0, -1, 41}) {
        const QImage picture = pattern(kWindow.size(), 3);
        FakeTimeRun run(8);
        ASSERT_TRUE(run.play(job(effect, picture, {})));
        EXPECT_TRUE(run.runner.canvas() == picture) << effect;
        EXPECT_EQ(run.rec.regions, std::vector<QRegion>{QRegion(kWindow)}) << effect;
        EXPECT_EQ(run.rec.done, 1) << effect;
        EXPECT_EQ(run.s, 8) << effect;
    }
}

TEST(TransitionRunner, AWindowWithoutAreaStillFinishes) {
    FakeTimeRun run(5);
    TransitionJob j = job(18, pattern(QSize(10, 10), 1), {});
    j.canvas = QImage();
    ASSERT_TRUE(run.play(j));
    EXPECT_EQ(run.rec.done, 1);
    EXPECT_TRUE(run.runner.canvas().isNull());
    EXPECT_EQ(run.s, 5);
}

struct TimingCase {
    int smoothness;
    int msPerPause;
    int expectedSmoothness;
    size_t stepFrames;
};

class SmoothnessRule : public ::testing::TestWithParam<TimingCase> {};

// Effect 1 in 160 x 120: 8 bands of 16 at S 0, 14 of 9 at S 15, 15 of 8 at S 16.
TEST_P(SmoothnessRule, RisesOnlyAfterANaturalEndWithin900Ms) {
    const TimingCase& c = GetParam();
    const QImage picture = pattern(kWindow.size(), 1);
    FakeTimeRun run(c.smoothness, c.msPerPause);
    ASSERT_TRUE(run.play(job(1, picture, {})));
    EXPECT_EQ(run.s, c.expectedSmoothness);
    EXPECT_EQ(run.rec.regions.size(), c.stepFrames + 1);
    EXPECT_TRUE(run.runner.canvas() == picture);
}

INSTANTIATE_TEST_SUITE_P(
    Timings, SmoothnessRule,
    ::testing::Values(TimingCase{0, 0, 2, 8}, TimingCase{15, 0, 16, 14}, TimingCase{16, 0, 16, 15},
                      TimingCase{0, 112, 2, 8},   // ends at 896 ms
                      TimingCase{0, 113, 0, 8},   // ends at 904 ms: no faster
                      TimingCase{0, 333, 0, 4},   // 999 ms still draws; cut at 1332
                      TimingCase{0, 1000, 0, 1},  // cut after the first step
                      TimingCase{40, 0, 16, 15},  // out of range: treated as 16
                      TimingCase{-3, 0, 2, 8}));

TEST(TransitionRunner, StopInTheMiddleLeavesTheFullPicture) {
    const QImage picture = pattern(kWindow.size(), 9);
    FakeTimeRun run;
    run.rec.onFrame = [&](size_t n) {
        if (n == 2) run.runner.stop();
    };
    ASSERT_TRUE(run.play(job(39, picture, {})));
    EXPECT_EQ(run.rec.regions.size(), 3u);  // two steps and the full picture
    EXPECT_TRUE(run.runner.canvas() == picture);
    EXPECT_EQ(run.s, 0);  // a stopped effect says nothing about the speed
    EXPECT_EQ(run.rec.done, 1);
}

TEST(TransitionRunner, StopFromTheOwnerThreadOnRealTime) {
    const QImage picture = pattern(kWindow.size(), 5);
    TransitionRunner runner;
    Recorder rec;
    std::promise<void> stopped;
    std::shared_future<void> stoppedFuture = stopped.get_future().share();
    std::promise<void> firstFrame;
    rec.onFrame = [&](size_t n) {
        if (n == 1) {
            firstFrame.set_value();
            stoppedFuture.wait();  // hold the worker until stop has been asked
        }
    };
    std::atomic<int> s{16};
    runner.start(job(40, picture, {}), s, rec.frameReady(), rec.doneCall());
    firstFrame.get_future().wait();
    EXPECT_TRUE(runner.running());
    runner.stop();
    stopped.set_value();
    ASSERT_TRUE(runner.wait(20000));
    EXPECT_EQ(rec.regions.size(), 2u);
    EXPECT_TRUE(runner.canvas() == picture);
    EXPECT_EQ(s, 16);
}

TEST(TransitionRunner, StartingAgainEndsThePreviousEffect) {
    const QImage first = pattern(kWindow.size(), 1), second = pattern(kWindow.size(), 2);
    TransitionRunner runner;
    Recorder one, two;
    std::atomic<int> s{16};
    runner.start(job(40, first, {}), s, one.frameReady(), one.doneCall());
    runner.start(job(1, second, {}), s, two.frameReady(), two.doneCall());
    ASSERT_TRUE(runner.wait(20000));
    EXPECT_EQ(one.done, 1);
    EXPECT_EQ(two.done, 1);
    EXPECT_TRUE(runner.canvas() == second);
}

TEST(TransitionRunner, DestroyingARunningEffectWaitsForIt) {
    Recorder rec;
    std::atomic<int> s{16};
    {
        TransitionRunner runner;
        runner.start(job(39, pattern(kWindow.size(), 4), {}), s, rec.frameReady(), rec.doneCall());
    }
    EXPECT_EQ(rec.done, 1);
}

TEST(TransitionRunner, WaitTimesOutWhileTheWorkerIsHeld) {
    FakeTimeRun run;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    run.rec.onFrame = [&](size_t) { released.wait(); };
    run.start(job(1, pattern(kWindow.size(), 4), {}));
    EXPECT_FALSE(run.runner.wait(30));
    EXPECT_TRUE(run.runner.running());
    release.set_value();
    EXPECT_TRUE(run.runner.wait(20000));
    EXPECT_FALSE(run.runner.running());
}

enum class Source { Old, New, Background };

struct PixelCase {
    int effect;
    int frame;  // -1: the last step before the full picture
    QPoint at;
    Source expected;
};

class StepPixels : public ::testing::TestWithParam<PixelCase> {};

// A covering picture over an old one of a single colour: which of the three
// shows at a point after a step.
TEST_P(StepPixels, ShowsOldNewOrBackground) {
    const PixelCase& c = GetParam();
    const QImage picture = pattern(kWindow.size(), 7);
    FakeTimeRun run(0, 0, true);
    ASSERT_TRUE(run.play(job(c.effect, picture, {})));
    const std::vector<QImage>& frames = run.rec.frames;
    ASSERT_GE(frames.size(), 2u);
    const QImage& frame = frames[c.frame < 0 ? frames.size() - 2 : static_cast<size_t>(c.frame)];
    const QRgb expected = c.expected == Source::Old ? kOld.rgb()
                          : c.expected == Source::New ? picture.pixel(c.at)
                                                      : kBackground.rgb();
    EXPECT_EQ(frame.pixel(c.at), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Effects, StepPixels,
    ::testing::Values(PixelCase{13, 0, {2, 2}, Source::Background}, PixelCase{13, 0, {80, 60}, Source::New},
                      PixelCase{14, 0, {2, 2}, Source::Old}, PixelCase{14, 0, {80, 60}, Source::New},
                      PixelCase{17, 0, {1, 1}, Source::New}, PixelCase{17, 0, {80, 60}, Source::Old},
                      PixelCase{18, 0, {1, 1}, Source::New}, PixelCase{18, 0, {80, 60}, Source::Old},
                      PixelCase{39, 0, {2, 2}, Source::Background}, PixelCase{39, 0, {83, 2}, Source::New},
                      PixelCase{40, 0, {2, 2}, Source::Old}, PixelCase{33, 0, {2, 2}, Source::Background},
                      PixelCase{34, -1, {2, 117}, Source::Old}, PixelCase{35, -1, {1, 118}, Source::Background},
                      PixelCase{31, 0, {80, 115}, Source::Background}, PixelCase{31, 0, {80, 5}, Source::New},
                      PixelCase{31, -1, {80, 115}, Source::Background},
                      PixelCase{32, -1, {80, 115}, Source::New}, PixelCase{32, -1, {2, 2}, Source::Background},
                      PixelCase{25, 0, {3, 60}, Source::New}, PixelCase{25, 0, {10, 60}, Source::Old},
                      PixelCase{29, -1, {80, 60}, Source::New}));

TEST(TransitionRunner, FlyInMovesThePictureOverTheOldOne) {
    for (int effect = 5; effect <= 12; ++effect) {
        // Larger than the window and off-centre, so a wrong scroll shows.
        const QImage picture = pattern(QSize(200, 150), effect * 13);
        const QPoint pos(-25, -10);
        FakeTimeRun run(0, 0, true);
        ASSERT_TRUE(run.play(job(effect, picture, pos)));
        const auto steps = transitionSteps(effect, kWindow, 0);
        ASSERT_EQ(run.rec.frames.size(), steps.size() + 1);
        for (size_t i = 0; i < steps.size(); ++i) {
            QImage expected(kWindow.size(), QImage::Format_RGB32);
            expected.fill(kOld);
            QPainter p(&expected);
            p.setClipRect(kWindow.translated(steps[i].offset));
            p.drawImage(pos + steps[i].offset, picture);
            p.end();
            EXPECT_TRUE(run.rec.frames[i] == expected) << "effect " << effect << " step " << i;
        }
    }
}

TEST(TransitionRunner, FlyInOfASmallPictureClearsTheOldOneFirst) {
    const QImage picture = pattern(QSize(100, 80), 2);
    FakeTimeRun run(0, 0, true);
    ASSERT_TRUE(run.play(job(6, picture, QPoint(30, 20))));
    EXPECT_EQ(run.rec.frames.front().pixel(5, 5), kBackground.rgb());
}

TEST(TransitionRunner, FlashAndsThePictureWithTheBrightenedBackground) {
    QImage picture(QSize(100, 80), QImage::Format_RGB32);
    picture.fill(QColor(200, 100, 50));
    FakeTimeRun run(0, 0, true);
    TransitionJob j = job(29, picture, QPoint(30, 20));
    j.background = QColor(0, 0, 0);
    ASSERT_TRUE(run.play(j));
    const std::vector<QImage>& frames = run.rec.frames;
    ASSERT_EQ(frames.size(), 18u);  // levels 0..16 and the full picture
    EXPECT_EQ(run.rec.regions.front(), QRegion(kWindow));
    // 200 & 96, 100 & 96, 50 & 96: the mask starts at background + 96.
    EXPECT_EQ(frames[0].pixel(50, 50), qRgb(64, 96, 32));
    EXPECT_EQ(frames[0].pixel(5, 5), qRgb(0, 0, 0));  // margins are plain background
    EXPECT_EQ(frames[16].pixel(50, 50), qRgb(200, 100, 50));
}

TEST(TransitionRunner, FlashNotAllowedRunsTheClockOverTheOldPicture) {
    const QImage picture = pattern(kWindow.size(), 8);
    FakeTimeRun run;
    TransitionJob j = job(30, picture, {});
    j.flashAllowed = false;
    ASSERT_TRUE(run.play(j));
    const auto clock = transitionSteps(40, kWindow, 0);
    ASSERT_EQ(run.rec.regions.size(), clock.size() + 1);
    EXPECT_EQ(run.rec.regions.front(), clock.front().reveal);
    EXPECT_TRUE(run.runner.canvas() == picture);
}

TEST(TransitionRunner, PaintCanvasBlitsOnlyTheRegion) {
    const QImage picture = pattern(kWindow.size(), 6);
    FakeTimeRun run;
    ASSERT_TRUE(run.play(job(3, picture, {})));
    QImage target(kWindow.size(), QImage::Format_RGB32);
    target.fill(Qt::white);
    QPainter p(&target);
    run.runner.paintCanvas(p, QRegion(10, 10, 20, 20) | QRegion(100, 50, 5, 5));
    p.end();
    EXPECT_EQ(target.pixel(15, 15), picture.pixel(15, 15));
    EXPECT_EQ(target.pixel(102, 52), picture.pixel(102, 52));
    EXPECT_EQ(target.pixel(50, 50), qRgb(255, 255, 255));
}

TEST(TransitionRunner, WindowMayBlitWhileTheWorkerPaints) {
    const QImage picture = pattern(kWindow.size(), 11);
    TransitionRunner runner;
    std::atomic<int> s{16};
    runner.start(job(2, picture, {}), s, nullptr, nullptr);
    QImage target(kWindow.size(), QImage::Format_RGB32);
    int blits = 0;
    do {
        QPainter p(&target);
        runner.paintCanvas(p, QRegion(kWindow));
        p.end();
        ++blits;
        // Every pixel is whole: old or new, never a mix of the two.
        for (int y = 0; y < kWindow.height(); y += 7)
            for (int x = 0; x < kWindow.width(); x += 5)
                ASSERT_TRUE(target.pixel(x, y) == kOld.rgb() || target.pixel(x, y) == picture.pixel(x, y))
                    << x << "," << y;
    } while (runner.running());
    EXPECT_GE(blits, 1);
    ASSERT_TRUE(runner.wait(20000));
}

}  // namespace
}  // namespace melnix
