// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/lyric_files.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QWidget>
#include <cerrno>
#include <cstring>

#include "common/paths.h"
#include "dialogs/exchange_dialog.h"
#include "dialogs/import_dialog.h"
#include "dialogs/save_dialog.h"
#include "dialogs/song_list_dialog.h"
#include "editor/core/lyric_document.h"
#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/editor_text.h"
#include "editor/hint_strip.h"
#include "editor/line_display.h"
#include "editor/line_editor.h"
#include "editor/show_bridge.h"
#include "editor/song_clock.h"
#include "editor/song_switch.h"
#include "editor/transport_panel.h"
#include "common/safe_save.h"
#include "export/core/song_credits.h"
#include "lyrics/lyric_export.h"
#include "lyrics/lyric_file_kinds.h"
#include "lyrics/lyric_import.h"
#include "lyrics/lyric_store.h"
#include "playback/core/transport.h"
#include "songlist/media_kind.h"
#include "songlist/song_session.h"
#include "songlist/state_file.h"
#include "ui/command_event.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// Why a store failed, in the user's words; the store's own note follows.
QString storeFailureText(const StoreError& error) {
    QString why;
    switch (error.err) {
        case EACCES:
        case EPERM: why = EditorText::tr("文件是只读的，或者没有写入它的权限。"); break;
        case EROFS: why = EditorText::tr("文件所在的磁盘是只读的。"); break;
        case ENOSPC:
        case EDQUOT: why = EditorText::tr("磁盘空间不足。"); break;
        case ENOENT: why = EditorText::tr("文件或文件夹已不存在。"); break;
        default:
            why = error.err ? EditorText::tr("系统报告的错误: %1").arg(QString::fromLocal8Bit(std::strerror(error.err)))
                            : EditorText::tr("保存没有完成，原文件保持不变。");
            break;
    }
    if (!error.detail.empty()) why += "\n(" + QString::fromStdString(error.detail) + ")";
    return why;
}

}  // namespace

LyricFiles::LyricFiles(EditorContext& ctx) : ctx_(ctx) {}

bool LyricFiles::confirmUnsavedLyrics() {
    const LyricDocument& doc = *ctx_.document;
    if (!doc.modified() || doc.sheet().empty()) return true;
    const Answer answer = ctx_.prompts->ask(ctx_.window, EditorText::tr("修改的歌词尚未存盘,你需要存盘吗？"), EditorText::tr("Melnix"), true,
                                            Answer::Yes);
    if (answer == Answer::Cancel) return false;
    if (answer == Answer::Yes) save();
    return true;
}

void LyricFiles::updateSaveButton() {
    QAbstractButton* save = ctx_.controls->button(idSave);
    save->setText(ctx_.document->modified() ? EditorText::tr("保存") : EditorText::tr("导出"));
    save->setEnabled(!ctx_.document->sheet().empty() && ctx_.editor->mode() == EditMode::None);
}

void LyricFiles::save() {
    if (ctx_.document->sheet().empty()) return;
    SongEntry& current = ctx_.state->list.current;
    const std::string song = current.songPath;
    for (;;) {
        // A song whose container has no room after its sound keeps its lyric beside it.
        const std::string lyricPath = current.hasLyricFile()           ? current.lyricRef
                                      : !songCanCarryTailLyric(song) ? lyricFileBeside(song)
                                                                     : std::string();
        SaveDialog dialog(ctx_.window, displayPath(song), displayPath(lyricFileBeside(lyricPath)));
        ctx_.prompts->runDialog(dialog);
        const SaveChoice choice = dialog.choice();
        if (choice == SaveChoice::Cancel) return;
        if (choice == SaveChoice::SongTail) {
            if (storeInSongTail()) return;
            continue;
        }
        std::string target;
        if (choice == SaveChoice::LyricFile) {
            target = lyricFileBeside(lyricPath);
        } else {
            const std::string start = !lyricPath.empty() ? lyricPath : lyricFileBeside(song);
            // The program's own file keeps everything; the others are for
            // other players, the format going by the name's suffix.
            const QString elrc = EditorText::tr("增强 LRC 歌词, 逐字") + " (*.lrc *.LRC)";
            const QString filters = EditorText::tr("歌词同步文件") + " (*.MLX *.mlx);;" + EditorText::tr("LRC 歌词") +
                                    " (*.lrc *.LRC);;" + elrc + ";;" + EditorText::tr("ASS 卡拉OK字幕") +
                                    " (*.ass *.ASS);;" + EditorText::tr("UltraStar 歌曲") + " (*.txt *.TXT)";
            QString picked;
            const QString chosen = ctx_.prompts->saveFileName(ctx_.window, EditorText::tr("请给出保存歌词的文件名"),
                                                              displayPath(start), filters, QString(), &picked);
            if (chosen.isEmpty()) {
                current.lyricRef.clear();
                continue;
            }
            target = localPath(chosen);
            if (QFileInfo(chosen).suffix().isEmpty()) target += ".MLX";
            if (const auto format = exportFormatForName(target, picked == elrc)) {
                if (exportLyricFile(target, *format)) return;
                continue;
            }
        }
        if (storeInLyricFile(target)) return;
    }
}

