// SPDX-License-Identifier: GPL-3.0-or-later
#include "playback/core/playback_settings.h"

#include <charconv>
#include <sstream>

#include "audio/stretcher.h"
#include "common/file.h"
#include "common/safe_save.h"

namespace melnix {
namespace {

constexpr int64_t kMaxSettingsBytes = 16 * 1024 * 1024;
constexpr char kStretchPrefix[] = "stretch=";
constexpr char kKeyPrefix[] = "key=";

}  // namespace

bool loadPlaybackSettings(const std::string& path, PlaybackSettings& settings) {
    std::string text;
    if (!readWholeFile(path, text, kMaxSettingsBytes)) return false;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.rfind(kStretchPrefix, 0) == 0) {
            const std::string method = line.substr(sizeof kStretchPrefix - 1);
            if (method == "quality" || method == "block") settings.stretchQuality = method == "quality";
        } else if (line.rfind(kKeyPrefix, 0) == 0) {
            const size_t tab = line.find('\t');
            if (tab == std::string::npos || tab + 1 >= line.size()) continue;
            int key = 0;
            const char* from = line.data() + sizeof kKeyPrefix - 1;
            const char* to = line.data() + tab;
            if (from < to && *from == '+') ++from;
            const auto [end, ec] = std::from_chars(from, to, key);
            if (ec != std::errc() || end != to || key < kLowestKey || key > kHighestKey) continue;
            if (key == 0) settings.keys.erase(line.substr(tab + 1));
            else settings.keys[line.substr(tab + 1)] = key;
        }
    }
    return true;
}

bool savePlaybackSettings(const std::string& path, const PlaybackSettings& settings) {
    std::string text = std::string(kStretchPrefix) + (settings.stretchQuality ? "quality" : "block") + "\n";
    for (const auto& [song, key] : settings.keys) {
        // A name with a line break could not be read back as one line.
        if (key == 0 || song.find_first_of("\r\n") != std::string::npos) continue;
        text += kKeyPrefix + std::to_string(key) + "\t" + song + "\n";
    }
    SafeSave save;
    return save.begin(path) && save.file().write(text.data(), text.size()) && save.commit();
}

}  // namespace melnix
