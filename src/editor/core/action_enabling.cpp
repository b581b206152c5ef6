// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/action_enabling.h"

namespace melnix {

ActionEnabling actionEnabling(const LyricSheet& sheet, int lineIndex) {
    ActionEnabling e;
    const LyricLine* line = sheet.lineAt(lineIndex);
    if (!line) return e;
    e.modify = true;
    e.split = line->text.size() >= kSplitMinBytes;
    if (const LyricLine* next = sheet.lineAt(lineIndex + 1)) e.merge = line->text.size() + next->text.size() < kMergeMaxBytes;
    for (int i = 0; i < sheet.lineCount() && !e.reference; ++i)
        e.reference = i != lineIndex && sheet.lineAt(i)->text == line->text;
    return e;
}

}  // namespace melnix
