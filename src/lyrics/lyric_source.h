// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>

#include "common/file.h"

namespace melnix {

// Opens a lyric or lyric-text file for reading as GBK: UTF-8 and UTF-16 text
// is converted in memory first, everything else (GBK text, our own lyric
// blocks, files too large to be lyric text) is read as it stands.
bool openLyricSource(const std::string& path, File& file);

}  // namespace melnix
