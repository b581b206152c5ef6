// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lyric lines from an "OKPLAY Version" companion text file: the words sit in
// the text file beside the song, and their timing in marker notes of the
// song's last track (note 0 starts a text line, note 1 carries it on).

#include <string>
#include <vector>

#include "common/record_array.h"
#include "lyrics/lyric_sheet.h"
#include "midi/midi_types.h"

namespace melnix {

constexpr char kCompanionSignature[] = "OKPLAY Version";
constexpr size_t kCompanionSignatureBytes = sizeof kCompanionSignature - 1;

// True when the file at path opens and begins with the signature.
bool isCompanionFile(const std::string& path);

// The file's text lines: leading spaces and control characters dropped, each
// cut at 200 bytes and trimmed on the right.
std::vector<std::string> readCompanionLines(const std::string& path);

// Makes lines from the companion text and the markers: lines 0..4 are the
// file's header; the next lines up to the third marker are title lines
// (flags 1), the rest are sung text. Adds nothing, and leaves the sheet
// unchanged, without 4 markers that start lines or more than 12 text lines.
// Returns the number of lines made.
int BuildLinesFromCompanion(const RecordArray<MidiSyllable>& markers, const std::vector<std::string>& textLines,
                            LyricSheet& sheet);

}  // namespace melnix
