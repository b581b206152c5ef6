// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/progress_slider.h"

#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

#include "ui/command_event.h"

namespace melnix {

ProgressSlider::ProgressSlider(QWidget* owner, QObject* commandTarget) : QWidget(owner), commandTarget_(commandTarget) {}

void ProgressSlider::setPos(int v) {
    if (math_.setPos(v, width(), height())) update();
}

void ProgressSlider::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QColor back = palette().color(QPalette::Window);
    p.fillRect(rect(), back);
    const int h = height();
    const QRect groove(0, h / 4, width(), h - 2 * (h / 4));
    qDrawShadePanel(&p, groove, palette(), true, 1);
    const QRect thumb(math_.thumbX, 0, h / 2, h);
    p.fillRect(thumb, back);
    qDrawShadePanel(&p, thumb, palette(), false, 1);
}

void ProgressSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    const int u = SliderMath::usableWidth(width(), height());
    int x = static_cast<int>(event->position().x()) - height() / 4;
    math_.thumbX = x < 0 ? 0 : (x > u ? u : x);
    update();
    postCommand(commandTarget_, kCmdSliderDown);
}

void ProgressSlider::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_ || !(event->buttons() & Qt::LeftButton)) return;
    if (math_.dragTo(static_cast<int>(event->position().x()), width(), height())) {
        update();
        postCommand(commandTarget_, kCmdSliderDrag);
    }
}

void ProgressSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !dragging_) return;
    dragging_ = false;
    postCommand(commandTarget_, kCmdSliderUp);
}

}  // namespace melnix
