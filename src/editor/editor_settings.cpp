// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_settings.h"

#include <QCoreApplication>
#include <QFile>
#include <QSettings>

#include "common/paths.h"

namespace melnix {
namespace {

QString settingsPath() { return QString::fromStdString(dataFolder()) + "/settings.ini"; }

}  // namespace

const std::vector<SyncKeyChoice>& syncKeyChoices() {
    static const std::vector<SyncKeyChoice> choices = {
        {Qt::Key_Return, QT_TRANSLATE_NOOP("EditorDialog", "回车键")},
        {Qt::Key_F, QT_TRANSLATE_NOOP("EditorDialog", "F 键")},
        {Qt::Key_J, QT_TRANSLATE_NOOP("EditorDialog", "J 键")},
        {Qt::Key_Down, QT_TRANSLATE_NOOP("EditorDialog", "下箭头键")},
    };
    return choices;
}

QString syncKeyName(int key) {
    for (const SyncKeyChoice& c : syncKeyChoices())
        if (c.key == key) return QCoreApplication::translate("EditorDialog", c.name);
    return {};
}

EditorSettings::EditorSettings() : syncKey(Qt::Key_Return), stepBackKey(Qt::Key_Backspace) {}

void EditorSettings::load() {
    QSettings s(settingsPath(), QSettings::IniFormat);
    const int key = s.value("timing/syncKey", syncKey).toInt();
    if (!syncKeyName(key).isEmpty()) syncKey = key;
    laterLinesFollow = s.value("timing/laterLinesFollow", laterLinesFollow).toBool();
    const int step = s.value("timing/shiftStep", shiftStepCs).toInt();
    if (step >= 1 && step <= 6000) shiftStepCs = step;
    const int size = s.value("subtitle/sizePercent", subtitleSizePercent).toInt();
    if (size >= kMinSubtitleSizePercent && size <= 100) subtitleSizePercent = size;
    const int videoSize = s.value("export/size", exportSize).toInt();
    if (videoSize >= 0 && videoSize <= 2) exportSize = videoSize;
    const int quality = s.value("export/quality", exportQuality).toInt();
    if (quality >= 0 && quality <= 2) exportQuality = quality;
    exportFolder = QFile::encodeName(s.value("export/folder").toString()).toStdString();
}

void EditorSettings::save() const {
    QSettings s(settingsPath(), QSettings::IniFormat);
    s.setValue("timing/syncKey", syncKey);
    s.setValue("timing/laterLinesFollow", laterLinesFollow);
    s.setValue("timing/shiftStep", shiftStepCs);
    s.setValue("subtitle/sizePercent", subtitleSizePercent);
    s.setValue("export/size", exportSize);
    s.setValue("export/quality", exportQuality);
    s.setValue("export/folder", QFile::decodeName(QByteArray::fromStdString(exportFolder)));
}

}  // namespace melnix
