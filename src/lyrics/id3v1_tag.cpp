// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/id3v1_tag.h"

#include "lyrics/lyric_text.h"

namespace melnix {
namespace {
constexpr size_t kTagSize = 128;
constexpr size_t kTitleAt = 3, kFieldSize = 30, kArtistAt = 33, kAlbumAt = 63, kYearAt = 93, kYearSize = 4;
}  // namespace

Id3v1Tag parseId3v1(std::string_view tag) {
    Id3v1Tag t;
    if (tag.size() != kTagSize || tag.substr(0, 3) != "TAG") return t;
    auto field = [&tag](size_t at, size_t size) { return trimLyricText(tag.substr(at, size)); };
    t.title = field(kTitleAt, kFieldSize);
    t.artist = field(kArtistAt, kFieldSize);
    t.album = field(kAlbumAt, kFieldSize);
    t.year = field(kYearAt, kYearSize);
    return t;
}

}  // namespace melnix
