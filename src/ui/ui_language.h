// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The interface's language: Chinese, the language of the texts in the
// sources, or English through the built-in translation. MELNIX_LANG=zh|en
// chooses; otherwise the desktop's locale does (zh_* is Chinese).

#include <QString>

class QCoreApplication;
class QTranslator;

namespace melnix {

enum class UiLanguage { Chinese, English };

// override is MELNIX_LANG (anything but zh or en is ignored); locale a name
// such as "zh_CN.UTF-8", "zh-Hans-CN" or "en_US".
UiLanguage chooseUiLanguage(const QString& override, const QString& locale);

// The choice for this process, from its environment and the system locale.
UiLanguage uiLanguage();

// Installs the translator of the language for the whole program: ours for
// English (linked in with melnix_translations), Qt's own for Chinese. The
// translator belongs to app; null when it could not be loaded.
QTranslator* installUiLanguage(QCoreApplication& app, UiLanguage language);

}  // namespace melnix
