// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Marks a text of the Qt-free code for translation: lupdate finds it by the
// macro's name, and the window that shows it translates it in the same
// context with QCoreApplication::translate. Without Qt it is the text itself.

#ifndef QT_TRANSLATE_NOOP
#define QT_TRANSLATE_NOOP(context, text) text
#endif
