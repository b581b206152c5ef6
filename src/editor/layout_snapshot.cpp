// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/layout_snapshot.h"

#include "editor/core/relayout.h"

namespace melnix {
namespace {
constexpr int kParked = 3000;
constexpr int kMinClient = 5;

IntRect toInt(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
QRect toQt(const IntRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }
}  // namespace

void LayoutSnapshot::Take(QWidget* owner, const QRect& stretch) {
    if (taken_ || !owner) return;
    const QRect frame = owner->frameGeometry();
    if (frame.left() >= kParked || frame.top() >= kParked) return;
    if (owner->width() < kMinClient || owner->height() < kMinClient) return;
    owner_ = owner;
    windowRect_ = owner->geometry();
    clientSize_ = owner->size();
    stretch_ = stretch.intersected(owner->rect());
    children_.clear();
    for (QWidget* w : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (w->isWindow()) continue;
        children_.push_back({w, w->geometry(), (w->isEnabled() ? 1 : 0) | (w->isVisibleTo(owner) ? 2 : 0)});
    }
    taken_ = true;
}

void LayoutSnapshot::Relayout(QWidget* owner) {
    if (!taken_ || owner != owner_ || children_.empty()) return;
    const int w1 = owner->width(), h1 = owner->height();
    if (w1 < kMinClient || h1 < kMinClient) return;
    const IntRect stretch = stretch_.isEmpty() ? IntRect{} : toInt(stretch_);
    for (Child& c : children_) {
        if (!c.widget) continue;
        c.widget->setGeometry(
            toQt(relayoutRect(toInt(c.rect), stretch, clientSize_.width(), clientSize_.height(), w1, h1)));
    }
}

void LayoutSnapshot::Restore(QWidget* owner) {
    if (!taken_ || owner != owner_) return;
    for (Child& c : children_)
        if (c.widget) c.widget->setGeometry(c.rect);
    owner->setGeometry(windowRect_);
    owner->update();
}

void LayoutSnapshot::HideAll(QWidget* owner) {
    if (!taken_ || owner != owner_) return;
    for (Child& c : children_)
        if (c.widget) c.widget->setGeometry(c.rect.translated(kParked, kParked));
}

}  // namespace melnix
