// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/media_kind.h"

#include <array>
#include <span>

#include "common/paths.h"

namespace melnix {
namespace {

// New kinds go at the end: a kind's position chooses its engine.
constexpr std::array<std::string_view, 26> kAudio = {
    ".MP3", ".WAV", ".WMA", ".MID",  ".MIDI", ".RMI", ".KAR", ".SND", ".CDA",  ".MPA", ".SWF", ".RM",  ".RAM",
    ".RA",  ".FLAC", ".OGG", ".OGA", ".OPUS", ".M4A", ".AAC", ".AIF", ".AIFF", ".WV",  ".APE", ".MKA", ".WEBA"};
constexpr std::array<std::string_view, 13> kVideo = {".MPG", ".WMV", ".MPEG", ".MPE", ".ASF", ".AVI", ".MP4",
                                                     ".M4V", ".MKV", ".WEBM", ".MOV", ".FLV", ".TS"};
constexpr std::array<std::string_view, 10> kPicture = {".PIK",  ".JPG", ".BMP", ".JPE", ".WMF",
                                                       ".JPEG", ".GIF", ".TIF", ".PNG", ".WEBP"};
constexpr size_t kFilterAudioEntries = 10;
static_assert(kAudioLastDecoded == static_cast<int>(kAudio.size()));

int findKind(std::string_view name, std::span<const std::string_view> table) {
    for (size_t i = 0; i < table.size(); ++i)
        if (endsWithNoCase(name, table[i])) return static_cast<int>(i) + 1;
    return 0;
}

void appendFilter(std::string& out, std::span<const std::string_view> table) {
    for (std::string_view ext : table) {
        out.append(out.empty() ? "*" : ";*");
        out.append(ext);
    }
}

std::string filterOf(std::span<const std::string_view> table) {
    std::string out;
    appendFilter(out, table);
    return out;
}

}  // namespace

int mediaKind(std::string_view name, MediaTable table) {
    switch (table) {
        case MediaTable::Audio: return findKind(name, kAudio);
        case MediaTable::Video: return findKind(name, kVideo);
        case MediaTable::Picture: return findKind(name, kPicture);
    }
    return 0;
}

bool isSongFile(std::string_view name) {
    return mediaKind(name, MediaTable::Audio) > 0 || mediaKind(name, MediaTable::Video) > 0;
}

bool isDecodedAudioKind(int kind) { return kind >= kAudioFirstDecoded && kind <= kAudioLastDecoded; }

bool isWaveEngineKind(int kind) {
    return kind == kAudioMp3 || kind == kAudioWav || kind == kAudioMpa || isDecodedAudioKind(kind);
}

bool isMidiSong(std::string_view name) {
    int k = mediaKind(name, MediaTable::Audio);
    return k >= kAudioFirstMidi && k <= kAudioLastMidi;
}

std::string mediaFilter(MediaTable table, bool firstAudioOnly) {
    switch (table) {
        case MediaTable::Audio: {
            if (!firstAudioOnly) return filterOf(kAudio);
            std::string out = filterOf(std::span(kAudio).first(kFilterAudioEntries));
            appendFilter(out, std::span(kAudio).subspan(kAudioFirstDecoded - 1));
            return out;
        }
        case MediaTable::Video: return filterOf(kVideo);
        case MediaTable::Picture: return filterOf(kPicture);
    }
    return {};
}

}  // namespace melnix
