// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Slideshow transitions: how each of the 40 effects reveals the next picture
// step by step, the random choice among the ticked effects, and the worker
// that plays an effect.
//
// A window cannot be painted from another thread, so the worker paints into
// a QImage canvas (legal in any thread) and after every step hands the
// window the region that changed; the window's paint handler blits that
// region from the canvas. A picture window uses it like this:
//
//   TransitionJob job;
//   job.canvas = <what the window shows now, window-sized>;
//   job.picture = <the new picture, scaled or tiled to its final look>;
//   job.picturePos = <its top-left in the window>;
//   job.background = backColour; job.effect = chooseRandomEffect(table);
//   job.flashAllowed = <resolved mode 2, or 0 with a picture within the screen>;
//   runner.start(std::move(job), smoothness,
//       [w](const QRegion& r) { post an update of r to w },
//       [w] { post cmdTransitionDone to w });
//   paintEvent: if a transition is on the screen, runner.paintCanvas(p, e->region());
//   before any change of picture, mode or size, and first thing in the
//   window's destructor: runner.stop(); runner.wait(2000);
//
// Effects: 0 direct switch; 1-4 band wipes; 5-12 fly-ins; 13-16 growing
// rectangles and bands; 17-20 shrinking rectangle, ellipse and bands; 21-24
// quarter sweeps; 25-28 blinds; 29-30 flash; 31-32 flying oval; 33-34 heart;
// 35-36 ellipse; 37-38 diamond; 39-40 clock.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "songlist/state_file.h"

class QPainter;

namespace melnix {

constexpr int kTransitionEffects = 41;  // 0 direct switch, 1..40 animated
constexpr int kDirectSwitch = 0;
constexpr int kFirstFlashEffect = 29;
constexpr int kSecondFlashEffect = 30;
constexpr int kClockOverOldPicture = 40;  // runs when a flash is not allowed
constexpr int kMaxTransitionSmoothness = kMaxSmoothness;  // as the state file keeps it

// An effect is cut short, full picture drawn, once this much has passed.
constexpr int kTransitionLimitMs = 999;
// An effect that ends by itself sooner makes the next ones finer.
constexpr int kSmoothnessRaiseBeforeMs = 900;
constexpr int kSmoothnessRaise = 2;

// ---- The ticked effects -------------------------------------------------

using EffectTable = std::array<uint8_t, kTransitionEffects>;

// Number of ticked effects (any non-zero byte); none ticked counts as the
// direct switch alone, so the result is at least 1.
int effectSelectedCount(const EffectTable& selection);

// The r-th ticked effect in increasing order (from 0), r = randomValue modulo
// the count; the direct switch when nothing is ticked.
int chooseEffect(const EffectTable& selection, uint32_t randomValue);

// chooseEffect with a value from a generator seeded once per thread.
int chooseRandomEffect(const EffectTable& selection);

// ---- Step geometry ------------------------------------------------------

// One step of an effect, applied to the canvas in this order: scroll, erase,
// reveal (or the flash), then a pause.
struct TransitionStep {
    QRect scrollFrom;      // fly-ins: the part already shown, moved by scrollBy
    QPoint scrollBy;
    QRegion erase;         // filled with the background colour
    QRegion reveal;        // the new picture is drawn here
    QPoint offset;         // the picture's displacement from its final place while revealing
    int flashLevel = -1;   // flash: the whole picture ANDed with mask level i of flashLevels
    int flashLevels = 0;
    int delayMs = 0;       // pause after the step
};

// The effect that runs for a requested one: a flash that is not allowed
// becomes the clock over the old picture.
int resolveEffect(int effect, bool flashAllowed);

// The steps of an effect (already resolved) in a window, for smoothness S
// (clamped to 0..16). pictureCoversWindow matters to the fly-ins only, which
// clear the window first when the picture leaves part of it empty. Nothing
// for the direct switch or an unknown effect. Everything lies in the window.
std::vector<TransitionStep> transitionSteps(int effect, QRect window, int smoothness,
                                            bool pictureCoversWindow = true);

// The mask colour of flash level i of n: from the brightened background
// (each channel c becomes c + 96 up to 159, else 255) to white at i = n.
QColor flashMask(QColor background, int level, int levels);

// The region of a growing heart in its bounding rectangle: two ellipses side
// by side over a triangle pointing down.
QRegion heartRegion(QRect box);

// Paints one step of an effect into canvas (window-sized): the worker does
// this after every step, and the video export at the step's moment in song
// time. picture and picturePos as in TransitionJob.
void paintTransitionStep(QImage& canvas, const TransitionStep& step, const QImage& picture, QPoint picturePos,
                         QColor background);

// The full picture in its place, the background around it: how every effect ends.
void paintTransitionPicture(QImage& canvas, const QImage& picture, QPoint picturePos, QColor background);

// ---- Time ---------------------------------------------------------------

// Wall time for the worker; tests replace it to make runs exact.
class TransitionClock {
public:
    virtual ~TransitionClock() = default;
    virtual std::chrono::milliseconds now() = 0;  // from any fixed origin
    virtual void sleepFor(std::chrono::milliseconds duration) = 0;
};

// steady_clock and a real sleep.
std::shared_ptr<TransitionClock> steadyTransitionClock();

// ---- The worker ---------------------------------------------------------

struct TransitionJob {
    QImage canvas;        // what the window shows now, window-sized; the effect paints into a copy
    QImage picture;       // the new picture exactly as it will be shown (scaled, or tiled window-sized)
    QPoint picturePos;    // top-left of picture in the window at its final place
    QColor background;    // fills the window outside the picture and where an effect clears it
    int effect = kDirectSwitch;  // 1..40; anything else switches directly
    bool flashAllowed = true;    // false: 29 and 30 run as 40
};

// One per picture window. start, wait and the destructor belong to the
// owner's thread; stop, running, paintCanvas and canvas may be called from
// any thread. The callbacks run on the worker and must not wait for the
// owner's thread (post to it instead) nor call start or wait.
class TransitionRunner {
public:
    using FrameReady = std::function<void(const QRegion& dirty)>;
    using Done = std::function<void()>;

