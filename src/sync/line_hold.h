// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Holding the right button in the subtitle area until a line begins: on
// release the held line starts there, carrying the later lines with it.

#include "lyrics/lyric_sheet.h"
#include "sync/edit_result.h"

namespace melnix {

class LineHold {
public:
    // Right button down with `currentLine` on show; false (nothing held)
    // when there is no such line.
    bool begin(const LyricSheet& sheet, int currentLine);

    // Button up at song position t (cs).
    EditResult end(LyricSheet& sheet, int t, bool playing);

    bool holding() const { return holdLine >= 0; }

    int holdLine = -1;
};

}  // namespace melnix
