// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/password_prompt.h"

#include <QCoreApplication>
#include <QPointer>
#include <QThread>

#include "ui/qt_text.h"

namespace melnix {

PasswordPrompt unscramblePasswordPrompt(QWidget* owner, PromptRunner run) {
    return [owner = QPointer<QWidget>(owner), run = std::move(run)](
               const PasswordRequest& r) -> std::optional<std::string> {
        const QCoreApplication* app = QCoreApplication::instance();
        if (!app || QThread::currentThread() != app->thread()) return std::nullopt;
        PromptRequest request;
        request.firstLine = displayPath(r.path);
        request.secondLine = PromptDialog::tr("的密码:");
        request.passwordMode = true;
        request.timeoutMs = r.timeoutMs;
        request.caption = r.attempt > 1 ? PromptDialog::tr("密码不正确,请再输入一遍") : PromptDialog::tr("请你输入");
        const QString text = run(request, owner.data());
        if (text.isEmpty()) return std::nullopt;
        return toGbk(text);
    };
}

}  // namespace melnix
