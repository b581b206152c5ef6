// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/app_icons.h"

#include <QPixmap>

namespace melnix {

namespace {

struct IconFile {
    int id;
    const char* path;
};

constexpr IconFile kIcons[] = {
    {kIconProgram, ":/icons/128.svg"},       {kIconSoundOn, ":/icons/130.svg"},
    {kIconMuted, ":/icons/131.svg"},         {kIconRuler, ":/icons/132.svg"},
    {kIconWaveform, ":/icons/133.svg"},      {kIconDoubleScale, ":/icons/134.svg"},
    {kIconVocalsKept, ":/icons/141.svg"},    {kIconVocalsRemoved, ":/icons/143.svg"},
};

struct CursorFile {
    int id;
    const char* path;
    int hotX, hotY;  // in the 32 x 32 drawing
};

constexpr CursorFile kCursors[] = {
    {kCursorLinkFirst, ":/cursors/137.svg", 12, 2},
    {kCursorLinkFirst + 1, ":/cursors/138.svg", 12, 2},
    {kCursorLinkLast, ":/cursors/139.svg", 12, 2},
    {kCursorPicture, ":/cursors/149.svg", 2, 2},
};

}  // namespace

QIcon melnixIcon(int id) {
    for (const IconFile& f : kIcons)
        if (f.id == id) return QIcon(QString::fromLatin1(f.path));
    return {};
}

QCursor melnixCursor(int id) {
    for (const CursorFile& f : kCursors) {
        if (f.id != id) continue;
        const QPixmap pixmap(QString::fromLatin1(f.path));
        if (pixmap.isNull()) break;
        return QCursor(pixmap, f.hotX, f.hotY);
    }
    return QCursor(Qt::ArrowCursor);
}

}  // namespace melnix
