#include "app/editor_rules.h"

#include <cstdio>

#include "audio/speed_table.h"

namespace melnix {
namespace {

constexpr size_t kSplitMinBytes = 12;
constexpr size_t kMergeMaxBytes = 31;

}  // namespace

std::string formatClock(int32_t cs) {
    if (cs < 0) cs = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d.%d", cs / 6000, (cs / 10) % 600 / 10, (cs / 10) % 10);
    return buf;
}

std::string formatFileSize(int64_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lldK", static_cast<long long>((bytes + 500) / 1000));
    return buf;
}

int nextSpeedIndex(int current, int chosen) {
    if (chosen < 0 || chosen >= kSpeedCount) return kNormalSpeedIndex;
    return chosen == current ? kNormalSpeedIndex : chosen;
}

ActionEnabling actionEnabling(const LyricSheet& sheet, int lineIndex) {
    ActionEnabling e;
    const LyricLine* line = sheet.lineAt(lineIndex);
    if (!line) return e;
    e.modify = true;
    e.split = line->text.size() >= kSplitMinBytes;
    if (const LyricLine* next = sheet.lineAt(lineIndex + 1)) e.merge = line->text.size() + next->text.size() < kMergeMaxBytes;
    for (int i = 0; i < sheet.lineCount() && !e.reference; ++i)
        e.reference = i != lineIndex && sheet.lineAt(i)->text == line->text;
    return e;
}

int SliderMath::usableWidth(int width, int height) {
    int u = width - height / 2;
    return u < 1 ? 1 : u;
}

void SliderMath::setRange(int a, int b) {
    if (a >= b) return;
    rangeMin = a;
    rangeMax = b;
    rangeSpan = b - a;
}

bool SliderMath::setPos(int v, int width, int height) {
    if (v < rangeMin) v = rangeMin;
    if (v > rangeMax) v = rangeMax;
    const int x = static_cast<int>(int64_t{v} * usableWidth(width, height) / rangeSpan);
    if (x == thumbX) return false;
    thumbX = x;
    return true;
}

int SliderMath::getPos(int width, int height) const {
    const int u = usableWidth(width, height);
    int x = thumbX < 0 ? 0 : (thumbX > u ? u : thumbX);
    return static_cast<int>(int64_t{x} * rangeSpan / u) + rangeMin;
}

bool SliderMath::dragTo(int x, int width, int height) {
    const int u = usableWidth(width, height);
    int t = x - height / 4;
    if (t < 0) t = 0;
    if (t > u) t = u;
    if (t == thumbX) return false;
    thumbX = t;
    return true;
}

IntRect relayoutRect(const IntRect& c, const IntRect& s, int w0, int h0, int w1, int h1) {
    auto sx = [&](int x) { return static_cast<int>(int64_t{x} * w1 / w0); };
    auto sy = [&](int y) { return static_cast<int>(int64_t{y} * h1 / h0); };
    if (s.empty()) return {sx(c.left), sy(c.top), sx(c.right), sy(c.bottom)};
    const int dw = w1 - w0, dh = h1 - h0;
    IntRect r = c;
    if (c.bottom <= s.top) {
        r = {sx(c.left), c.top, sx(c.right), c.bottom};
    } else if (c.top >= s.bottom) {
        r = {sx(c.left), c.top + dh, sx(c.right), c.bottom + dh};
    } else {
        auto yy = [&](int y) { return s.top + static_cast<int>(int64_t{y - s.top} * (s.height() + dh) / s.height()); };
        r.top = yy(c.top);
        r.bottom = yy(c.bottom);
        if (c.right <= s.left) {
            // left of the stretch: x stays
        } else if (c.left >= s.right) {
            r.left = c.left + dw;
            r.right = c.right + dw;
        } else {
            auto xx = [&](int x) {
                return s.left + static_cast<int>(int64_t{x - s.left} * (s.width() + dw) / s.width());
            };
            r.left = xx(c.left);
            r.right = xx(c.right);
        }
    }
    return r;
}

}  // namespace melnix
