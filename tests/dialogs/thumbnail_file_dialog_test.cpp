// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/thumbnail_file_dialog.h"

#include <QFileInfo>
#include <QImage>
#include <QListView>

#include <gtest/gtest.h>

#include "support/test_files.h"

namespace melnix {
namespace {

QRgb middle(const QIcon& icon) {
    const QImage image = icon.pixmap(96, 96).toImage();
    return image.isNull() ? 0 : image.pixel(image.width() / 2, image.height() / 2);
}

TEST(ThumbnailFileDialog, PicturesShowAsSmallCopiesOfThemselves) {
    test::TempDir dir;
    QImage red(800, 600, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(QString::fromStdString(dir.file("red.jpg")), "JPG"));
    test::writeFile(dir.file("notes.txt"), "words");
    test::writeFile(dir.file("broken.jpg"), "not a picture");

    ThumbnailIconProvider icons;
    const QIcon thumb = icons.icon(QFileInfo(QString::fromStdString(dir.file("red.jpg"))));
    ASSERT_FALSE(thumb.isNull());
    const QSize size = thumb.availableSizes().value(0);
    EXPECT_EQ(size, QSize(96, 72));  // the picture's shape, at the thumbnail's width
    EXPECT_GT(qRed(middle(thumb)), 200);
    EXPECT_LT(qGreen(middle(thumb)), 60);
    for (const char* other : {"notes.txt", "broken.jpg"})
        EXPECT_NE(middle(icons.icon(QFileInfo(QString::fromStdString(dir.file(other))))), middle(thumb)) << other;
}

TEST(ThumbnailFileDialog, OpensInTheThumbnailGrid) {
    test::TempDir dir;
    ThumbnailFileDialog dialog(nullptr, "t", QString::fromStdString(dir.path()), "(*.JPG)");
    auto* view = dialog.findChild<QListView*>("listView");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->viewMode(), QListView::IconMode);
    EXPECT_EQ(view->gridSize(), QSize(kThumbnailCellWidth, kThumbnailCellHeight));
    EXPECT_EQ(dialog.width(), kThumbnailColumns * kThumbnailCellWidth + 60);
    EXPECT_EQ(dialog.fileMode(), QFileDialog::ExistingFiles);
}

}  // namespace
}  // namespace melnix