bool LyricFiles::storeInSongTail() {
    const std::string song = ctx_.state->list.current.songPath;
    Transport& t = *ctx_.transport;
    const int at = t.positionUnits();
    const bool wasPlaying = t.playState() == PlayState::Playing;
    ctx_.clock->stop();
    t.close();
    StoreError error;
    const bool ok = melnix::storeInSongTail(song, ctx_.document->sheet(), &error);
    if (ok) {
        ctx_.document->saved();
        ctx_.state->list.setCurrentLyricFlag(true);
        ctx_.hints->flash(EditorText::tr("歌词已保存在歌曲文件的尾部: %1").arg(displayPath(song)));
    } else {
        ctx_.prompts->error(ctx_.window,
                            displayPath(song) + "\n\n" + storeFailureText(error) + "\n" +
                                EditorText::tr("歌词仍可用“另存为其他文件”保存到 .MLX 文件中。"),
                            EditorText::tr("保存到下列文件时，出现错误，保存失败!"));
    }
    // The song comes back where it was, with its measured levels and the
    // time line where the user left it.
    const int viewOrigin = ctx_.timeline->viewOrigin();
    if (t.openSong(song, ctx_.document->sheet().songDataLength, true)) {
        t.seekUnits(at);
        ctx_.songs->afterSongOpened();
        ctx_.timeline->setViewOrigin(viewOrigin);
        if (wasPlaying) {
            ctx_.panel->started();
        } else {
            ctx_.panel->pause();
        }
    }
    return ok;
}

bool LyricFiles::exportLyricFile(const std::string& path, ExportFormat format) {
    const std::string song = ctx_.state->list.current.songPath;
    const SongCredits credits = readSongCredits(song);
    ExportInfo info;
    info.title = credits.title;
    info.artist = credits.artist;
    info.songFile = fileNameOf(song);
    const std::string text = exportLyrics(ctx_.document->sheet(), format, info);
    // Whole or not at all: a full disk leaves the file that was there.
    SafeSave out;
    if (!out.begin(path) || !out.file().write(text) || !out.commit()) {
        const int err = out.lastErrno() ? out.lastErrno() : out.file().lastErrno();
        ctx_.prompts->error(ctx_.window, displayPath(path) + "\n\n" + QString::fromLocal8Bit(std::strerror(err)),
                            EditorText::tr("保存到下列文件时，出现错误，保存失败!"));
        return false;
    }
    // Not the lyric's own file: what it cannot hold is still unsaved.
    ctx_.hints->flash(EditorText::tr("歌词已导出: %1").arg(displayPath(path)));
    return true;
}

bool LyricFiles::storeInLyricFile(const std::string& path) {
    StoreError error;
    SongEntry& current = ctx_.state->list.current;
    // File names are UTF-8 here; the block records the song's name as GBK text.
    const std::string songName = utf8ToGbk(fileNameOf(current.songPath));
    if (!melnix::storeInLyricFile(path, ctx_.document->sheet(), ctx_.songs->lengthCs(), songName, &error)) {
        ctx_.prompts->error(ctx_.window, displayPath(path) + "\n\n" + storeFailureText(error),
                            EditorText::tr("保存到下列文件时，出现错误，保存失败!"));
        return false;
    }
    current.lyricRef = path;
    ctx_.state->list.storeCurrentLyricRef(ctx_.document->sheet());
    ctx_.document->saved();
    ctx_.hints->flash(EditorText::tr("歌词已保存到: %1").arg(displayPath(path)));
    return true;
}

void LyricFiles::import() {
    if (!confirmUnsavedLyrics()) return;
    const std::string song = ctx_.state->list.current.songPath;
    QString textFile;
    for (;;) {
        ImportDialog dialog(ctx_.document->sheet(), *ctx_.prompts, textFile, ctx_.window);
        dialog.setLyricIsPlaceholder(ctx_.session->placeholderLyric() && !ctx_.document->modified());
        ctx_.document->beginChange(QT_TRANSLATE_NOOP("EditHistory", "导入"));
        const bool accepted = dialog.exec() == QDialog::Accepted;
        const bool took = accepted && dialog.importResult() != ImportResult::OpenLyricFile;
        ctx_.document->endChange(took);
        if (!accepted) return;
        if (took) {
            takeImportedLines();
            return;
        }
        const QString chosen = ctx_.prompts->openFileName(
            ctx_.window, EditorText::tr("请打开相应的同步歌词文件"), displayPath(lyricFileBeside(song)),
            EditorText::tr("同步歌词文件") + " (" + QString::fromLatin1(lyricFilePatterns(true, false)) + ");;" +
                EditorText::tr("歌词文本") + " (" + QString::fromLatin1(lyricFilePatterns(false, true)) + ");;" +
                EditorText::tr("所有文件") + " (*)");
        if (chosen.isEmpty()) return;
        if (openSyncedLyricFile(localPath(chosen))) return;
        // What holds no synchronized lyric comes back as text to prepare by hand.
        textFile = chosen;
    }
}

