// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/thumbnail_file_dialog.h"

#include <QGuiApplication>
#include <QImageReader>
#include <QListView>
#include <QPixmap>
#include <QScreen>

#include "songlist/media_kind.h"

namespace melnix {

namespace {
constexpr int kThumbnailSide = 96;
constexpr int kDialogMargin = 60;
}  // namespace

QIcon ThumbnailIconProvider::icon(const QFileInfo& info) const {
    if (!info.isFile() || mediaKind(info.fileName().toStdString(), MediaTable::Picture) == 0)
        return plain_.icon(info);
    const QString key = info.absoluteFilePath() + QString::number(info.lastModified().toMSecsSinceEpoch());
    auto cached = cache_.constFind(key);
    if (cached != cache_.constEnd()) return *cached;
    // Decoding at the small size keeps a folder of large photos quick.
    QImageReader reader(info.absoluteFilePath());
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (size.isValid()) reader.setScaledSize(size.scaled(kThumbnailSide, kThumbnailSide, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    const QIcon result = image.isNull() ? plain_.icon(info) : QIcon(QPixmap::fromImage(image));
    cache_.insert(key, result);
    return result;
}

ThumbnailFileDialog::ThumbnailFileDialog(QWidget* parent, const QString& title, const QString& folder,
                                         const QString& filter)
    : QFileDialog(parent, title, folder, filter), icons_(std::make_unique<ThumbnailIconProvider>()) {
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setViewMode(QFileDialog::List);
    setIconProvider(icons_.get());
    showThumbnails();
    const QRect screen = (parent && parent->screen() ? parent->screen() : QGuiApplication::primaryScreen())->availableGeometry();
    resize(kThumbnailColumns * kThumbnailCellWidth + kDialogMargin, screen.height() * 2 / 3);
    move(screen.center() - rect().center());
    // Another folder gets the same grid.
    connect(this, &QFileDialog::directoryEntered, this, [this] { showThumbnails(); });
}

void ThumbnailFileDialog::showThumbnails() {
    auto* view = findChild<QListView*>("listView");
    if (!view) return;
    view->setViewMode(QListView::IconMode);
    view->setIconSize(QSize(kThumbnailSide, kThumbnailSide));
    view->setGridSize(QSize(kThumbnailCellWidth, kThumbnailCellHeight));
    view->setResizeMode(QListView::Adjust);
    view->setWrapping(true);
    view->setWordWrap(true);
    view->setUniformItemSizes(true);
}

QStringList ThumbnailFileDialog::getOpenFileNames(QWidget* parent, const QString& title, const QString& folder,
                                                  const QString& filter) {
    ThumbnailFileDialog dialog(parent, title, folder, filter);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

}  // namespace melnix
