// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The source the wave engine reads a song of a wave kind through.

#include "audio/wave_player.h"
#include "songlist/media_kind.h"

namespace melnix {

constexpr WaveSourceKind waveSourceOf(SongKind kind) {
    return kind == SongKind::Wav   ? WaveSourceKind::Wav
           : kind == SongKind::Mp3 ? WaveSourceKind::Mpeg
                                   : WaveSourceKind::Decoded;
}

}  // namespace melnix
