// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The prompts as the desktop shows them: message boxes, file dialogs (with
// thumbnails for pictures), the font dialog and the password prompt.

#include "ui/prompts.h"

namespace melnix {

class DesktopPrompts : public Prompts {
public:
    Answer ask(QWidget* parent, const QString& text, const QString& title, bool withCancel, Answer byDefault,
               bool warning) override;
    void message(QWidget* parent, MessageKind kind, const QString& text, const QString& title) override;
    void about(QWidget* parent) override;
    int runDialog(QDialog& dialog) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& start, const QString& filter) override;
    QStringList openFileNames(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                              bool thumbnails) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& start, const QString& filter,
                         const QString& defaultSuffix = {}, QString* chosenFilter = nullptr) override;
    bool chooseFont(QWidget* parent, QFont& font, const QString& title) override;
    QString newPassword(QWidget* parent, const QString& path) override;
    bool askNumber(QWidget* parent, const QString& title, const QString& label, int& value, int min,
                   int max) override;
    bool networkConnected() override;
};

}  // namespace melnix
