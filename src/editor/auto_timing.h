// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "自动定时": a first timing of the lyric from where the song's voice sings,
// worked out beside the interface with a progress dialog that can cancel.

#include <QString>
#include <optional>
#include <string>

#include "sync/draft_timing.h"

class QWidget;

namespace melnix {

// Decodes the song, finds its voice and aligns the lyric on it. Nothing
// (and an empty error) when the user cancelled; nothing with the reason
// when the song could not be read.
std::optional<DraftResult> draftTimingOf(QWidget* parent, const std::string& song, const LyricSheet& lyric,
                                         QString& error);

}  // namespace melnix
