// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/save_dialog.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "lyrics/lyric_store.h"

namespace melnix {
namespace {
constexpr int kMinPathLength = 6;
}  // namespace

SaveDialog::SaveDialog(QWidget* parent, const QString& songPath, const QString& mlxPath) : QDialog(parent) {
    setWindowTitle(tr("保存∕导出同步歌词，请选择："));
    auto* layout = new QVBoxLayout(this);
    auto add = [&](int id, const QString& caption, const QString& path, bool enabled, SaveChoice choice) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString("control%1").arg(id));
        b->setEnabled(enabled);
        b->setAutoDefault(false);
        layout->addWidget(b);
        if (!path.isNull()) {
            auto* l = new QLabel(path, this);
            l->setWordWrap(true);
            layout->addWidget(l);
        }
        connect(b, &QPushButton::clicked, this, [this, choice] {
            choice_ = choice;
            if (choice == SaveChoice::Cancel) {
                reject();
            } else {
                accept();
            }
        });
    };
    // FLAC, Ogg, MP4 and the like have no safe place for a lyric after the audio.
    add(1, tr("保存在当前的音乐文件中"), songPath,
        songPath.size() >= kMinPathLength && songCanCarryTailLyric(songPath.toStdString()), SaveChoice::SongTail);
    add(1041, tr("保存到下列同步文件中"), mlxPath, mlxPath.size() >= kMinPathLength, SaveChoice::LyricFile);
    add(1042, tr("另存为其他文件"), QString(), true, SaveChoice::SaveAs);
    add(2, tr("放弃保存操作"), QString(), true, SaveChoice::Cancel);
    setMinimumWidth(420);
}

}  // namespace melnix
