// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/hint_strip.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QStyle>
#include <algorithm>

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

QString HintStrip::text() const { return shown_; }

void HintStrip::show(const QString& text) {
    QCheckBox* hints = ctx_.controls->hints();
    shown_ = text;
    QRect r = hints->geometry();
    r.setRight(ctx_.controls->control(idPosition)->x() - 4);
    // The box and its gap before the text.
    const int indicator = hints->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, hints) +
                          hints->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, hints) + 4;
    const QFontMetrics metrics(hints->font());
    const bool wide = toGbk(text).size() > kLongHint || metrics.horizontalAdvance(text) + indicator > r.width();
    if (wide && text != defaultHintText()) {
        r.setRight(ctx_.controls->control(idSize)->geometry().right());
        for (int id : kClockBoxIds) ctx_.controls->control(id)->hide();
    }
    hints->setGeometry(r);
    // What still does not fit ends in an ellipsis; the whole text is the box's tooltip.
    hints->setText(metrics.elidedText(text, Qt::ElideRight, std::max(0, r.width() - indicator)));
    hints->setToolTip(text);
    if (!wide || text == defaultHintText())
        for (int id : kClockBoxIds) ctx_.controls->control(id)->show();
}

void HintStrip::hideTip() {
    if (flashTimer_.isActive()) return;
    show(defaultHintText());
}

}  // namespace melnix
