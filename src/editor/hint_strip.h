#pragma once
// The hint strip at the bottom of the editor: what the mouse rests on,
// explained. A long hint widens the strip over the clock boxes.

#include <QPoint>
#include <QString>

#include "ui/tip_text.h"

namespace melnix {

struct EditorContext;

class HintStrip : public TipDisplay {
public:
    explicit HintStrip(EditorContext& ctx) : ctx_(ctx) {}

    // The text for a point of the editor window; empty for none.
    QString tipTextAt(const QPoint& point) const;

    void showTip(const QString& text) override;
    void hideTip() override;

private:
    EditorContext& ctx_;
};

}  // namespace melnix
