// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A snapshot of a window and its child controls, to lay the children out
// again for a new size around one stretch rectangle, hide them all, or put
// everything back exactly as it was.

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <vector>

namespace melnix {

class LayoutSnapshot {
public:
    // Ignored when a snapshot exists, when the owner is parked off-screen or
    // when its client area is smaller than 5 pixels either way.
    void Take(QWidget* owner, const QRect& stretch = QRect());
    void Relayout(QWidget* owner);
    void Restore(QWidget* owner);
    void HideAll(QWidget* owner);
    bool taken() const { return taken_; }
    void clear() { taken_ = false; }

private:
    struct Child {
        QPointer<QWidget> widget;
        QRect rect;
        int state = 0;  // bit 0 enabled, bit 1 visible
    };

    QPointer<QWidget> owner_;
    bool taken_ = false;
    QRect windowRect_;
    QSize clientSize_;
    QRect stretch_;
    std::vector<Child> children_;
};

}  // namespace melnix
