// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes a decoded song as an MP3 file (LAME through FFmpeg's libraries), for
// players that take only MP3, such as the hosts of MP3+G karaoke.

#include <atomic>
#include <functional>
#include <string>

#include "export/core/song_audio.h"

namespace melnix {

constexpr int kMp3BitRate = 192000;

struct Mp3Options {
    int bitRate = kMp3BitRate;          // constant
    std::string titleUtf8, artistUtf8;  // the ID3v2 tag; none when both are empty
};

// Writes audio to path whole or not at all: into a temporary file beside it
// that replaces path only when complete. False with the reason in error (the
// file as it was); "cancelled" when cancel turned true. progress gets 0..100.
bool writeMp3(const SongAudio& audio, const std::string& path, const Mp3Options& options, std::string& error,
              const std::atomic<bool>* cancel = nullptr, const std::function<void(int percent)>& progress = {});

}  // namespace melnix
