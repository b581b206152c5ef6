// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Who and what a song is, for the end of an exported video: the ID3v1 tag
// (GBK, as Chinese taggers write it), else the tags the FFmpeg libraries
// read (ID3v2, Vorbis comments, MP4 atoms).

#include <string>

namespace melnix {

struct SongCredits {
    std::string title, artist;  // UTF-8; empty when unknown
};

SongCredits readSongCredits(const std::string& song);

// "Title - Artist", or the one that is known, or empty.
std::string creditsLine(const SongCredits& credits);

}  // namespace melnix
