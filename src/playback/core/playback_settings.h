// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How the pitch-keeping speeds are played and the singer's key of each song,
// kept between runs in a small text file of their own in the data folder:
//   stretch=quality        (or block)
//   key=2<TAB>/path/of/the/song.mp3
// Lines that do not read are skipped, so a damaged file loses at most them.

#include <map>
#include <string>

namespace melnix {

constexpr char kPlaybackSettingsFileName[] = "playback.ini";

struct PlaybackSettings {
    bool stretchQuality = true;
    std::map<std::string, int> keys;  // songs whose key is not 0
};

// False when the file cannot be read (settings then keep their defaults).
bool loadPlaybackSettings(const std::string& path, PlaybackSettings& settings);
// Replaces the file safely.
bool savePlaybackSettings(const std::string& path, const PlaybackSettings& settings);

}  // namespace melnix
