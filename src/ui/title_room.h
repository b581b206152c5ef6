// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window titles that the desktop's title bar shows whole: the window
// manager cuts a title to the window's width, and a message box sizes itself
// by its text alone ("The video has been exported" over a short path).

#include <QString>

class QMessageBox;
class QWidget;

namespace melnix {

// The width a window needs for its title bar to show title whole: the text
// in a bold face (as most title bars draw it) and room for the window
// manager's icon and buttons.
int titleBarWidth(const QString& title);

// Widens a message box so that its title fits.
void makeRoomForTitle(QMessageBox& box);
// Widens a dialog so that its title fits (a fixed-size one keeps its
// height). Called once its title and contents are set.
void widenForTitle(QWidget& dialog);

}  // namespace melnix
