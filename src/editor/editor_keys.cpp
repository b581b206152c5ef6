// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_keys.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QRadioButton>
#include <QWidget>

#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/editor_settings.h"
#include "editor/key_control.h"
#include "editor/line_editor.h"
#include "editor/show_bridge.h"
#include "editor/timeline_view.h"
#include "editor/transport_panel.h"

namespace melnix {
namespace {

// A time shift with Ctrl and an arrow key: a tenth of a second.
constexpr int kArrowShiftCs = 10;

bool isKey(int pressed, int chosen) {
    // Both Enter keys count as the chosen Return.
    return pressed == chosen || (chosen == Qt::Key_Return && pressed == Qt::Key_Enter);
}

}  // namespace

EditorKeys::EditorKeys(EditorContext& ctx, const EditorSettings& settings) : ctx_(ctx), settings_(settings) {}

bool EditorKeys::typing() const {
    const QWidget* focus = QApplication::focusWidget();
    return ctx_.editor->mode() != EditMode::None ||
           (focus && (focus == ctx_.controls->lineBox() || ctx_.controls->lineBox()->isAncestorOf(focus)) &&
            ctx_.controls->lineBox()->isEnabled());
}

bool EditorKeys::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::WindowDeactivate && watched == ctx_.window && syncHeld_) {
        // The key's release goes elsewhere now: the hold ends here.
        syncHeld_ = false;
        ctx_.editor->syncReleased();
        return false;
    }
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
    auto* w = qobject_cast<QWidget*>(watched);
    if (!w || w->window() != ctx_.window || ctx_.show->running() || typing()) return false;
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::KeyPress) return press(key->key(), key->modifiers(), key->isAutoRepeat());
    return release(key->key(), key->isAutoRepeat());
}

bool EditorKeys::press(int key, Qt::KeyboardModifiers modifiers, bool repeat) {
    const bool plain = (modifiers & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && isKey(key, settings_.syncKey)) {
        // Holding the key does not tap again; the key works whenever the
        // button would.
        if (!repeat && !syncHeld_ && ctx_.controls->control(idSync)->isEnabled()) {
            syncHeld_ = true;
            ctx_.editor->syncPressed();
        }
        return true;
    }
    if (plain && key == settings_.stepBackKey) {
        if (!repeat) ctx_.editor->stepBack();
        return true;
    }
    if (plain && key == Qt::Key_Space) {
        if (!repeat) {
            ctx_.panel->stopResume();
            ctx_.panel->playOrPause();
            ctx_.editor->buttonAction();
        }
        return true;
    }
    const QKeyCombination pressed(modifiers & ~Qt::KeypadModifier, Qt::Key(key));
    if (ctx_.key && (pressed == kKeyUp || pressed == kKeyDown || pressed == kKeyReset)) {
        if (pressed == kKeyReset) ctx_.key->reset();
        else ctx_.key->step(pressed == kKeyUp ? +1 : -1);
        return true;
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right) return false;
    if (modifiers == Qt::ControlModifier) {
        ctx_.editor->shiftLines(false, key == Qt::Key_Left ? -kArrowShiftCs : kArrowShiftCs);
        return true;
    }
    // The arrows belong to the controls that use them.
    const QWidget* focus = QApplication::focusWidget();
    if (!plain || qobject_cast<const QAbstractSlider*>(focus) || qobject_cast<const QRadioButton*>(focus)) return false;
    ctx_.timeline->viewButton(key == Qt::Key_Left ? ViewButton::Left : ViewButton::Right);
    return true;
}

bool EditorKeys::release(int key, bool repeat) {
    if (!isKey(key, settings_.syncKey)) return false;
    if (!repeat && syncHeld_) {
        syncHeld_ = false;
        ctx_.editor->syncReleased();
    }
    return true;
}

}  // namespace melnix
