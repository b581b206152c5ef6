// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QValidator>
#include <algorithm>

#include "editor/clock_box.h"
#include "audio/speed_table.h"
#include "editor/editor_layout.h"
#include "editor/progress_slider.h"
#include "lyrics/lyric_text.h"
#include "playback/core/volume.h"
#include "ui/app_icons.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// The line box takes at most a line's bytes of GBK text; what would not fit
// is refused rather than cut off later.
class GbkLengthValidator : public QValidator {
public:
    GbkLengthValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int&) const override {
        return static_cast<int>(toGbk(input).size()) > maxBytes_ ? Invalid : Acceptable;
    }

private:
    int maxBytes_;
};

}  // namespace

EditorControls::EditorControls(QWidget* window, std::function<void(int)> onPlacement) : window_(window) {
    for (const ControlSpec& spec : editorControls()) {
        QWidget* w = nullptr;
        switch (spec.kind) {
            case ControlKind::Button: {
                auto* b = new QPushButton(spec.caption, window);
                b->setAutoDefault(false);
                w = b;
                break;
            }
            case ControlKind::IconButton: {
                auto* b = new QToolButton(window);
                const int side = std::min(spec.rect.width(), spec.rect.height()) - 6;
                b->setIconSize(QSize(side, side));
                w = b;
                break;
            }
            case ControlKind::LineBox: {
                lineBox_ = new QComboBox(window);
                lineBox_->setEditable(true);
                lineBox_->setInsertPolicy(QComboBox::NoInsert);
                w = lineBox_;
                break;
            }
            case ControlKind::UpDown: {
                auto* box = new QWidget(window);
                auto* up = new QToolButton(box);
                auto* down = new QToolButton(box);
                up->setArrowType(Qt::UpArrow);
                down->setArrowType(Qt::DownArrow);
                up->setGeometry(0, 0, spec.rect.width(), spec.rect.height() / 2);
                down->setGeometry(0, spec.rect.height() / 2, spec.rect.width(), spec.rect.height() / 2);
                QObject::connect(up, &QToolButton::clicked, window, [onPlacement] { onPlacement(+1); });
                QObject::connect(down, &QToolButton::clicked, window, [onPlacement] { onPlacement(-1); });
                w = box;
                break;
            }
            case ControlKind::Trackbar: {
                volume_ = new QSlider(Qt::Vertical, window);
                volume_->setRange(0, kMaxVolumeLevel);
                volume_->setInvertedAppearance(true);
                volume_->setValue(0);
                w = volume_;
                break;
            }
            case ControlKind::Radio: {
                auto* r = new QRadioButton(window);
                r->setAutoExclusive(false);
                speedRadios_.push_back(r);
                w = r;
                break;
            }
            case ControlKind::Static: {
                auto* l = new ClockBox(spec.caption, window);
                w = l;
                break;
            }
            case ControlKind::Label: w = new QLabel(spec.caption, window); break;
            case ControlKind::HintCheck:
                hints_ = new QCheckBox(spec.caption, window);
                hints_->setChecked(true);
                w = hints_;
                break;
            case ControlKind::Separator: {
                auto* f = new QFrame(window);
                f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
                w = f;
                break;
            }
            case ControlKind::Slider: slider_ = new ProgressSlider(window, window); w = slider_; break;
        }
        w->setObjectName(QString("control%1").arg(spec.id));
        w->setGeometry(spec.rect);
        // A label that could take the focus lays its text out as a document at
        // every change: the position, ten times a second while playing.
        const bool label = spec.kind == ControlKind::Static || spec.kind == ControlKind::Label;
        w->setFocusPolicy(spec.kind == ControlKind::LineBox ? Qt::StrongFocus : label ? Qt::NoFocus : Qt::TabFocus);
        if (spec.startsHidden) w->hide();
        controls_[spec.id] = w;
        if (!spec.tooltip.isEmpty()) tips_[spec.id] = spec.tooltip;
    }
    pauseButton_ = static_cast<QPushButton*>(control(idPause));
    setButtonIcon(idMute, kIconSoundOn);
    setButtonIcon(idVocal, kIconVocalsKept);
    setButtonIcon(idRuler, kIconWaveform);
    setButtonIcon(idDoubleScale, kIconDoubleScale);
    static_cast<QToolButton*>(control(idDoubleScale))->setCheckable(true);
    control(idVocal)->setEnabled(false);
    lineBox_->setEnabled(false);
    lineBox_->setValidator(new GbkLengthValidator(kMaxLineBytes, lineBox_));
    speedRadios_[kNormalSpeedIndex]->setChecked(true);
    for (QRadioButton* r : speedRadios_) r->setEnabled(false);
    control(idSave)->setEnabled(false);
}

QWidget* EditorControls::control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

QAbstractButton* EditorControls::button(int id) const { return qobject_cast<QAbstractButton*>(control(id)); }

QLabel* EditorControls::label(int id) const { return qobject_cast<QLabel*>(control(id)); }

void EditorControls::setButtonIcon(int id, int iconId) { button(id)->setIcon(melnixIcon(iconId)); }

void EditorControls::setLabelText(int id, const QString& text) { label(id)->setText(text); }

void EditorControls::setTransportEnabled(bool on) {
    transportEnabled_ = on;
    for (int id : kTransportControlIds) control(id)->setEnabled(on);
    control(idSlider)->setVisible(on);
}

void EditorControls::showEditButtons(EditMode mode) {
    const bool editing = mode != EditMode::None;
    for (int id : kConfirmIds) control(id)->hide();
    for (int id : kActionIds) control(id)->setVisible(!editing);
    control(idCancel)->setVisible(editing);
    if (editing) control(kConfirmIds[static_cast<int>(mode)])->show();
}

void EditorControls::enableLineActions(const ActionEnabling& e) {
    control(idAdd)->setEnabled(e.add);
    control(idModify)->setEnabled(e.modify);
    control(idDelete)->setEnabled(e.modify);
    control(idPlacement)->setEnabled(e.modify);
    control(idSplit)->setEnabled(e.split);
    control(idMerge)->setEnabled(e.merge);
    control(idReference)->setEnabled(e.reference);
}

void EditorControls::holdLineActions() {
    for (int id : kLineActionIds) control(id)->setEnabled(false);
}

int EditorControls::controlAt(const QPoint& point) const {
    for (const auto& [id, w] : controls_)
        if (w->isVisible() && w->geometry().contains(point)) return id;
    return -1;
}

QString EditorControls::tip(int id) const {
    auto it = tips_.find(id);
    return it == tips_.end() ? QString() : it->second;
}

}  // namespace melnix
