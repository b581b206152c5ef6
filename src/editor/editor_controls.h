// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor window's controls, built from the layout table: typed access
// instead of casts, and the switching that concerns many controls at once
// (the transport during an edit, the action and confirm buttons, the line
// actions while the right button may hold a line).

#include <QString>
#include <functional>
#include <map>
#include <vector>

#include "editor/core/action_enabling.h"
#include "editor/editor_ids.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QPoint;
class QPushButton;
class QRadioButton;
class QSlider;
class QToolButton;
class QWidget;

namespace melnix {

class ProgressSlider;

class EditorControls {
public:
    // Builds every control of the table as a child of window; placement
    // changes go to onPlacement (+1 up, -1 down).
    EditorControls(QWidget* window, std::function<void(int)> onPlacement);

    QWidget* control(int id) const;
    QAbstractButton* button(int id) const;
    QLabel* label(int id) const;
    QPushButton* pauseButton() const { return pauseButton_; }
    QComboBox* lineBox() const { return lineBox_; }
    ProgressSlider* slider() const { return slider_; }
    QSlider* volume() const { return volume_; }
    QCheckBox* hints() const { return hints_; }
    const std::vector<QRadioButton*>& speedRadios() const { return speedRadios_; }

    void setButtonIcon(int id, int iconId);
    void setLabelText(int id, const QString& text);

    // Off during an edit: the transport, the slider and the clock texts.
    void setTransportEnabled(bool on);
    bool transportEnabled() const { return transportEnabled_; }
    // A song that starts playing lets the time line's gestures work again.
    void setTransportFlag(bool on) { transportEnabled_ = on; }
    // The confirm and cancel buttons of mode in place of the action buttons;
    // EditMode::None brings the action buttons back.
    void showEditButtons(EditMode mode);
    void enableLineActions(const ActionEnabling& e);
    void holdLineActions();

    // The id of the visible control at point, or -1; and a control's tip.
    int controlAt(const QPoint& point) const;
    QString tip(int id) const;

private:
    QWidget* window_;
    std::map<int, QWidget*> controls_;
    std::map<int, QString> tips_;
    QComboBox* lineBox_ = nullptr;
    ProgressSlider* slider_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* hints_ = nullptr;
    QPushButton* pauseButton_ = nullptr;
    std::vector<QRadioButton*> speedRadios_;
    bool transportEnabled_ = true;
};

}  // namespace melnix
