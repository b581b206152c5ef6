// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/key_control.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMenu>
#include <QSpinBox>

#include "audio/stretcher.h"
#include "editor/editor_text.h"
#include "playback/core/transport.h"

namespace melnix {
namespace {


constexpr int kGap = 6;
constexpr int kWidth = 84;

QString keyName(QKeyCombination key) { return QKeySequence(key).toString(QKeySequence::NativeText); }

}  // namespace

KeyControl::KeyControl(QWidget* window, QWidget* beside, Transport& transport)
    : QObject(window), beside_(beside), transport_(transport), box_(new QSpinBox(window)) {
    box_->setObjectName("KeyControl");
    box_->setRange(kLowestKey, kHighestKey);
    box_->setPrefix(EditorText::tr("升降调 "));
    box_->setToolTip(EditorText::tr("升高或降低歌曲的音调(半音,-6到+6),速度不变;每首歌曲各自记住") + "\n" +
                     EditorText::tr("%1 升调,%2 降调,%3 或右键菜单中的“复 位”恢复原调")
                         .arg(keyName(kKeyUp), keyName(kKeyDown), keyName(kKeyReset)));
    box_->setFocusPolicy(Qt::ClickFocus);
    box_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu menu(box_);
        addItems(menu);
        menu.exec(box_->mapToGlobal(at));
    });
    connect(box_, &QSpinBox::valueChanged, this, [this](int value) {
        if (value != transport_.key()) box_->setValue(transport_.setKey(value));
    });
    // The window lays the button out anew; a song opening refreshes the box
    // with the transport's other controls.
    if (beside_) beside_->installEventFilter(this);
    refresh();
    box_->show();
}

void KeyControl::refresh() {
    if (beside_) {
        const QRect b = beside_->geometry();
        const QRect want(b.x() + b.width() + kGap, b.y(), kWidth, b.height());
        if (box_->geometry() != want) box_->setGeometry(want);
    }
    const bool on = transport_.keyAvailable();
    if (box_->isEnabled() != on) box_->setEnabled(on);
    if (box_->value() != transport_.key()) {
        const QSignalBlocker quiet(box_);
        box_->setValue(transport_.key());
    }
}

bool KeyControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched == beside_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) refresh();
    return false;
}

void KeyControl::step(int delta) {
    transport_.stepKey(delta);
    refresh();
}

void KeyControl::reset() {
    transport_.setKey(0);
    refresh();
}

void KeyControl::addItems(QMenu& menu) {
    const bool on = transport_.keyAvailable();
    const int key = transport_.key();
    QAction* up = menu.addAction(EditorText::tr("升高音调"), this, [this] { step(+1); });
    up->setShortcut(kKeyUp);
    up->setEnabled(on && key < kHighestKey);
    QAction* down = menu.addAction(EditorText::tr("降低音调"), this, [this] { step(-1); });
    down->setShortcut(kKeyDown);
    down->setEnabled(on && key > kLowestKey);
    QAction* reset = menu.addAction(EditorText::tr("复 位"), this, [this] { this->reset(); });
    reset->setShortcut(kKeyReset);
    reset->setEnabled(on && key != 0);
}

}  // namespace melnix
