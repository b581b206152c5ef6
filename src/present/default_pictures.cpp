// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/default_pictures.h"

#include <QFile>

#include "songlist/background_list.h"

namespace melnix {

QByteArray NextDefaultPicture() {
    static DefaultPictureRotation rotation;
    QFile f(rotation.next() == 0 ? ":/pictures/151.jpg" : ":/pictures/152.jpg");
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace melnix
