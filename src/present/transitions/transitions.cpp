// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/transitions/transitions.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>

namespace melnix {

// ---- The ticked effects -------------------------------------------------

int effectSelectedCount(const EffectTable& selection) {
    const auto ticked = std::count_if(selection.begin(), selection.end(), [](uint8_t b) { return b != 0; });
    return ticked > 0 ? static_cast<int>(ticked) : 1;
}

int chooseEffect(const EffectTable& selection, uint32_t randomValue) {
    const auto count = static_cast<uint32_t>(effectSelectedCount(selection));
    uint32_t r = randomValue % count;
    for (int effect = 0; effect < kTransitionEffects; ++effect) {
        if (selection[effect] == 0) continue;
        if (r == 0) return effect;
        --r;
    }
    return kDirectSwitch;
}

int chooseRandomEffect(const EffectTable& selection) {
    // Seeding from the clock at every choice repeats the same effect for
    // choices within one clock tick; one seeded generator per thread does not.
    thread_local std::mt19937 generator{std::random_device{}()};
    return chooseEffect(selection, static_cast<uint32_t>(generator()));
}

// ---- Step geometry ------------------------------------------------------

namespace {

// Step sizes (pixels, degrees) and pauses (ms) of the effect families.
constexpr int kWipeDelay = 5;
constexpr int kFlyDelay = 8;
constexpr int kGrowDelay = 16;
constexpr int kShapeSlowDelay = 24;  // heart, ellipse, diamond low in the window
constexpr int kShapeFastDelay = 8;
constexpr int kSweepDelay = 20;
constexpr int kBlindsDelay = 16;
constexpr int kFlashDelay = 16;
constexpr int kOvalDelay = 12;
constexpr int kSlatPitch = 80;
constexpr int kFlashBaseSteps = 16;
constexpr int kLastOvalAngle = 359;
// A growing shape ends once it holds this point, near the bottom-left corner.
constexpr int kCornerInset = 2;
// Far more steps than any window needs.
constexpr int kMaxSteps = 100000;

enum class Shape { Rect, Ellipse, Diamond, Heart };

// A rectangle by its edges, right and bottom exclusive, which may be empty
// or reach beyond the window while a shape grows.
struct Box {
    int left, top, right, bottom;
    bool empty() const { return right <= left || bottom <= top; }
    QRect rect() const { return empty() ? QRect() : QRect(left, top, right - left, bottom - top); }
};

Box boxOf(QRect r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }

QRegion shapeRegion(Shape shape, const Box& b) {
    if (b.empty()) return {};
    switch (shape) {
    case Shape::Rect:
        return QRegion(b.rect());
    case Shape::Ellipse:
        return QRegion(b.rect(), QRegion::Ellipse);
    case Shape::Diamond: {
        const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
        QPolygon p;
        p << QPoint(cx, b.top) << QPoint(b.right, cy) << QPoint(cx, b.bottom) << QPoint(b.left, cy);
        return QRegion(p, Qt::WindingFill);
    }
    case Shape::Heart:
        return heartRegion(b.rect());
    }
    return {};
}

// Band wipes 1-4: a band one step thick from one edge to the other.
std::vector<TransitionStep> bandWipe(int effect, QRect window, int s) {
    const bool vertical = effect == 1 || effect == 3;
    const bool forward = effect == 1 || effect == 2;
    const int d = vertical ? std::max(1, 16 - s * 8 / 16) : std::max(1, 20 - s * 9 / 16);
    const int extent = vertical ? window.height() : window.width();
    std::vector<TransitionStep> steps;
    for (int from = 0; from < extent;) {
        const int to = std::min(from + d, extent);
        const int a = forward ? from : extent - to;
        TransitionStep step;
        step.reveal = vertical ? QRegion(window.left(), window.top() + a, window.width(), to - from)
                               : QRegion(window.left() + a, window.top(), to - from, window.height());
        step.delayMs = kWipeDelay;
        steps.push_back(step);
        from = to;
    }
    return steps;
}

int approach(int value, int step) {
    if (value > 0) return std::max(0, value - step);
    if (value < 0) return std::min(0, value + step);
    return 0;
}

// Fly-ins 5-12: the picture starts one window width and/or height off the
// side it comes from and moves in; what is already shown moves with it and
// only the strip it uncovers is drawn.
std::vector<TransitionStep> flyIn(int effect, QRect window, int s, bool pictureCoversWindow) {
    const int w = window.width(), h = window.height();
    QPoint offset;
    int dx = std::max(1, 44 - s * 28 / 16), dy = std::max(1, dx * 3 / 4);
    switch (effect) {
    case 5: offset = {-w, 0}; break;
    case 6: offset = {w, 0}; break;
    case 7: offset = {0, -h}; dy = std::max(1, 24 - s * 12 / 16); break;
    case 8: offset = {0, h}; dy = std::max(1, 24 - s * 12 / 16); break;
    case 9: offset = {-w, -h}; break;
    case 10: offset = {w, -h}; break;
    case 11: offset = {w, h}; break;
    case 12: offset = {-w, h}; break;
    }
    std::vector<TransitionStep> steps;
    QRect shown;  // the part of the window that shows the new picture
    while (offset != QPoint(0, 0)) {
        const QPoint next(approach(offset.x(), dx), approach(offset.y(), dy));
        const QPoint move = next - offset;
        TransitionStep step;
        step.offset = next;
        if (steps.empty()) {
            if (!pictureCoversWindow) step.erase = QRegion(window);
        } else {
            step.scrollFrom = shown;
            step.scrollBy = move;
        }
        const QRect nowShown = window.translated(next) & window;
        step.reveal = QRegion(nowShown) - QRegion(shown.translated(move) & window);
        step.delayMs = kFlyDelay;
        steps.push_back(step);
        shown = nowShown;
        offset = next;
    }
    return steps;
}

// Growing shapes 13-16 and 33-38 from a point or a centre line, each step
// drawing only what the shape gained; they stop, without drawing that step,
// once the shape holds the point near the bottom-left corner.
std::vector<TransitionStep> grow(int effect, QRect window, int s) {
    const Box w = boxOf(window);
    const int cx = (w.left + w.right) / 2, cy = (w.top + w.bottom) / 2;
    Shape shape = Shape::Rect;
    Box b{cx, cy, cx, cy};
    bool horizontal = true, vertical = true;
    int slowSide = 12 + (16 - s) * 12 / 16, fastSide = slowSide;
    int slowDelay = kGrowDelay, fastDelay = kGrowDelay;
    auto shapeRates = [&](int slow, int fast) {
        slowSide = slow + (16 - s) * slow / 16;
        fastSide = fast + (16 - s) * fast / 16;
        slowDelay = kShapeSlowDelay;
        fastDelay = kShapeFastDelay;
    };
    switch (effect) {
    case 15: b = {w.left, cy, w.right, cy}; horizontal = false; break;
    case 16: b = {cx, w.top, cx, w.bottom}; vertical = false; break;
    case 33:
    case 34: {
        const int hy = cy + window.height() / 6;
        b = {cx, hy, cx, hy};
        shape = Shape::Heart;
        shapeRates(18, 24);
        break;
    }
    case 35:
    case 36: shape = Shape::Ellipse; shapeRates(12, 18); break;
    case 37:
    case 38: shape = Shape::Diamond; shapeRates(18, 24); break;
    }
    const bool clearFirst = effect == 13 || effect == 33 || effect == 35 || effect == 37;
    // The shapes speed up once their top is in the upper eighth of the window.
    const int fastLine = w.top + window.height() / 8;
    const QPoint corner(w.left + kCornerInset, w.bottom - kCornerInset);

    std::vector<TransitionStep> steps;
    QRegion drawn;
    for (int n = 0; n < kMaxSteps; ++n) {
        const bool low = b.top > fastLine;
        const int d = low ? slowSide : fastSide;
        if (horizontal) {
            b.left -= d;
            b.right += d;
        }
        if (vertical) {
            b.top -= d;
            b.bottom += d;
        }
        const QRegion whole = shapeRegion(shape, b);
        if (whole.contains(corner)) break;
        const QRegion now = whole & window;
        TransitionStep step;
        if (steps.empty() && clearFirst) step.erase = QRegion(window);
        step.reveal = now - drawn;
        step.delayMs = low ? slowDelay : fastDelay;
        steps.push_back(step);
        drawn |= now;
        // Only a window too small to hold the corner point gets here.
        if (drawn == QRegion(window)) break;
    }
    return steps;
}

// Shrinking shapes 17-20: the picture comes in from the edges; each step
// draws the ring between the previous shape and the smaller one, the last
// one what is left when the shape is gone.
std::vector<TransitionStep> shrink(int effect, QRect window, int s) {
    const int d = 12 + (16 - s) * 12 / 16;
    const bool horizontal = effect != 19, vertical = effect != 20;
    const Shape shape = effect == 18 ? Shape::Ellipse : Shape::Rect;
    Box b = boxOf(window);
    std::vector<TransitionStep> steps;
    QRegion drawn;
    while (!b.empty() && static_cast<int>(steps.size()) < kMaxSteps) {
        if (horizontal) {
            b.left += d;
            b.right -= d;
        }
        if (vertical) {
            b.top += d;
            b.bottom -= d;
        }
        const QRegion outside = QRegion(window) - shapeRegion(shape, b);
        TransitionStep step;
        step.reveal = outside - drawn;
        step.delayMs = kGrowDelay;
        steps.push_back(step);
        drawn |= outside;
    }
    return steps;
}

// Sweeps 21-24 and the clock 39-40: a hand turning clockwise around a pivot;
// its tip runs along the border of a box around the pivot, and the swept
// polygon takes in every box corner the tip has passed.
struct Sweep {
    QPointF pivot;
    double left, top, right, bottom;  // the box the tip runs along
    double startAngle, endAngle;      // degrees clockwise from pointing up

