// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "保存∕导出同步歌词，请选择：": where to store the lyric.

#include <QDialog>
#include <QString>

namespace melnix {

enum class SaveChoice { Cancel, SongTail, LyricFile, SaveAs };

class SaveDialog : public QDialog {
    Q_OBJECT
public:
    // songPath and mlxPath are shown under their buttons; a path of five
    // characters or fewer disables its button.
    SaveDialog(QWidget* parent, const QString& songPath, const QString& mlxPath);
    // The button that closed the dialog; Cancel until one did.
    SaveChoice choice() const { return choice_; }

private:
    SaveChoice choice_ = SaveChoice::Cancel;
};

}  // namespace melnix
