// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lyric's lines are chained: moving a line's start or a character, or
// adding or deleting a line, moves every later line by the same amount. That
// is right while a song is timed from its start and wrong for one fix in a
// finished song. Here a step is made to change one line only: every other
// line gets its times back, and the changed line keeps its change as far as
// it stays 3 cs clear of its neighbours.

#include "lyrics/lyric_sheet.h"

namespace melnix {

// before: the lyric before the step; after: after it, changed here. touched:
// the line the step was about (-1: the first line that differs); for a line
// added or deleted it is found from the lyric. Returns true when the changed
// line had to be held back short of where the step put it.
bool keepOtherLines(const LyricSheet& before, LyricSheet& after, int touched = -1);

}  // namespace melnix
