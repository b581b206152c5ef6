// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One background picture of the show: decoded from its file (or one of the
// program's own pictures) and drawn at a display mode, position and zoom.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QRect>
#include <functional>
#include <string>

#include "present/core/presentation_math.h"

class QPainter;

namespace melnix {

class PictureScrambler;

class PictureImage {
public:
    // Hands out the program's own picture (JPEG bytes) when a file is
    // missing, unreadable or not a picture.
    using BuiltIn = std::function<QByteArray()>;

    // Always ends with a picture; false when the built-in one stood in. A
    // scrambled picture opens with a password the scrambler knows or asks for.
    bool load(const std::string& path, const BuiltIn& builtIn, PictureScrambler* scrambler = nullptr);

    const std::string& path() const { return path_; }
    const QImage& image() const { return image_; }
    bool isMetafile() const { return metafile_; }
    QSize size() const { return image_.size(); }

    // Where and how large the picture goes in window r (x, y: kCentred or a
    // position), with automatic mode resolved for a screen of screen's size.
    PicturePlacement placement(const QRect& r, int mode, int zoomX, int zoomY, int x, int y, QSize screen) const;

    // Draws the picture into r; the margins around it get fill.
    void draw(QPainter& painter, const QRect& r, int mode, int zoomX, int zoomY, int x, int y, const QColor& fill,
              QSize screen) const;

    // The window's whole look with the picture centred: what a transition
    // ends on.
    QImage render(QSize window, int mode, const QColor& fill, QSize screen) const;

private:
    std::string path_;
    QImage image_;
    bool metafile_ = false;
};

}  // namespace melnix
