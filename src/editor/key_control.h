// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The singer's key beside the transport: a spin box of -6..+6 semitones
// right of the import button, for wave and MIDI songs. It follows the
// transport (each song brings its own key: refresh() when one opens) and
// the button it sits beside.
// Ctrl+Up and Ctrl+Down move the key, Ctrl+0 and the box's menu set it back.

#include <QKeyCombination>
#include <QObject>

class QMenu;
class QSpinBox;
class QWidget;

namespace melnix {

class Transport;

inline constexpr QKeyCombination kKeyUp{Qt::ControlModifier, Qt::Key_Up};
inline constexpr QKeyCombination kKeyDown{Qt::ControlModifier, Qt::Key_Down};
inline constexpr QKeyCombination kKeyReset{Qt::ControlModifier, Qt::Key_0};

class KeyControl : public QObject {
public:
    // beside: the control it is placed right of, whatever size the window has.
    KeyControl(QWidget* window, QWidget* beside, Transport& transport);

    QSpinBox* spinBox() const { return box_; }
    // Shows the open song's key and whether it has one.
    void refresh();
    // A semitone up or down, or back to the song's own key; shown at once.
    void step(int delta);
    void reset();
    // Raise, lower and reset, with their keys, into a menu (the box's own
    // and the window menu).
    void addItems(QMenu& menu);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* beside_;
    Transport& transport_;
    QSpinBox* box_;
};

}  // namespace melnix
