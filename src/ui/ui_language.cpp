// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace melnix {

UiLanguage chooseUiLanguage(const QString& override, const QString& locale) {
    const QString chosen = override.trimmed().toLower();
    if (chosen == QLatin1String("zh")) return UiLanguage::Chinese;
    if (chosen == QLatin1String("en")) return UiLanguage::English;
    const QString name = locale.trimmed().toLower();
    const bool chinese = name == QLatin1String("zh") || name.startsWith(QLatin1String("zh_")) ||
                         name.startsWith(QLatin1String("zh-")) || name.startsWith(QLatin1String("zh."));
    return chinese ? UiLanguage::Chinese : UiLanguage::English;
}

UiLanguage uiLanguage() {
    // uiLanguages() follows LANGUAGE, LC_ALL, LC_MESSAGES and LANG, as the
    // desktop's own programs do; name() only knows the number format.
    const QStringList languages = QLocale::system().uiLanguages();
    const QString locale = languages.isEmpty() ? QLocale::system().name() : languages.first();
    return chooseUiLanguage(qEnvironmentVariable("MELNIX_LANG"), locale);
}

QTranslator* installUiLanguage(QCoreApplication& app, UiLanguage language) {
    auto* translator = new QTranslator(&app);
    const bool loaded = language == UiLanguage::English
                            ? translator->load(QStringLiteral(":/i18n/melnix_en.qm"))
                            // Qt's own buttons and file dialogs speak the program's Chinese.
                            : translator->load(QStringLiteral("qtbase_zh_CN"),
                                               QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (!loaded) {
        delete translator;
        return nullptr;
    }
    QCoreApplication::installTranslator(translator);
    return translator;
}

}  // namespace melnix
