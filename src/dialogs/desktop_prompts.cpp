// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/desktop_prompts.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

#include "dialogs/about_box.h"
#include "dialogs/exchange_dialog.h"
#include "dialogs/thumbnail_file_dialog.h"
#include "ui/prompt_dialog.h"

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
    const int r = box.exec();
    return r == QMessageBox::Yes ? Answer::Yes : r == QMessageBox::No ? Answer::No : Answer::Cancel;
}

void DesktopPrompts::message(QWidget* parent, MessageKind kind, const QString& text, const QString& title) {
    switch (kind) {
        case MessageKind::Information: QMessageBox::information(parent, title, text); break;
        case MessageKind::Warning: QMessageBox::warning(parent, title, text); break;
        case MessageKind::Critical: QMessageBox::critical(parent, title, text); break;
    }
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
                                     const QString& filter, const QString& defaultSuffix) {
    // The dialog adds the suffix itself, so that it asks before replacing
    // the file that is really written.
    QFileDialog dialog(parent, title, start, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (!defaultSuffix.isEmpty()) dialog.setDefaultSuffix(defaultSuffix);
    return dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty() ? dialog.selectedFiles().first()
                                                                                  : QString();
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
    bool ok = false;
    const int chosen = QInputDialog::getInt(parent, title, label, value, min, max, 1, &ok);
    if (ok) value = chosen;
    return ok;
}

bool DesktopPrompts::networkConnected() { return networkInterfaceActive(); }

}  // namespace melnix
