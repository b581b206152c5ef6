// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The help window: how to make a karaoke song with Melnix, step by step,
// with the about box one button away (and shown once on leaving otherwise).

#include <QDialog>
#include <functional>

class QPlainTextEdit;

namespace melnix {

class CHyperLink;

class HelpDialog : public QDialog {
    Q_OBJECT
public:
    // about runs the about box.
    HelpDialog(QWidget* parent, std::function<void()> about);

    static QString helpText();

    void showAbout();
    CHyperLink* folderLink() const { return link_; }

private:
    std::function<void()> about_;
    CHyperLink* link_ = nullptr;
};

}  // namespace melnix
