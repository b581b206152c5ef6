// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/cdg_export_runner.h"

#include <QProgressDialog>
#include <atomic>

#include "common/paths.h"
#include "editor/editor_text.h"
#include "ui/background_work.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

constexpr int kPollMs = 100;

}  // namespace

bool runCdgExport(QWidget* parent, Prompts& prompts, CdgExportRequest request) {
    const QString title = EditorText::tr("导出 CD+G");
    if (request.song.empty() || request.sheet.empty()) {
        prompts.warning(parent, EditorText::tr("请先打开一首有歌词的歌曲"), title);
        return false;
    }
    const std::string start = replaceExtension(request.song, "cdg");
    const QString chosen =
        prompts.saveFileName(parent, title, displayPath(start.empty() ? request.song + ".cdg" : start),
                             EditorText::tr("CD+G 卡拉OK图形") + " (*.cdg *.CDG)", "cdg");
    if (chosen.isEmpty()) return false;
    request.out = localPath(chosen);

    QProgressDialog progress(EditorText::tr("正在导出 CD+G..."), EditorText::tr("取消"), 0, 100, parent);
    prepareProgress(progress, title);
    std::atomic<bool> cancel{false};
    std::atomic<int> percent{0};
    CdgExportResult result;
    const auto work = [&] { result = exportCdg(request, &cancel, [&](int p) { percent = p; }); };
    const auto tick = [&] {
        if (progress.wasCanceled()) cancel = true;
        progress.setValue(percent.load());
    };
    runBeside(progress, work, tick, kPollMs);

    if (result.ok) {
        QString written = displayPath(request.out);
        if (!result.mp3.empty()) written += "\n" + displayPath(result.mp3);
        prompts.info(parent, written, EditorText::tr("CD+G 已导出"));
        return true;
    }
    if (!result.cancelled)
        prompts.error(parent, displayPath(request.out) + "\n" + QString::fromStdString(result.error),
                      EditorText::tr("导出 CD+G 时出现错误，导出失败!"));
    return false;
}

}  // namespace melnix
