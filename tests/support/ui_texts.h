// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a window shows, for the checks that English leaves no Chinese text
// and that no caption is cut off by the geometry it is given.

#include <QAbstractButton>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>

#include "ui/title_room.h"

namespace melnix::test {

inline bool hasChinese(const QString& text) {
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(cjk);
}

// Every text the dialog shows.
inline QStringList shownTexts(QWidget& dialog) {
    QStringList texts{dialog.windowTitle()};
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        texts << w->toolTip();
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) texts << g->title();
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) texts << e->toPlainText();
        if (auto* t = qobject_cast<QTableWidget*>(w))
            for (int c = 0; c < t->columnCount(); ++c)
                if (t->horizontalHeaderItem(c)) texts << t->horizontalHeaderItem(c)->text();
    }
    return texts;
}

// Captions that do not fit the widget showing them, the window's title in
// its title bar included.
inline QStringList cutOff(QWidget& dialog, const QList<const QWidget*>& elidedOnPurpose = {}) {
    QStringList cut;
    if (dialog.isWindow() && !dialog.windowTitle().isEmpty() && titleBarWidth(dialog.windowTitle()) > dialog.width())
        cut << dialog.windowTitle();
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisible() || elidedOnPurpose.contains(w)) continue;
        const QFontMetrics fm = w->fontMetrics();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().isEmpty() || l->textFormat() == Qt::RichText ||
                (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text())))
                continue;
            const QRect room = l->contentsRect();
            const bool fits = l->wordWrap()
                                  ? l->heightForWidth(l->width()) <= l->height()
                                  : fm.size(Qt::TextShowMnemonic, l->text()).width() <= room.width() &&
                                        fm.size(Qt::TextShowMnemonic, l->text()).height() <= room.height() + 2;
            if (!fits) cut << l->text();
        } else if (auto* t = qobject_cast<QTableWidget*>(w)) {
            // Titles, and the words of the cells (paths may be shortened).
            QFont bold = t->horizontalHeader()->font();
            bold.setBold(true);
            const QFontMetrics title(bold);
            for (int c = 0; c < t->columnCount(); ++c) {
                const QTableWidgetItem* head = t->horizontalHeaderItem(c);
                if (head && title.horizontalAdvance(head->text()) + 8 > t->columnWidth(c)) cut << head->text();
                for (int r = 0; r < t->rowCount(); ++r) {
                    const QTableWidgetItem* item = t->item(r, c);
                    if (item && !item->text().contains('/') &&
                        fm.horizontalAdvance(item->text()) + 6 > t->columnWidth(c))
                        cut << item->text();
                }
            }
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->text().isEmpty()) continue;
            const QSize text = fm.size(Qt::TextShowMnemonic, b->text());
            // Radio buttons and check boxes draw their mark before the text,
            // as much as the style asks for.
            const int mark = qobject_cast<QPushButton*>(b) ? 4 : b->sizeHint().width() - text.width();
            if (text.width() + mark > b->width() || text.height() > b->height()) cut << b->text();
        }
    }
    return cut;
}

// The texts of a menu's items, its submenus' included.
inline QStringList menuTexts(const QMenu& menu) {
    QStringList texts{menu.title()};
    for (const QAction* a : menu.actions()) {
        if (a->isSeparator()) continue;
        texts << a->text() << a->toolTip();
        if (a->menu()) texts << menuTexts(*a->menu());
    }
    return texts;
}

}  // namespace melnix::test
