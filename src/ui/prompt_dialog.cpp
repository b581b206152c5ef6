// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/prompt_dialog.h"

#include "ui/title_room.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "common/gbk.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

constexpr QSize kDialogSize(420, 132);
const QRect kFirstLineRect(12, 10, 396, 18);
const QRect kSecondLineRect(12, 30, 396, 18);
const QRect kEditRect(12, 54, 396, 24);
const QRect kOkRect(110, 94, 90, 28);
const QRect kCancelRect(220, 94, 90, 28);

void setId(QWidget* w, int id) { w->setObjectName(QString("control%1").arg(id)); }

// Only ASCII letters change, as the scrambling key does for GBK bytes: a
// password typed with full-width letters stays what it was.
QString asciiUpper(QString s) {
    for (QChar& c : s)
        if (c >= u'a' && c <= u'z') c = QChar(c.unicode() - (u'a' - u'A'));
    return s;
}

QLabel* lineLabel(QWidget* parent, int id, const QRect& rect, const QString& text) {
    auto* label = new QLabel(parent);
    setId(label, id);
    label->setGeometry(rect);
    // A long path keeps its beginning and its file name.
    const QString shown = label->fontMetrics().elidedText(text, Qt::ElideMiddle, rect.width());
    label->setText(shown);
    if (shown != text) label->setToolTip(text);
    return label;
}

}  // namespace

PromptDialog::PromptDialog(const PromptRequest& request, QWidget* owner) : QDialog(owner), request_(request) {
    setWindowTitle(request.caption);
    setFixedSize(kDialogSize);
    widenForTitle(*this);

    lineLabel(this, idPromptFirstLine, kFirstLineRect, request.firstLine);
    lineLabel(this, idPromptSecondLine, kSecondLineRect, request.secondLine);

    auto* plain = new QLineEdit(this);
    setId(plain, idPromptEdit);
    auto* hidden = new QLineEdit(this);
    setId(hidden, idPromptHiddenEdit);
    hidden->setEchoMode(QLineEdit::Password);
    for (QLineEdit* e : {plain, hidden}) e->setGeometry(kEditRect);
    edit_ = request.passwordMode ? hidden : plain;
    (request.passwordMode ? plain : hidden)->hide();
    edit_->setText(request.initialText);
    edit_->setFocus();

    auto* ok = new QPushButton(tr("确定(&O)"), this);
    setId(ok, idPromptOk);
    ok->setGeometry(kOkRect);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PromptDialog::confirm);
    auto* cancel = new QPushButton(tr("取消(&C)"), this);
    setId(cancel, idPromptCancel);
    cancel->setGeometry(kCancelRect);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    timeout_ = new QTimer(this);
    timeout_->setSingleShot(true);
    connect(timeout_, &QTimer::timeout, this, &QDialog::reject);
    // Someone is there once anything is typed.
    for (QLineEdit* e : {plain, hidden}) connect(e, &QLineEdit::textChanged, timeout_, &QTimer::stop);
}

QWidget* PromptDialog::control(int id) const { return findChild<QWidget*>(QString("control%1").arg(id)); }

bool PromptDialog::timeoutRunning() const { return timeout_->isActive(); }

void PromptDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    edit_->setFocus();
    if (request_.timeoutMs > 0) timeout_->start(request_.timeoutMs);
}

void PromptDialog::confirm() {
    QString entered = edit_->text().trimmed();
    if (entered.isEmpty()) {
        reject();
        return;
    }
    if (request_.passwordMode) entered = asciiUpper(entered);
    if (!request_.confirmation || (firstEntry_ && *firstEntry_ == entered)) {
        text_ = entered;
        accept();
        return;
    }
    if (!firstEntry_) {
        firstEntry_ = entered;
        setWindowTitle(tr("为了复核,请你再输入一遍"));
        widenForTitle(*this);
    } else {
        // The next entry starts over.
        firstEntry_.reset();
        setWindowTitle(tr("复核不成功,请你输入"));
        widenForTitle(*this);
    }
    edit_->clear();
    edit_->setFocus();
}

QString runPromptDialog(const PromptRequest& request, QWidget* owner) {
    PromptDialog dialog(request, owner);
    dialog.exec();
    return dialog.text();
}

QString promptText(const QString& firstLine, const QString& secondLine, bool passwordMode, bool confirmation,
                   int timeoutMs, const QString& initialText, const QString& caption, QWidget* owner) {
    return runPromptDialog({firstLine, secondLine, passwordMode, confirmation, timeoutMs, initialText, caption}, owner);
}

}  // namespace melnix