    QPointF tip(double angle) const {
        const double rad = angle * std::numbers::pi / 180.0;
        const double dx = std::sin(rad), dy = -std::cos(rad);
        double t = std::numeric_limits<double>::infinity();
        if (std::abs(dx) > 1e-12) t = std::min(t, ((dx > 0 ? right : left) - pivot.x()) / dx);
        if (std::abs(dy) > 1e-12) t = std::min(t, ((dy > 0 ? bottom : top) - pivot.y()) / dy);
        return {pivot.x() + t * dx, pivot.y() + t * dy};
    }
    double angleOf(QPointF p) const {
        double a = std::atan2(p.x() - pivot.x(), pivot.y() - p.y()) * 180.0 / std::numbers::pi;
        return a < 0 ? a + 360.0 : a;
    }
    QRegion swept(double angle) const {
        QPolygon polygon;
        polygon << pivot.toPoint() << tip(startAngle).toPoint();
        // The corners in the order the tip meets them.
        std::vector<std::pair<double, QPointF>> corners;
        for (QPointF c : {QPointF(right, top), QPointF(right, bottom), QPointF(left, bottom), QPointF(left, top)}) {
            const double a = angleOf(c);
            if (a > startAngle && a < angle) corners.emplace_back(a, c);
        }
        std::sort(corners.begin(), corners.end(), [](const auto& x, const auto& y) { return x.first < y.first; });
        for (const auto& c : corners) polygon << c.second.toPoint();
        polygon << tip(angle).toPoint();
        return QRegion(polygon, Qt::WindingFill);
    }
};

std::vector<TransitionStep> sweep(int effect, QRect window, int s) {
    const Box w = boxOf(window);
    const double W = window.width(), H = window.height();
    auto make = [](QPointF pivot, double left, double top, double right, double bottom, double from, double to) {
        return Sweep{pivot, left, top, right, bottom, from, to};
    };
    Sweep sw{};
    int d = std::max(1, 10 - s * 6 / 16);
    switch (effect) {
    case 21: sw = make(QPointF(w.left, w.bottom), w.left - W, w.top, w.right, w.bottom + H, 0, 90); break;
    case 22: sw = make(QPointF(w.left, w.top), w.left - W, w.top - H, w.right, w.bottom, 90, 180); break;
    case 23: sw = make(QPointF(w.right, w.top), w.left, w.top - H, w.right + W, w.bottom, 180, 270); break;
    case 24: sw = make(QPointF(w.right, w.bottom), w.left, w.top, w.right + W, w.bottom + H, 270, 360); break;
    default:
        // The clock runs along the window's own edges, so that an odd width
        // or height leaves no column or row out.
        sw = make(QPointF((w.left + w.right) / 2, (w.top + w.bottom) / 2), w.left, w.top, w.right, w.bottom, 0, 360);
        d = std::max(1, 28 - s);
        break;
    }
    std::vector<TransitionStep> steps;
    QRegion drawn;
    for (double angle = sw.startAngle + d;; angle += d) {
        angle = std::min(angle, sw.endAngle);
        const QRegion now = sw.swept(angle) & window;
        TransitionStep step;
        if (steps.empty() && effect == 39) step.erase = QRegion(window);
        step.reveal = now - drawn;
        step.delayMs = kSweepDelay;
        steps.push_back(step);
        drawn |= now;
        if (angle >= sw.endAngle) break;
    }
    return steps;
}

// Blinds 25-28: slats about 80 pixels apart, each opening by a strip per step.
std::vector<TransitionStep> blinds(int effect, QRect window, int s) {
    const int g = std::max(1, 8 - s * 6 / 16);
    const int n = kSlatPitch / g;
    const int pitch = g * n;
    const bool across = effect == 25 || effect == 26;  // slats side by side
    const bool fromStart = effect == 25 || effect == 27;
    const int extent = across ? window.width() : window.height();
    const int slats = (extent + pitch - 1) / pitch;
    std::vector<TransitionStep> steps;
    for (int i = 0; i < n; ++i) {
        QRegion r;
        for (int k = 0; k < slats; ++k) {
            const int a = fromStart ? k * pitch + i * g : (k + 1) * pitch - (i + 1) * g;
            r |= across ? QRect(window.left() + a, window.top(), g, window.height())
                        : QRect(window.left(), window.top() + a, window.width(), g);
        }
        TransitionStep step;
        step.reveal = r & window;
        step.delayMs = kBlindsDelay;
        steps.push_back(step);
    }
    return steps;
}

std::vector<TransitionStep> flash(int s) {
    const int n = s + kFlashBaseSteps;
    std::vector<TransitionStep> steps;
    for (int i = 0; i <= n; ++i) {
        TransitionStep step;
        step.flashLevel = i;
        step.flashLevels = n;
        step.delayMs = kFlashDelay;
        steps.push_back(step);
    }
    return steps;
}

// Flying oval 31-32: the picture shows through an oval in the upper half
// that circles once; 31 closes what the oval leaves, 32 leaves it open.
std::vector<TransitionStep> flyingOval(int effect, QRect window, int s) {
    const Box w = boxOf(window);
    const int h = window.height(), quarter = h / 4;
    const int cx = (w.left + w.right) / 2, cy = (w.top + w.bottom) / 2;
    const int halfWidth = window.width() / 2 - quarter;
    const Box start{cx - halfWidth, w.top, cx + halfWidth, cy};
    const int d = std::max(1, 24 - s);
    const int xSign = effect == 31 ? 1 : -1;

    std::vector<TransitionStep> steps;
    TransitionStep first;
    first.erase = QRegion(window);
    QRegion previous = shapeRegion(Shape::Ellipse, start) & window;
    first.reveal = previous;
    first.delayMs = kOvalDelay;
    steps.push_back(first);
    for (int a = d; a <= kLastOvalAngle; a += d) {
        const double rad = a * std::numbers::pi / 180.0;
        const int ox = xSign * static_cast<int>(std::lround(quarter * std::sin(rad)));
        const int oy = static_cast<int>(std::lround(quarter - quarter * std::cos(rad)));
        const Box e{start.left + ox, start.top + oy, start.right + ox, start.bottom + oy};
        const QRegion now = shapeRegion(Shape::Ellipse, e) & window;
        TransitionStep step;
        step.reveal = now - previous;
        if (effect == 31) step.erase = previous - now;
        step.delayMs = kOvalDelay;
        steps.push_back(step);
        previous = now;
    }
    return steps;
}

}  // namespace

int resolveEffect(int effect, bool flashAllowed) {
    if ((effect == kFirstFlashEffect || effect == kSecondFlashEffect) && !flashAllowed) return kClockOverOldPicture;
    return effect;
}

QRegion heartRegion(QRect box) {
    if (box.isEmpty()) return {};
    const int l = box.left(), t = box.top(), w = box.width(), h = box.height();
    const int r = l + w, b = t + h;
    const QRect lobe(l, t, 2 * w / 3, 2 * h / 3);
    QPolygon tip;
    const int shoulder = t + h * 71 / 122;
    tip << QPoint((l + r) / 2, b - h / 8) << QPoint(l + w / 9, shoulder) << QPoint(r - w / 9, shoulder);
    return QRegion(lobe, QRegion::Ellipse) | QRegion(lobe.translated(w / 3, 0), QRegion::Ellipse) |
           QRegion(tip, Qt::WindingFill);
}

std::vector<TransitionStep> transitionSteps(int effect, QRect window, int smoothness, bool pictureCoversWindow) {
    if (window.isEmpty()) return {};
    const int s = std::clamp(smoothness, 0, kMaxTransitionSmoothness);
    switch (effect) {
    case 1: case 2: case 3: case 4:
        return bandWipe(effect, window, s);
    case 5: case 6: case 7: case 8: case 9: case 10: case 11: case 12:
        return flyIn(effect, window, s, pictureCoversWindow);
    case 13: case 14: case 15: case 16: case 33: case 34: case 35: case 36: case 37: case 38:
        return grow(effect, window, s);
    case 17: case 18: case 19: case 20:
        return shrink(effect, window, s);
    case 21: case 22: case 23: case 24: case 39: case 40:
        return sweep(effect, window, s);
    case 25: case 26: case 27: case 28:
        return blinds(effect, window, s);
    case 29: case 30:
        return flash(s);
    case 31: case 32:
        return flyingOval(effect, window, s);
    default:
        return {};
    }
}

QColor flashMask(QColor background, int level, int levels) {
    auto channel = [&](int c) {
        const int base = c <= 159 ? c + 96 : 255;
        return levels > 0 ? base + (255 - base) * level / levels : 255;
    };
    return QColor(channel(background.red()), channel(background.green()), channel(background.blue()));
}

// ---- Time ---------------------------------------------------------------

namespace {
class SteadyTransitionClock : public TransitionClock {
public:
    std::chrono::milliseconds now() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
    void sleepFor(std::chrono::milliseconds duration) override { std::this_thread::sleep_for(duration); }
};
}  // namespace

std::shared_ptr<TransitionClock> steadyTransitionClock() { return std::make_shared<SteadyTransitionClock>(); }

// ---- The worker ---------------------------------------------------------

namespace {

// Moves a rectangle of a 32-bit image by an offset in place, as a window
// scrolls its content; what leaves the image is lost.
void scrollImage(QImage& image, QRect area, QPoint by) {
    const QRect bounds = image.rect();
    const QRect dst = (area & bounds).translated(by) & bounds;
    if (dst.isEmpty()) return;
    const QRect src = dst.translated(-by);
    uchar* bits = image.bits();
    const qsizetype line = image.bytesPerLine();
    const size_t bytes = static_cast<size_t>(dst.width()) * 4;
    auto moveRow = [&](int y) {
        std::memmove(bits + (y + by.y()) * line + dst.left() * 4, bits + y * line + src.left() * 4, bytes);
    };
    if (by.y() > 0) {
        for (int y = src.bottom(); y >= src.top(); --y) moveRow(y);
    } else {
        for (int y = src.top(); y <= src.bottom(); ++y) moveRow(y);
    }
}

// The picture at its place with the background around it, within the
// painter's clip.
void drawPicture(QPainter& p, const QRegion& area, const QImage& picture, QPoint pos, QColor background) {
    const QRect placed(pos, picture.size());
    const QRegion margins = picture.hasAlphaChannel() ? area : area - QRegion(placed);
    for (const QRect& r : margins) p.fillRect(r, background);
    if (area.intersects(placed)) p.drawImage(pos, picture);
}

}  // namespace

TransitionRunner::TransitionRunner(std::shared_ptr<TransitionClock> clock) : clock_(std::move(clock)) {}

TransitionRunner::~TransitionRunner() {
    stop();
    if (worker_.joinable()) worker_.join();
}

void TransitionRunner::start(TransitionJob job, std::atomic<int>& smoothness, FrameReady frameReady, Done done) {
    stop();
    // The worker never waits for this thread, so the previous effect ends
    // within one step.
    if (worker_.joinable()) worker_.join();
    {
        std::lock_guard lock(canvasMutex_);
        // A copy of its own, so that the window's image is never painted from two threads.
        canvas_ = job.canvas.convertToFormat(QImage::Format_RGB32).copy();
    }
    stop_ = false;
    {
        std::lock_guard lock(stateMutex_);
        running_ = true;
    }
    worker_ = std::thread([this, job = std::move(job), &smoothness, frameReady = std::move(frameReady),
                           done = std::move(done)]() mutable {
        run(std::move(job), smoothness, std::move(frameReady), std::move(done));
    });
}

void TransitionRunner::stop() { stop_ = true; }

bool TransitionRunner::wait(int ms) {
    {
        std::unique_lock lock(stateMutex_);
        if (!finished_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return !running_.load(); }))
            return false;
    }
    if (worker_.joinable()) worker_.join();
    return true;
}

