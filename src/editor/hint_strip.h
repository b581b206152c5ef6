// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hint strip at the bottom of the editor: what the mouse rests on,
// explained. A long hint widens the strip over the clock boxes.

#include <QPoint>
#include <QString>
#include <QTimer>

#include "ui/tip_text.h"

namespace melnix {

struct EditorContext;

class HintStrip : public TipDisplay {
public:
    explicit HintStrip(EditorContext& ctx);

    // The text for a point of the editor window; empty for none.
    QString tipTextAt(const QPoint& point) const;

    void showTip(const QString& text) override;
    void hideTip() override;
    // Tells the user what just happened, for a few seconds, even with the
    // hints switched off.
    void flash(const QString& text);
    QString text() const;
    // The keys that time the lyric, for the sync button's tip.
    QString syncKeysTip() const;

private:
    void show(const QString& text);

    EditorContext& ctx_;
    QTimer flashTimer_;
    QString shown_;  // the whole text, however much of it fits
};

}  // namespace melnix
