// SPDX-License-Identifier: GPL-3.0-or-later
// How much of its one-second budget a transition spends working at full HD:
// the step regions, and a whole effect painted with the pauses taken out.

#include <benchmark/benchmark.h>

#include <QImage>
#include <atomic>

#include "present/transitions/transitions.h"

namespace {

using namespace melnix;

const QRect kWindow(0, 0, 1920, 1080);

// Time passes only as the pauses ask, and nothing sleeps.
class NoPauseClock : public TransitionClock {
public:
    std::chrono::milliseconds now() override { return std::chrono::milliseconds(0); }
    void sleepFor(std::chrono::milliseconds) override {}
};

void BM_TransitionSteps(benchmark::State& state) {
    const int effect = static_cast<int>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(transitionSteps(effect, kWindow, 16));
}
BENCHMARK(BM_TransitionSteps)->Arg(1)->Arg(18)->Arg(25)->Arg(33)->Arg(37)->Arg(39)->Unit(benchmark::kMillisecond);

void BM_TransitionPainted(benchmark::State& state) {
    TransitionJob base;
    base.canvas = QImage(kWindow.size(), QImage::Format_RGB32);
    base.canvas.fill(Qt::darkBlue);
    base.picture = QImage(1440, 1080, QImage::Format_RGB32);
    base.picture.fill(Qt::darkGreen);
    base.picturePos = QPoint(240, 0);
    base.background = Qt::black;
    base.effect = static_cast<int>(state.range(0));
    TransitionRunner runner(std::make_shared<NoPauseClock>());
    std::atomic<int> smoothness{16};
    for (auto _ : state) {
        runner.start(base, smoothness, [](const QRegion&) {}, [] {});
        runner.wait(10000);
    }
}
BENCHMARK(BM_TransitionPainted)->Arg(1)->Arg(5)->Arg(18)->Arg(29)->Arg(33)->Arg(39)->Unit(benchmark::kMillisecond);

}  // namespace