void TransitionRunner::paintCanvas(QPainter& painter, const QRegion& region) const {
    std::lock_guard lock(canvasMutex_);
    for (const QRect& r : region & canvas_.rect()) painter.drawImage(r.topLeft(), canvas_, r);
}

QImage TransitionRunner::canvas() const {
    std::lock_guard lock(canvasMutex_);
    return canvas_.copy();
}

void TransitionRunner::run(TransitionJob job, std::atomic<int>& smoothness, FrameReady frameReady, Done done) {
    using std::chrono::milliseconds;
    const milliseconds started = clock_->now();
    // Blits are fastest between images of one format.
    const QImage picture = job.picture.convertToFormat(
        job.picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QRect window;
    {
        std::lock_guard lock(canvasMutex_);
        window = canvas_.rect();
    }
    const int effect = resolveEffect(job.effect, job.flashAllowed);
    if (effect > kDirectSwitch && effect < kTransitionEffects) {
        const int s = std::clamp(smoothness.load(), 0, kMaxTransitionSmoothness);
        const bool covers = QRect(job.picturePos, picture.size()).contains(window);
        const std::vector<TransitionStep> steps = transitionSteps(effect, window, s, covers);
        bool cut = false;
        for (const TransitionStep& step : steps) {
            if (stop_ || clock_->now() - started > milliseconds(kTransitionLimitMs)) {
                cut = true;
                break;
            }
            paintStep(step, picture, job.picturePos, job.background);
            QRegion dirty = step.erase | step.reveal;
            if (!step.scrollFrom.isEmpty()) dirty |= step.scrollFrom.translated(step.scrollBy) & window;
            if (step.flashLevel >= 0) dirty = window;
            if (frameReady) frameReady(dirty);
            if (step.delayMs > 0) clock_->sleepFor(milliseconds(step.delayMs));
        }
        // A window without area says nothing about the machine's speed.
        if (!cut && !steps.empty() && clock_->now() - started < milliseconds(kSmoothnessRaiseBeforeMs))
            smoothness = std::min(kMaxTransitionSmoothness, s + kSmoothnessRaise);
    }
    paintFull(picture, job.picturePos, job.background);
    if (frameReady) frameReady(QRegion(window));
    if (done) done();
    finish();
}

void TransitionRunner::finish() {
    {
        std::lock_guard lock(stateMutex_);
        running_ = false;
    }
    finished_.notify_all();
}

void TransitionRunner::paintStep(const TransitionStep& step, const QImage& picture, QPoint picturePos,
                                 QColor background) {
    std::lock_guard lock(canvasMutex_);
    paintTransitionStep(canvas_, step, picture, picturePos, background);
}

void TransitionRunner::paintFull(const QImage& picture, QPoint picturePos, QColor background) {
    std::lock_guard lock(canvasMutex_);
    if (canvas_.isNull()) return;  // a window without area has nothing to show
    paintTransitionPicture(canvas_, picture, picturePos, background);
}

void paintTransitionStep(QImage& canvas, const TransitionStep& step, const QImage& picture, QPoint picturePos,
                         QColor background) {
    if (canvas.isNull()) return;
    if (!step.scrollFrom.isEmpty()) scrollImage(canvas, step.scrollFrom, step.scrollBy);
    QPainter p(&canvas);
    if (!step.erase.isEmpty()) {
        for (const QRect& r : step.erase) p.fillRect(r, background);
    }
    if (step.flashLevel >= 0) {
        const QRect placed = QRect(picturePos, picture.size()) & canvas.rect();
        drawPicture(p, QRegion(canvas.rect()), picture, picturePos, background);
        if (step.flashLevel < step.flashLevels) {
            // The picture's colours ANDed with the mask: a posterised tint
            // that brightens into the true colours.
            p.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
            p.fillRect(placed, flashMask(background, step.flashLevel, step.flashLevels));
        }
        return;
    }
    if (!step.reveal.isEmpty()) {
        p.setClipRegion(step.reveal);
        drawPicture(p, step.reveal, picture, picturePos + step.offset, background);
    }
}

void paintTransitionPicture(QImage& canvas, const QImage& picture, QPoint picturePos, QColor background) {
    if (canvas.isNull()) return;
    QPainter p(&canvas);
    drawPicture(p, QRegion(canvas.rect()), picture, picturePos, background);
}

}  // namespace melnix
