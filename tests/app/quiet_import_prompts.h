#pragma once
// The import dialog's message boxes and file choices, answered and recorded
// instead of shown, so that the tests never wait on a modal box.

#include <QStringList>

#include "app/import_dialog.h"

namespace melnix::test {

class QuietImportPrompts : public ImportPrompts {
public:
    // Warnings and errors alike, as "title:text".
    void warning(QWidget*, const QString& text, const QString& title) override { messages << title + ":" + text; }
    void error(QWidget*, const QString& text, const QString& title) override { messages << title + ":" + text; }
    bool askYesNo(QWidget*, const QString& text, const QString& title) override {
        questions << title + ":" + text;
        return yes;
    }
    QString openFileName(QWidget*, const QString& title, const QString&, const QString&) override {
        openTitles << title;
        return openFiles.isEmpty() ? QString() : openFiles.takeFirst();
    }
    QString saveFileName(QWidget*, const QString&, const QString& start, const QString&, const QString&) override {
        saveStarts << start;
        return saveFiles.isEmpty() ? QString() : saveFiles.takeFirst();
    }

    bool yes = false;      // the answer to every question
    QStringList openFiles;  // the files chosen in turn; none left: cancelled
    QStringList saveFiles;
    QStringList messages;
    QStringList questions;
    QStringList openTitles;
    QStringList saveStarts;
};

}  // namespace melnix::test
