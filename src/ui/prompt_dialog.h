// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The short text prompt: two lines of explanation over one edit box, which
// hides what is typed in password mode. It may ask for the same text twice
// (a new password), and may give up by itself when nobody starts typing.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>


class QLabel;
class QLineEdit;
class QTimer;

namespace melnix {

// Control ids.
constexpr int idPromptOk = 1;
constexpr int idPromptCancel = 2;
constexpr int idPromptFirstLine = 1117;
constexpr int idPromptSecondLine = 1157;
constexpr int idPromptEdit = 1158;
constexpr int idPromptHiddenEdit = 1159;

struct PromptRequest {
    QString firstLine;
    QString secondLine;
    bool passwordMode = false;  // hidden text, upper-cased
    bool confirmation = false;  // the text is asked for twice
    int timeoutMs = 0;          // 0: waits for ever
    QString initialText;
    QString caption;
};

class PromptDialog : public QDialog {
    Q_OBJECT
public:
    PromptDialog(const PromptRequest& request, QWidget* owner);

    // The accepted text; empty after cancel, an empty entry or the timeout.
    const QString& text() const { return text_; }

    QWidget* control(int id) const;
    // The edit box in use (plain or hidden).
    QLineEdit* edit() const { return edit_; }
    bool timeoutRunning() const;

    // What the OK button does.
    void confirm();

protected:
    void showEvent(QShowEvent* event) override;

private:
    PromptRequest request_;
    QLineEdit* edit_ = nullptr;
    QTimer* timeout_ = nullptr;
    bool opened_ = false;
    std::optional<QString> firstEntry_;  // while the second entry is awaited
    QString text_;
};

// Runs the prompt modally; the entered text, or empty.
QString promptText(const QString& firstLine, const QString& secondLine, bool passwordMode, bool confirmation,
                   int timeoutMs, const QString& initialText, const QString& caption, QWidget* owner);

// How a prompt is put to the user; tests answer it without a window.
using PromptRunner = std::function<QString(const PromptRequest& request, QWidget* owner)>;
QString runPromptDialog(const PromptRequest& request, QWidget* owner);

}  // namespace melnix
