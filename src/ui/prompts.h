// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every question, message box and file choice of the editor and its dialogs
// goes through this one interface, so that tests answer them without a window.

#include <QFont>
#include <QString>
#include <QStringList>

class QDialog;
class QWidget;

namespace melnix {

enum class Answer { Yes, No, Cancel };
enum class MessageKind { Information, Warning, Critical };

class Prompts {
public:
    virtual ~Prompts() = default;

    // A question with Yes and No, and Cancel when withCancel; byDefault is
    // the button Enter presses. A warning question shows the warning icon.
    virtual Answer ask(QWidget* parent, const QString& text, const QString& title, bool withCancel = false,
                       Answer byDefault = Answer::No, bool warning = false) = 0;
    virtual void message(QWidget* parent, MessageKind kind, const QString& text, const QString& title) = 0;
    void info(QWidget* parent, const QString& text, const QString& title) {
        message(parent, MessageKind::Information, text, title);
    }
    void warning(QWidget* parent, const QString& text, const QString& title) {
        message(parent, MessageKind::Warning, text, title);
    }
    void error(QWidget* parent, const QString& text, const QString& title) {
        message(parent, MessageKind::Critical, text, title);
    }
    // The about box.
    virtual void about(QWidget* parent) = 0;
    // Runs a modal dialog; QDialog::Accepted or Rejected.
    virtual int runDialog(QDialog& dialog) = 0;

    // An existing file, or an empty string when the user cancels.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& start, const QString& filter) = 0;
    // Several existing files, or none; pictures are chosen from thumbnails.
    virtual QStringList openFileNames(QWidget* parent, const QString& title, const QString& folder,
                                      const QString& filter, bool thumbnails = false) = 0;
    // A file to write (the user has agreed to replace it), or an empty
    // string; a name typed without an extension gets defaultSuffix.
    // chosenFilter, when given, receives the filter the user picked.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& start, const QString& filter,
                                 const QString& defaultSuffix = {}, QString* chosenFilter = nullptr) = 0;
    // Lets the user change font; false when he cancels.
    virtual bool chooseFont(QWidget* parent, QFont& font, const QString& title) = 0;
    // A new password for path, typed twice; empty when the user gives up.
    virtual QString newPassword(QWidget* parent, const QString& path) = 0;
    // A whole number between min and max, starting from value; false when
    // the user cancels.
    virtual bool askNumber(QWidget* parent, const QString& title, const QString& label, int& value, int min,
                           int max) = 0;
    // Whether mail can leave the machine.
    virtual bool networkConnected() = 0;
};

}  // namespace melnix
