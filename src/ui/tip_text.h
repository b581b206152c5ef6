// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Help texts at the mouse cursor: a window that has something to say about a
// point implements TipTextSource; the tip watcher asks the window under a
// resting cursor and hands what it gets to a TipDisplay (the editor's hint
// strip).

#include <QPoint>
#include <QString>

namespace melnix {

class TipTextSource {
public:
    virtual ~TipTextSource() = default;
    // The text for a point in this window's coordinates; empty for none.
    virtual QString tipTextAt(const QPoint& point) const = 0;
};

class TipDisplay {
public:
    virtual ~TipDisplay() = default;
    virtual void showTip(const QString& text) = 0;
    // The tip went away: the display's default text comes back.
    virtual void hideTip() = 0;
};

}  // namespace melnix
