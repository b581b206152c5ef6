// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a window manager is told about a window beyond Qt's flags.

class QWidget;

namespace melnix {

// Keeps a top-level window out of the taskbar and the pager (a tool window
// of its own has an entry in some of them). Call before the window is shown;
// on a desktop other than X11 it does nothing.
void keepOffTaskbar(QWidget& window);

}  // namespace melnix