    explicit TransitionRunner(std::shared_ptr<TransitionClock> clock = steadyTransitionClock());
    ~TransitionRunner();  // stops a running effect and waits for it
    TransitionRunner(const TransitionRunner&) = delete;
    TransitionRunner& operator=(const TransitionRunner&) = delete;

    // Stops and waits for a previous effect, then plays job.effect on a new
    // worker thread. The worker reads smoothness at its start and, only when
    // the effect ended by itself within 900 ms, raises it by 2 up to 16; the
    // variable must outlive the run. frameReady gets the changed region after
    // every step and the whole window after the full picture has been drawn
    // at the end; done follows. A direct switch (effect outside 1..40) draws
    // the full picture at once on the worker and leaves smoothness alone.
    void start(TransitionJob job, std::atomic<int>& smoothness, FrameReady frameReady, Done done);

    // The running effect ends at its next step with the full picture drawn.
    void stop();

    // Waits up to ms for the worker to finish (after done has returned);
    // true when no effect is running any more.
    bool wait(int ms);

    bool running() const { return running_.load(); }

    // Blits the canvas in region (window coordinates) for the window's paint handler.
    void paintCanvas(QPainter& painter, const QRegion& region) const;

    // A copy of the canvas: the full picture once an effect has ended.
    QImage canvas() const;

private:
    void run(TransitionJob job, std::atomic<int>& smoothness, FrameReady frameReady, Done done);
    void paintStep(const TransitionStep& step, const QImage& picture, QPoint picturePos, QColor background);
    void paintFull(const QImage& picture, QPoint picturePos, QColor background);
    void finish();

    std::shared_ptr<TransitionClock> clock_;
    mutable std::mutex canvasMutex_;
    QImage canvas_;
    std::thread worker_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> running_{false};
    std::mutex stateMutex_;
    std::condition_variable finished_;
};

}  // namespace melnix
