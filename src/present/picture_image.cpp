// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/picture_image.h"

#include <QFile>
#include <QPainter>

#include "common/paths.h"
#include "present/core/picture_scrambler.h"
#include "present/core/pik_file.h"
#include "songlist/background_list.h"
#include "ui/qt_text.h"

namespace melnix {

namespace {
constexpr qint64 kMinPictureBytes = 16;
constexpr qint64 kMaxPictureBytes = 256LL * 1024 * 1024;
}  // namespace

bool PictureImage::load(const std::string& path, const BuiltIn& builtIn, PictureScrambler* scrambler) {
    path_ = path;
    metafile_ = endsWithNoCase(path, ".WMF");
    image_ = QImage();
    if (isPikPath(path)) {
        std::string bytes;
        const std::string name = scrambler ? scrambler->unscramblePicture(path, &bytes) : std::string();
        if (!name.empty()) {
            metafile_ = endsWithNoCase(name, ".WMF");
            image_.loadFromData(QByteArray::fromStdString(bytes));
        }
        if (!image_.isNull()) {
            image_ = image_.convertToFormat(QImage::Format_RGB32);
            return true;
        }
    } else if (!isBuiltInPicture(path)) {
        QFile file(displayPath(path));
        if (file.open(QIODevice::ReadOnly) && file.size() >= kMinPictureBytes && file.size() <= kMaxPictureBytes)
            image_.loadFromData(file.readAll());
        if (!image_.isNull()) {
            image_ = image_.convertToFormat(QImage::Format_RGB32);
            return true;
        }
    }
    // Our own picture stands in; it is a JPEG, never a metafile.
    metafile_ = false;
    if (builtIn) image_.loadFromData(builtIn(), "JPG");
    if (image_.isNull()) {
        image_ = QImage(640, 480, QImage::Format_RGB32);
        image_.fill(QColor(40, 60, 110));
    } else {
        image_ = image_.convertToFormat(QImage::Format_RGB32);
    }
    return false;
}

PicturePlacement PictureImage::placement(const QRect& r, int mode, int zoomX, int zoomY, int x, int y,
                                         QSize screen) const {
    if (mode == kModeAuto)
        mode = resolveAutoMode(image_.width(), image_.height(), r.width(), r.height(), screen.width(), screen.height());
    return placePicture(mode, metafile_, image_.width(), image_.height(),
                        IntRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}, zoomX, zoomY, x, y);
}

void PictureImage::draw(QPainter& painter, const QRect& r, int mode, int zoomX, int zoomY, int x, int y,
                        const QColor& fill, QSize screen) const {
    const PicturePlacement at = placement(r, mode, zoomX, zoomY, x, y, screen);
    if (image_.isNull()) {
        painter.fillRect(r, fill);
        return;
    }
    if (!at.drawn) return;
    painter.save();
    painter.setClipRect(r, Qt::IntersectClip);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, at.zoomX != kZoomNormal || at.zoomY != kZoomNormal);
    const QRect target(at.x, at.y, at.width, at.height);
    if (at.mode == kModeTiled) {
        // Tiles from a point at or before the window's corner until it is covered.
        int ox = target.x(), oy = target.y();
        while (ox > r.left()) ox -= target.width();
        while (oy > r.top()) oy -= target.height();
        for (int ty = oy; ty < r.bottom() + 1; ty += target.height())
            for (int tx = ox; tx < r.right() + 1; tx += target.width())
                painter.drawImage(QRect(tx, ty, target.width(), target.height()), image_);
    } else {
        QRegion margins(r);
        margins -= target;
        for (const QRect& m : margins) painter.fillRect(m, fill);
        painter.drawImage(target, image_);
    }
    painter.restore();
}

QImage PictureImage::render(QSize window, int mode, const QColor& fill, QSize screen) const {
    QImage out(window, QImage::Format_RGB32);
    out.fill(fill);
    QPainter painter(&out);
    draw(painter, QRect(QPoint(0, 0), window), mode, kZoomNormal, kZoomNormal, kCentred, kCentred, fill, screen);
    return out;
}

}  // namespace melnix
