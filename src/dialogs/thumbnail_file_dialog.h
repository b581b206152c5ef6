// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A file chooser that shows pictures as thumbnails, sized for browsing a
// folder of background pictures.

#include <QAbstractFileIconProvider>
#include <QFileDialog>
#include <QHash>
#include <QIcon>
#include <memory>

namespace melnix {

constexpr int kThumbnailCellWidth = 102;
constexpr int kThumbnailCellHeight = 122;
constexpr int kThumbnailColumns = 6;

// Pictures get a small copy of themselves as their icon; other files and
// folders keep the usual icons.
class ThumbnailIconProvider : public QAbstractFileIconProvider {
public:
    QIcon icon(const QFileInfo& info) const override;
    QIcon icon(IconType type) const override { return plain_.icon(type); }

private:
    QAbstractFileIconProvider plain_;
    mutable QHash<QString, QIcon> cache_;
};

// A non-native file dialog in the thumbnail grid: 6 cells and a margin wide,
// two thirds of the screen high, centred.
class ThumbnailFileDialog : public QFileDialog {
    Q_OBJECT
public:
    ThumbnailFileDialog(QWidget* parent, const QString& title, const QString& folder, const QString& filter);

    // Several existing files; none when cancelled.
    static QStringList getOpenFileNames(QWidget* parent, const QString& title, const QString& folder,
                                        const QString& filter);

private:
    void showThumbnails();
    std::unique_ptr<ThumbnailIconProvider> icons_;
};

}  // namespace melnix
