// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where every control of the editor window sits, its kind, caption and
// tooltip: one table, so that the layout snapshot and the drawing areas can
// rely on fixed rectangles.

#include <QRect>
#include <QString>
#include <vector>

namespace melnix {

enum class ControlKind { Button, IconButton, LineBox, UpDown, Trackbar, Radio, Static, Label, HintCheck, Separator, Slider };

struct ControlSpec {
    int id;
    ControlKind kind;
    QString caption;
    QString tooltip;
    QRect rect;
    bool startsHidden = false;
};

// The client size the table is made for.
constexpr int kEditorWidth = 640;
constexpr int kEditorHeight = 434;

std::vector<ControlSpec> editorControls();

// Texts the editor shows besides the controls' own.
QString defaultHintText();
QString subtitleAreaTip();
QString waveformAreaTip();
QString adjustAreaTip();

}  // namespace melnix
