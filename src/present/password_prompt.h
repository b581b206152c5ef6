// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The password question of scrambled pictures, put through the prompt dialog.

#include "present/core/picture_scrambler.h"
#include "ui/prompt_dialog.h"

namespace melnix {

// The question unscrambling asks: the file's path, "的密码:", hidden text,
// the request's timeout, and a caption that says so after a wrong password.
// The answer is handed on as GBK bytes. Asked from any thread but the
// user-interface thread, it answers as if cancelled, since no window may be
// opened there.
PasswordPrompt unscramblePasswordPrompt(QWidget* owner, PromptRunner run = runPromptDialog);

}  // namespace melnix
