// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The edit modes' confirms: adding, modifying, deleting, splitting, merging
// and referencing lines, each working on the line at the position where the
// mode was entered.

#include <string>
#include <string_view>
#include <vector>

#include "common/translate_mark.h"
#include "lyrics/lyric_sheet.h"
#include "sync/edit_result.h"

namespace melnix {

// Where the mode was entered: the song position in editor units and the time
// scale in effect.
struct EditSpot {
    int editPosition = 0;
    int timeScale = 1;
    int cs() const { return editPosition / timeScale; }
};

// The combo box text as a line would hold it: trimmed, at most 30 bytes.
std::string cleanEntryText(std::string_view boxText);

// Each confirm leaves the song where it stands, playing on if it played
// before the edit (TransportAction::Resume); a confirm whose text or
// precondition does not hold changes nothing else.
EditResult confirmAdd(LyricSheet& sheet, EditSpot at, std::string_view boxText);
EditResult confirmModify(LyricSheet& sheet, EditSpot at, std::string_view boxText);
EditResult confirmDelete(LyricSheet& sheet, EditSpot at);
// boxText is the beginning of the line that the user kept.
EditResult confirmSplit(LyricSheet& sheet, EditSpot at, std::string_view boxText);
// boxText is the line and the next one joined, with or without the space.
EditResult confirmMerge(LyricSheet& sheet, EditSpot at, std::string_view boxText);
EditResult cancelEdit(EditSpot at);

// The candidates for the reference mode, GBK text: first the lines with the
// same text as the line worked on (that line marked as not to be used), then
// every other line with as many characters. Empty when no other line has as
// many characters, and then the mode is not entered. selfText marks that
// line (UTF-8); the editor hands in its translation, context "LineEdits".
struct ReferenceList {
    std::vector<std::string> entries;
    std::string boxText;  // the first entry naming another line
};
inline constexpr char kReferenceSelfText[] = QT_TRANSLATE_NOOP("LineEdits", "(本句,勿用! Don't use self!)");
ReferenceList referenceList(LyricSheet& sheet, EditSpot at, std::string_view selfText = kReferenceSelfText);

// boxText names the chosen line by its "^NNN" number; only a line with the
// very same text lends its times.
EditResult confirmReference(LyricSheet& sheet, EditSpot at, std::string_view boxText);

}  // namespace melnix
