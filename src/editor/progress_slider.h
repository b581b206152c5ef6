// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The song position slider (control 1060): a sunken groove and a raised
// thumb, dragged or clicked with the left button. It reports the three
// phases of a drag to its owner as commands.

#include <QWidget>

#include "editor/core/slider_math.h"
#include "ui/command_ids.h"

namespace melnix {

class ProgressSlider : public QWidget {
    Q_OBJECT
public:
    ProgressSlider(QWidget* owner, QObject* commandTarget);

    void setRange(int a, int b) { math_.setRange(a, b); }
    void setPos(int v);
    int getPos() const { return math_.getPos(width(), height()); }
    const SliderMath& math() const { return math_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QObject* commandTarget_;
    SliderMath math_;
    bool dragging_ = false;
};

}  // namespace melnix
