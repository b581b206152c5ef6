#pragma once
// The singer's key beside the transport: a spin box of -6..+6 semitones
// right of the import button, for wave and MIDI songs. It follows the
// transport (each song brings its own key) and the button it sits beside.

#include <QObject>
#include <QTimer>

class QSpinBox;
class QWidget;

namespace melnix {

class Transport;

class KeyControl : public QObject {
public:
    // beside: the control it is placed right of, whatever size the window has.
    KeyControl(QWidget* window, QWidget* beside, Transport& transport);

    QSpinBox* spinBox() const { return box_; }
    // Shows the open song's key and whether it has one.
    void refresh();

private:
    QWidget* beside_;
    Transport& transport_;
    QSpinBox* box_;
    QTimer follow_;
};

}  // namespace melnix
