// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/clock_box.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QPainter>

namespace melnix {

ClockBox::ClockBox(const QString& text, QWidget* parent) : QLabel(text, parent) {
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setAlignment(Qt::AlignCenter);
    setTextFormat(Qt::PlainText);
}

const ClockBox::Glyph& ClockBox::glyph(QChar c) {
    auto it = glyphs_.find(c);
    if (it == glyphs_.end()) {
        Glyph g{QStaticText(QString(c)), QFontMetricsF(font()).horizontalAdvance(c)};
        g.text.setTextFormat(Qt::PlainText);
        g.text.prepare(QTransform(), font());
        it = glyphs_.insert(c, g);
    }
    return *it;
}

void ClockBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    drawFrame(&p);
    const QString t = text();
    qreal width = 0;
    for (QChar c : t) width += glyph(c).advance;
    const QRectF box = contentsRect();
    const QFontMetricsF metrics(font());
    QPointF at(box.left() + (box.width() - width) / 2, box.top() + (box.height() - metrics.height()) / 2);
    p.setFont(font());
    p.setPen(palette().color(isEnabled() ? QPalette::Normal : QPalette::Disabled, foregroundRole()));
    for (QChar c : t) {
        const Glyph& g = glyph(c);
        p.drawStaticText(at, g.text);
        at.rx() += g.advance;
    }
}

void ClockBox::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange) glyphs_.clear();
    QLabel::changeEvent(event);
}

}  // namespace melnix
