#include "editor/hint_strip.h"

#include <QCheckBox>
#include <QCoreApplication>

#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/editor_layout.h"
#include "editor/editor_settings.h"
#include "editor/timeline_view.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

constexpr size_t kLongHint = 76;  // bytes; a longer hint widens the strip over the statics
constexpr int kClockBoxIds[] = {idPosition, idLength, idSize};
constexpr int kFlashMs = 4000;

}  // namespace

HintStrip::HintStrip(EditorContext& ctx) : ctx_(ctx) {
    flashTimer_.setSingleShot(true);
    flashTimer_.setInterval(kFlashMs);
    QObject::connect(&flashTimer_, &QTimer::timeout, [this] { hideTip(); });
}

QString HintStrip::syncKeysTip() const {
    return QCoreApplication::translate("EditorDialog", " 键盘: %1 同步, 退格键 退回一字")
        .arg(syncKeyName(ctx_.settings->syncKey));
}

QString HintStrip::tipTextAt(const QPoint& point) const {
    const EditorControls& c = *ctx_.controls;
    const int id = c.controlAt(point);
    if (id >= 0) {
        if (id == idLineBox && !c.control(id)->isEnabled())
            return QCoreApplication::translate("EditorDialog", "单句歌词录入修改组合框(点击[添加][修改]...后才能用)");
        if (id == idSync) return c.tip(id) + syncKeysTip();
        return c.tip(id);
    }
    const TimelineView& tl = *ctx_.timeline;
    if (tl.subtitleArea().contains(point)) return subtitleAreaTip();
    if (tl.waveformArea().contains(point)) return waveformAreaTip();
    if (tl.adjustArea().contains(point)) return adjustAreaTip();
    return {};
}

void HintStrip::showTip(const QString& text) {
    // A message of the last few seconds stays until it has been read.
    if (!ctx_.controls->hints()->isChecked() || flashTimer_.isActive()) return;
    show(text);
}

void HintStrip::flash(const QString& text) {
    show(text);
    flashTimer_.start();
}

QString HintStrip::text() const { return ctx_.controls->hints()->text(); }

void HintStrip::show(const QString& text) {
    QCheckBox* hints = ctx_.controls->hints();
    QRect r = hints->geometry();
    if (toGbk(text).size() > kLongHint) {
        r.setRight(ctx_.controls->control(idSize)->geometry().right());
        for (int id : kClockBoxIds) ctx_.controls->control(id)->hide();
    }
    hints->setGeometry(r);
    hints->setText(text);
}

void HintStrip::hideTip() {
    if (flashTimer_.isActive()) return;
    QCheckBox* hints = ctx_.controls->hints();
    QRect r = hints->geometry();
    r.setRight(ctx_.controls->control(idPosition)->x() - 4);
    hints->setGeometry(r);
    hints->setText(defaultHintText());
    for (int id : kClockBoxIds) ctx_.controls->control(id)->show();
}

}  // namespace melnix
