// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/desktop_prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QRegularExpression>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "dialogs/about_box.h"
#include "dialogs/exchange_dialog.h"
#include "dialogs/thumbnail_file_dialog.h"
#include "ui/prompt_dialog.h"
#include "ui/title_room.h"

namespace melnix {
namespace {

QMessageBox::StandardButton buttonOf(Answer a) {
    switch (a) {
        case Answer::Yes: return QMessageBox::Yes;
        case Answer::No: return QMessageBox::No;
        case Answer::Cancel: return QMessageBox::Cancel;
    }
    return QMessageBox::No;
}

}  // namespace

Answer DesktopPrompts::ask(QWidget* parent, const QString& text, const QString& title, bool withCancel,
                           Answer byDefault, bool warning) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Question, title, text, buttons, parent);
    box.setDefaultButton(buttonOf(byDefault));
    makeRoomForTitle(box);
    const int r = box.exec();
    return r == QMessageBox::Yes ? Answer::Yes : r == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void DesktopPrompts::message(QWidget* parent, MessageKind kind, const QString& text, const QString& title) {
    const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                   : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                                    : QMessageBox::Critical;
    QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
    makeRoomForTitle(box);
    box.exec();
}

void DesktopPrompts::about(QWidget* parent) { AboutBox(parent).exec(); }

int DesktopPrompts::runDialog(QDialog& dialog) { return dialog.exec(); }

QString DesktopPrompts::openFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter) {
    return QFileDialog::getOpenFileName(parent, title, start, filter);
}

QStringList DesktopPrompts::openFileNames(QWidget* parent, const QString& title, const QString& folder,
                                          const QString& filter, bool thumbnails) {
    if (thumbnails) return ThumbnailFileDialog::getOpenFileNames(parent, title, folder, filter);
    return QFileDialog::getOpenFileNames(parent, title, folder, filter);
}

QString DesktopPrompts::saveFileName(QWidget* parent, const QString& title, const QString& start,
                                     const QString& filter, const QString& defaultSuffix, QString* chosenFilter) {
    // The dialog adds the suffix itself, so that it asks before replacing
    // the file that is really written.
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
    if (chosenFilter) {
        // Each filter brings its own suffix for a name typed without one.
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& picked) {
            const QRegularExpressionMatch m = QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(picked);
            if (m.hasMatch()) dialog.setDefaultSuffix(m.captured(1));
        });
    }
    const bool accepted = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    if (chosenFilter) *chosenFilter = accepted ? dialog.selectedNameFilter() : QString();
    return accepted ? dialog.selectedFiles().first() : QString();
}

bool DesktopPrompts::chooseFont(QWidget* parent, QFont& font, const QString& title) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent, title, QFontDialog::ScalableFonts);
    if (ok) font = chosen;
    return ok;
}

QString DesktopPrompts::newPassword(QWidget* parent, const QString& path) {
    return promptText(path, PromptDialog::tr("的加密密码:"), true, true, 0, {},
                      PromptDialog::tr("请你输入"), parent);
}

bool DesktopPrompts::askNumber(QWidget* parent, const QString& title, const QString& label, int& value, int min,
                               int max) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(label);
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(min, max);
    dialog.setIntStep(1);
    dialog.setIntValue(value);
    widenForTitle(dialog);
    if (dialog.exec() != QDialog::Accepted) return false;
    value = dialog.intValue();
    return true;
}

bool DesktopPrompts::networkConnected() { return networkInterfaceActive(); }

}  // namespace melnix
