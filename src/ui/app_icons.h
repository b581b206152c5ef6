// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program's own icons and cursors, drawn as SVG and built into the
// program as Qt resources; the numbers are the resource ids the rest of the
// program speaks of.

#include <QCursor>
#include <QIcon>

namespace melnix {

enum IconId {
    kIconProgram = 128,
    kIconSoundOn = 130,
    kIconMuted = 131,
    kIconRuler = 132,
    kIconWaveform = 133,
    kIconDoubleScale = 134,
    kIconVocalsKept = 141,
    kIconVocalsRemoved = 143,
};

enum CursorId {
    kCursorLinkFirst = 137,  // 137, 138 and 139 take turns over a hyperlink
    kCursorLinkLast = 139,
    kCursorPicture = 149,
};

// A null icon for an id the program has no icon for.
QIcon melnixIcon(int id);

// The arrow for an id the program has no cursor for.
QCursor melnixCursor(int id);

}  // namespace melnix
