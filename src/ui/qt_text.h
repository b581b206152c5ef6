// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where text meets Qt: lyric and state-file text is GBK, file names are the
// local 8-bit encoding, widgets take QString.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <string>
#include <string_view>

#include "common/gbk.h"

namespace melnix {

inline QString fromGbk(std::string_view gbk) { return QString::fromStdString(gbkToUtf8(gbk)); }
inline std::string toGbk(const QString& text) { return utf8ToGbk(text.toStdString()); }
// A file name for the program's own file routines, and back for display.
inline std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
inline QString displayPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

}  // namespace melnix
