// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/title_room.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLayout>
#include <QMessageBox>
#include <QSpacerItem>
#include <algorithm>

namespace melnix {
namespace {
// An icon, three buttons and the margins of the common window managers.
constexpr int kDecorationWidth = 130;
}  // namespace

int titleBarWidth(const QString& title) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    return QFontMetrics(bold).horizontalAdvance(title) + kDecorationWidth;
}

void makeRoomForTitle(QMessageBox& box) {
    // The box fixes its own size from its layout; a spacer across the bottom
    // is the width it cannot shrink below.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    grid->addItem(new QSpacerItem(titleBarWidth(box.windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

void widenForTitle(QWidget& dialog) {
    const int needed = titleBarWidth(dialog.windowTitle());
    // Some dialogs (the input dialog) make their layout only when asked for
    // their size.
    (void)dialog.sizeHint();
    if (QLayout* layout = dialog.layout()) {
        // A layout may fix the size itself (an input dialog's does): a spacer
        // as wide as the title is what it then keeps to.
        const QMargins m = layout->contentsMargins();
        layout->addItem(new QSpacerItem(needed - m.left() - m.right(), 0, QSizePolicy::Minimum, QSizePolicy::Fixed));
    } else if (dialog.minimumWidth() == dialog.maximumWidth()) {
        if (needed > dialog.width()) dialog.setFixedWidth(needed);
    } else {
        dialog.setMinimumWidth(std::max(dialog.minimumWidth(), needed));
    }
}

}  // namespace melnix
