#pragma once
// The editor's questions and message boxes, answered and recorded instead
// of shown, so that the tests never wait on a modal box.

#include <QDialog>
#include <QFont>
#include <functional>
#include <QStringList>

#include "app/editor_dialog.h"

namespace melnix::test {

class QuietPrompts : public EditorPrompts {
public:
    int askSaveChanges(QWidget*) override {
        ++asked;
        return answer;
    }
    // Errors and warnings alike, as "title:text".
    void error(QWidget*, const QString& text, const QString& title) override { errors << title + ":" + text; }
    void warning(QWidget*, const QString& text, const QString& title) override { errors << title + ":" + text; }
    void info(QWidget*, const QString&, const QString&) override {}
    void about(QWidget*) override { ++abouts; }
    bool chooseFont(QWidget*, QFont& font, const QString&) override {
        offeredFont = font;
        if (chosenFace.isEmpty()) return false;
        font.setFamily(chosenFace);
        return true;
    }

    // Modal dialogs are handed to onDialog, or cancelled.
    int runDialog(QDialog& dialog) override { return onDialog ? onDialog(dialog) : QDialog::Rejected; }

    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return saveAs; }

    int answer = 0;  // to the unsaved-lyrics question: Yes 1, No 0, Cancel -1
    int asked = 0;
    int abouts = 0;
    QStringList errors;
    QFont offeredFont;
    QString chosenFace;  // empty: the font dialog is cancelled
    std::function<int(QDialog&)> onDialog;
    QString saveAs;  // the save dialog's answer; empty: cancelled
};

}  // namespace melnix::test
