// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/media_kind.h"

#include <array>
#include <span>

#include "common/paths.h"

namespace melnix {
namespace {

struct AudioKind {
    std::string_view ext;
    SongKind kind;
};

// In the order of the dialogs' filters: the common music kinds, the hosted
// controls' kinds, then those FFmpeg decodes.
constexpr std::array<AudioKind, 26> kAudioKinds = {{
    {".MP3", SongKind::Mp3},        {".WAV", SongKind::Wav},         {".WMA", SongKind::Hosted},
    {".MID", SongKind::Midi},       {".MIDI", SongKind::Midi},       {".RMI", SongKind::Midi},
    {".KAR", SongKind::Midi},       {".SND", SongKind::Hosted},      {".CDA", SongKind::Hosted},
    {".MPA", SongKind::Mp3},        {".SWF", SongKind::Flash},       {".RM", SongKind::Streaming},
    {".RAM", SongKind::Streaming},  {".RA", SongKind::Streaming},    {".FLAC", SongKind::Decoded},
    {".OGG", SongKind::Decoded},    {".OGA", SongKind::Decoded},     {".OPUS", SongKind::Decoded},
    {".M4A", SongKind::Decoded},    {".AAC", SongKind::Decoded},     {".AIF", SongKind::Decoded},
    {".AIFF", SongKind::Decoded},   {".WV", SongKind::Decoded},      {".APE", SongKind::Decoded},
    {".MKA", SongKind::Decoded},    {".WEBA", SongKind::Decoded},
}};
constexpr std::array<std::string_view, kAudioKinds.size()> audioExtensions() {
    std::array<std::string_view, kAudioKinds.size()> out{};
    for (size_t i = 0; i < out.size(); ++i) out[i] = kAudioKinds[i].ext;
    return out;
}
constexpr std::array<std::string_view, kAudioKinds.size()> kAudio = audioExtensions();
constexpr std::array<std::string_view, 13> kVideo = {".MPG", ".WMV", ".MPEG", ".MPE", ".ASF", ".AVI", ".MP4",
                                                     ".M4V", ".MKV", ".WEBM", ".MOV", ".FLV", ".TS"};
constexpr std::array<std::string_view, 10> kPicture = {".PIK",  ".JPG", ".BMP", ".JPE", ".WMF",
                                                       ".JPEG", ".GIF", ".TIF", ".PNG", ".WEBP"};
// The short audio filter: the first ten entries and the decoded kinds.
constexpr size_t kFilterAudioEntries = 10;
constexpr size_t kFirstDecodedEntry = 14;
static_assert(kAudioKinds[kFirstDecodedEntry].kind == SongKind::Decoded &&
              kAudioKinds[kFirstDecodedEntry - 1].kind != SongKind::Decoded);

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

SongKind songKindOf(std::string_view name) {
    const int k = mediaKind(name, MediaTable::Audio);
    return k > 0 ? kAudioKinds[static_cast<size_t>(k - 1)].kind : SongKind::Hosted;
}

bool isMidiSong(std::string_view name) { return songKindOf(name) == SongKind::Midi; }

std::string mediaFilter(MediaTable table, bool firstAudioOnly) {
    switch (table) {
        case MediaTable::Audio: {
            if (!firstAudioOnly) return filterOf(kAudio);
            std::string out = filterOf(std::span(kAudio).first(kFilterAudioEntries));
            appendFilter(out, std::span(kAudio).subspan(kFirstDecodedEntry));
            return out;
        }
        case MediaTable::Video: return filterOf(kVideo);
        case MediaTable::Picture: return filterOf(kPicture);
    }
    return {};
}

}  // namespace melnix
