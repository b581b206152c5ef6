// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A sunken box whose short text changes many times a second (the song's
// position). Each character is laid out once and drawn from that: laying
// the whole text out at every change cost more than the rest of the clock's
// step.

#include <QHash>
#include <QLabel>
#include <QStaticText>

namespace melnix {

class ClockBox : public QLabel {
public:
    ClockBox(const QString& text, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    struct Glyph {
        QStaticText text;
        qreal advance = 0;
    };
    const Glyph& glyph(QChar c);

    QHash<QChar, Glyph> glyphs_;
};

}  // namespace melnix
