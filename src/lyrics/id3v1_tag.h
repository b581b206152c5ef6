// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The fields of an ID3v1 tag: the last 128 bytes of many MP3s, "TAG" then
// fixed-width fields, in the encoding the tagger used (GBK on Chinese
// systems).

#include <string>
#include <string_view>

namespace melnix {

struct Id3v1Tag {
    // As stored (GBK here), without padding.
    std::string title, artist, album, year;
};

// Empty fields for anything but a 128-byte tag that begins "TAG".
Id3v1Tag parseId3v1(std::string_view tag);

}  // namespace melnix