void LyricFiles::importLyricFile(const std::string& path) {
    if (isTimedLyricFileName(path) || !isLyricFileName(path)) {
        openSyncedLyricFile(path);
        return;
    }
    // Plain text: one lyric line per text line, with default times.
    std::vector<std::string> lines;
    if (!readTextFileLines(path, lines) || !checkEditLines(lines, false).ok) {
        ctx_.prompts->error(ctx_.window, displayPath(path), EditorText::tr("下列文件打开失败"));
        return;
    }
    breakLongLines(lines);
    ctx_.document->change(QT_TRANSLATE_NOOP("EditHistory", "导入"), [&](LyricSheet& sheet) {
        takeEditLines(sheet, lines, true);
        return true;
    });
    takeImportedLines();
}

bool LyricFiles::openSyncedLyricFile(const std::string& path) {
    LyricDocument& doc = *ctx_.document;
    const bool ok = openLyricFile(path, doc.sheet());
    if (ok) {
        ctx_.state->list.current.lyricRef = path;
        ctx_.state->list.storeCurrentLyricRef(doc.sheet());
        doc.loaded();
        if (doc.sheet().droppedOnRead > 0)
            ctx_.prompts->warning(ctx_.window,
                                  EditorText::tr("%1 句歌词与前一句相隔不到 0.09 秒，无法演唱，已略去。")
                                      .arg(doc.sheet().droppedOnRead),
                                  displayPath(path));
    } else {
        doc.sheet().clearLines();
        ctx_.controls->lineBox()->setEditText(QString());
        ctx_.prompts->error(ctx_.window, displayPath(path), EditorText::tr("下列文件中同步信息有错!"));
    }
    showImportedLyric();
    return ok;
}

void LyricFiles::takeImportedLines() {
    ctx_.document->sheet().normalizeLines();
    ctx_.document->replacedUnsaved();
    showImportedLyric();
}

void LyricFiles::showImportedLyric() {
    ctx_.editor->refillLineList();
    ctx_.lines->invalidate();
    ctx_.editor->updateActionButtons();
    ctx_.window->update();
}

void LyricFiles::openNamedFile(const std::string& path) {
    if (!confirmUnsavedLyrics()) return;
    if (isSongFile(path)) {
        if (ctx_.session->addSongs({path}) > 0) ctx_.session->openCurrentSong();
    } else if (isLyricFileName(path)) {
        // A synchronized lyric opens with the song of its own name; only a
        // lyric without one is taken for the song that is open, and never
        // for a song that failed to open.
        if (isTimedLyricFileName(path) && ctx_.session->selectSongOfLyric(path)) {
            ctx_.session->openCurrentSong();
        } else if (!ctx_.transport->hasEngine()) {
            ctx_.prompts->warning(ctx_.window, displayPath(path), EditorText::tr("打开下列文件时出错!"));
        } else {
            importLyricFile(path);
        }
    } else {
        ctx_.prompts->warning(ctx_.window, displayPath(path), EditorText::tr("打开下列文件时出错!"));
    }
}

void LyricFiles::openSongFile() {
    const QString chosen = ctx_.prompts->openFileName(ctx_.window, EditorText::tr("请打开一个音像文件"),
                                                      displayPath(ctx_.state->lastSongFolder), songOpenFilter());
    if (chosen.isEmpty()) return;
    openNamedFile(localPath(chosen));
}

void LyricFiles::openSongList() {
    if (!confirmUnsavedLyrics()) return;
    SongListDialog dialog(*ctx_.state, *ctx_.session, ctx_.window, ctx_.prompts, ctx_.show->scrambler());
    dialog.setSongKeys(ctx_.transport->songKeys());
    if (ctx_.prompts->runDialog(dialog) != QDialog::Accepted) return;
    ctx_.session->dropDemoMarker();
    ctx_.session->openCurrentSong();
    // The song first, so that what is imported belongs to it.
    if (dialog.matchLyrics()) import();
    // A song that failed to open has left the list: nothing to mail.
    if (dialog.mailedSong() >= 0 && !ctx_.state->list.current.songPath.empty()) postCommand(ctx_.window, kCmdExchange);
}

void LyricFiles::exchange() {
    const bool wasPlaying = ctx_.panel->playing();
    if (wasPlaying) ctx_.panel->pause();
    ExchangeDialog dialog(*ctx_.state, ctx_.document->sheet(), ctx_.songs->lengthCs(), ctx_.window, ctx_.prompts);
    ctx_.prompts->runDialog(dialog);
    if (wasPlaying) ctx_.panel->play();
}

}  // namespace melnix
