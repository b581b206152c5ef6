// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Export of a sheet to the open formats other players and games read. All
// output is UTF-8 text.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "lyrics/lyric_sheet.h"

namespace melnix {

struct ExportInfo {
    std::string title;     // UTF-8; empty: not written
    std::string artist;    // UTF-8; empty: not written
    std::string songFile;  // UTF-8 file name of the song; empty: unknown
    // MIDI note number sung at a time (1/100 s), or -1; used for UltraStar.
    std::function<int(int32_t)> pitchAt;
};

enum class ExportFormat { Lrc, EnhancedLrc, Ass, UltraStar };

// "lrc", "elrc", "ass", "ultrastar"; false when the name is unknown.
bool exportFormatByName(const std::string& name, ExportFormat& format);

std::string exportLyrics(const LyricSheet& sheet, ExportFormat format, const ExportInfo& info);

// The format a lyric saved under this name is written in: by its extension
// (.lrc, the enhanced kind when asked for; .ass or .ssa; UltraStar's .txt),
// none for the program's own MLX and any other name.
std::optional<ExportFormat> exportFormatForName(std::string_view path, bool enhancedLrc);

// "mm:ss.xx" for LRC tags.
std::string lrcClock(int64_t centiseconds);

}  // namespace melnix
