// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/video_export_runner.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QDialog>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <atomic>

#include "common/paths.h"
#include "songlist/state_file.h"
#include "ui/background_work.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

constexpr int kProgressSteps = 1000;
constexpr int kPollMs = 100;

struct QualityChoice {
    const char* label;
    ExportQuality quality;
};
const QualityChoice kQualities[] = {
    {QT_TRANSLATE_NOOP("melnix::VideoExport", "较小的文件"), ExportQuality::Low},
    {QT_TRANSLATE_NOOP("melnix::VideoExport", "普通"), ExportQuality::Normal},
    {QT_TRANSLATE_NOOP("melnix::VideoExport", "高画质"), ExportQuality::High},
};

struct ExportText {
    Q_DECLARE_TR_FUNCTIONS(melnix::VideoExport)
};

QString timeLeftText(qint64 elapsedMs, int64_t done, int64_t total) {
    if (done <= 0 || done >= total) return ExportText::tr("正在导出视频...");
    const qint64 leftS = elapsedMs * (total - done) / done / 1000;
    return ExportText::tr("正在导出视频...  剩余约 %1 分 %2 秒").arg(leftS / 60).arg(leftS % 60, 2, 10, QChar('0'));
}

// File, size and quality, starting from the last choices; false when the
// user cancels.
bool askOptions(QWidget* parent, Prompts& prompts, VideoExportRequest& request, ExportChoices& choices) {
    QDialog dialog(parent);
    dialog.setWindowTitle(ExportText::tr("导出视频"));
    auto* form = new QFormLayout(&dialog);
    auto* file = new QLineEdit(displayPath(request.out), &dialog);
    file->setMinimumWidth(360);
    auto* browse = new QPushButton(ExportText::tr("浏览..."), &dialog);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(file);
    fileRow->addWidget(browse);
    form->addRow(ExportText::tr("视频文件:"), fileRow);
    auto* size = new QComboBox(&dialog);
    for (const ExportSizeChoice& c : exportSizeChoices()) size->addItem(QString::fromUtf8(c.label));
    size->setCurrentIndex(choices.size >= 0 && choices.size < size->count() ? choices.size : kDefaultExportSizeChoice);
    form->addRow(ExportText::tr("画面尺寸:"), size);
    auto* quality = new QComboBox(&dialog);
    for (const QualityChoice& q : kQualities) quality->addItem(ExportText::tr(q.label));
    quality->setCurrentIndex(choices.quality >= 0 && choices.quality < quality->count() ? choices.quality
                                                                                       : ExportChoices().quality);
    form->addRow(ExportText::tr("画质:"), quality);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(ExportText::tr("导出"));
    buttons->button(QDialogButtonBox::Cancel)->setText(ExportText::tr("取消"));
    form->addRow(buttons);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [&] {
        const QString chosen =
            prompts.saveFileName(&dialog, ExportText::tr("导出视频"), file->text(), ExportText::tr("MP4 视频 (*.mp4)"), QStringLiteral("mp4"));
        if (!chosen.isEmpty()) file->setText(chosen);
    });
    if (prompts.runDialog(dialog) != QDialog::Accepted || file->text().trimmed().isEmpty()) return false;
    request.out = QFile::encodeName(file->text().trimmed()).toStdString();
    choices.size = std::max(0, size->currentIndex());
    choices.quality = std::max(0, quality->currentIndex());
    request.size = exportSizeChoices()[static_cast<size_t>(choices.size)].size;
    request.quality = kQualities[choices.quality].quality;
    return true;
}

// Beside the song with its name; an MP4 song keeps its own name.
std::string defaultVideoName(const std::string& song) {
    const size_t slash = song.rfind('/');
    const size_t dot = song.rfind('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? song.substr(0, dot)
                                                                                                    : song;
    const std::string out = stem + ".mp4";
    return out == song ? stem + "-karaoke.mp4" : out;
}

}  // namespace

const std::vector<ExportSizeChoice>& exportSizeChoices() {
    static const std::vector<ExportSizeChoice> choices = {
        {"1920 × 1080", {1920, 1080}}, {"1280 × 720", {1280, 720}}, {"854 × 480", {854, 480}}};
    return choices;
}

VideoExportRequest editorExportRequest(const AppState& state, const LyricSheet& sheet, const QString& face) {
    VideoExportRequest r;
    const SongEntry& song = state.list.current;
    r.song = song.songPath;
    r.out = defaultVideoName(song.songPath);
    r.show.sheet = sheet;
    r.show.closing = exportClosingText(song.songPath);
    chooseExportBackground(r, song.pictureList);
    std::copy(state.effectSelected.begin(), state.effectSelected.end(), r.show.effects.begin());
    r.show.face = face;
    return r;
}

bool runVideoExport(QWidget* parent, Prompts& prompts, VideoExportRequest request, ExportChoices* remembered) {
    if (request.song.empty()) {
        prompts.warning(parent, ExportText::tr("请先打开一首歌曲"), ExportText::tr("导出视频"));
        return false;
    }
    ExportChoices choices = remembered ? *remembered : ExportChoices();
    // The folder the last video went to, when it is still there.
    if (!choices.folder.empty() && QFileInfo(displayPath(choices.folder)).isDir())
        request.out = choices.folder + "/" + fileNameOf(request.out);
    if (!askOptions(parent, prompts, request, choices)) return false;
    if (remembered) {
        const size_t slash = request.out.rfind('/');
        choices.folder = slash == std::string::npos ? std::string() : request.out.substr(0, slash);
        *remembered = choices;
    }

    QProgressDialog progress(ExportText::tr("正在导出视频..."), ExportText::tr("取消"), 0, kProgressSteps, parent);
    prepareProgress(progress, ExportText::tr("导出视频"));

    std::atomic<bool> cancel{false};
    std::atomic<int64_t> done{0};
    std::atomic<int64_t> total{1};
    VideoExportResult result;
    QElapsedTimer clock;
    clock.start();
    auto work = [&] {
        result = exportVideo(request, &cancel, [&](int64_t d, int64_t t) {
            total = t;
            done = d;
        });
    };
    auto tick = [&] {
        if (progress.wasCanceled()) {
            cancel = true;
            progress.setLabelText(ExportText::tr("正在取消..."));
            return;
        }
        const int64_t d = done.load(), t = std::max<int64_t>(1, total.load());
        progress.setValue(static_cast<int>(d * kProgressSteps / t));
        progress.setLabelText(timeLeftText(clock.elapsed(), d, t));
    };
    runBeside(progress, work, tick, kPollMs);

    if (result.ok) {
        prompts.info(parent, displayPath(request.out), ExportText::tr("视频已导出"));
        return true;
    }
    if (!result.cancelled)
        prompts.error(parent, displayPath(request.out) + QStringLiteral("\n") + QString::fromStdString(result.error),
                      ExportText::tr("导出视频时出现错误，导出失败!"));
    return false;
}

}  // namespace melnix
