// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the line actions allow for the line at the current position.

#include <cstddef>

#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_text.h"

namespace melnix {

// A line shorter than this has nothing worth splitting.
constexpr size_t kSplitMinBytes = 12;
// Two lines merge when their texts together leave room for a separating space.
constexpr size_t kMergeMaxBytes = static_cast<size_t>(kMaxLineBytes) + 1;

struct ActionEnabling {
    bool add = true;
    bool modify = false;   // also delete and the placement control
    bool split = false;
    bool merge = false;
    bool reference = false;
};
ActionEnabling actionEnabling(const LyricSheet& sheet, int lineIndex);

}  // namespace melnix
