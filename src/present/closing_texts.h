// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts that take turns on the subtitle after the last line, in the
// editor, in the show and in an exported video alike.

#include <QString>

#include "present/core/show_schedule.h"

namespace melnix {

// The index-th closing text (taken in turn); hasLines: the song has a lyric.
QString closingText(int index, bool hasLines);

}  // namespace melnix
