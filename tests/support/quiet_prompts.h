// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Every question, message box and file choice, answered and recorded instead
// of shown, so that the tests never wait on a modal box.

#include <QDialog>
#include <QFont>
#include <QStringList>
#include <functional>

#include "ui/prompts.h"

namespace melnix::test {

class QuietPrompts : public Prompts {
public:
    Answer ask(QWidget*, const QString& text, const QString& title, bool withCancel, Answer, bool) override {
        ++asked;
        questions << text;
        questionTitles << title;
        return withCancel ? answer : (answer == Answer::Yes ? Answer::Yes : Answer::No);
    }
    // Errors and warnings alike, as "title:text"; information as its text.
    void message(QWidget*, MessageKind kind, const QString& text, const QString& title) override {
        if (kind == MessageKind::Information) {
            infos << text;
        } else {
            errors << title + ":" + text;
        }
    }
    void about(QWidget*) override { ++abouts; }
    // Modal dialogs are handed to onDialog, or cancelled.
    int runDialog(QDialog& dialog) override { return onDialog ? onDialog(dialog) : QDialog::Rejected; }
    QString openFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        openTitles << title;
        return openFiles.isEmpty() ? QString() : openFiles.takeFirst();
    }
    QStringList openFileNames(QWidget*, const QString& title, const QString&, const QString& filter, bool) override {
        openTitles << title;
        openFilters << filter;
        return chosenFiles;
    }
    QString saveFileName(QWidget*, const QString&, const QString& start, const QString& filter, const QString&,
                         QString* chosenFilter) override {
        saveStarts << start;
        saveFilters << filter;
        if (chosenFilter) {
            const QStringList filters = filter.split(";;");
            *chosenFilter = saveFilterIndex >= 0 && saveFilterIndex < filters.size() ? filters[saveFilterIndex] : QString();
        }
        return saveFiles.isEmpty() ? QString() : saveFiles.takeFirst();
    }
    bool chooseFont(QWidget*, QFont& font, const QString&) override {
        offeredFont = font;
        if (chosenFace.isEmpty()) return false;
        font.setFamily(chosenFace);
        if (chosenPointSize > 0) font.setPointSize(chosenPointSize);
        return true;
    }
    QString newPassword(QWidget*, const QString&) override { return password; }
    bool askNumber(QWidget*, const QString&, const QString&, int& value, int min, int max) override {
        offeredNumber = value;
        if (number < min || number > max) return false;
        value = number;
        return true;
    }
    bool networkConnected() override { return connected; }

    Answer answer = Answer::No;  // to every question; Cancel only where it is offered
    int asked = 0;
    QStringList questions, questionTitles;
    QStringList errors;
    QStringList infos;
    int abouts = 0;
    std::function<int(QDialog&)> onDialog;
    QStringList openFiles;    // chosen one at a time; none left: cancelled
    QStringList chosenFiles;  // the answer to every choice of several files
    QStringList openTitles, openFilters;
    QStringList saveFiles;    // chosen one at a time; none left: cancelled
    QStringList saveStarts, saveFilters;
    int saveFilterIndex = -1;  // the filter the user picks in the save dialog; -1: none
    QFont offeredFont;
    QString chosenFace;  // empty: the font dialog is cancelled
    int chosenPointSize = 0;  // 0: the size offered is kept
    QString password;
    bool connected = true;
    int number = -1;  // the answer to a number's question; out of range: cancelled
    int offeredNumber = 0;
};

}  // namespace melnix::test
