#include "songlist/media_kind.h"

#include <array>
#include <span>

#include "common/paths.h"

namespace melnix {
namespace {

constexpr std::array<std::string_view, 14> kAudio = {".MP3", ".WAV", ".WMA", ".MID", ".MIDI", ".RMI", ".KAR",
                                                     ".SND", ".CDA", ".MPA", ".SWF", ".RM",  ".RAM", ".RA"};
constexpr std::array<std::string_view, 6> kVideo = {".MPG", ".WMV", ".MPEG", ".MPE", ".ASF", ".AVI"};
constexpr std::array<std::string_view, 8> kPicture = {".PIK", ".JPG", ".BMP", ".JPE", ".WMF", ".JPEG", ".GIF", ".TIF"};
constexpr size_t kFilterAudioEntries = 10;

int findKind(std::string_view name, std::span<const std::string_view> table) {
    for (size_t i = 0; i < table.size(); ++i)
        if (endsWithNoCase(name, table[i])) return static_cast<int>(i) + 1;
    return 0;
}

std::string filterOf(std::span<const std::string_view> table) {
    std::string out;
    for (size_t i = 0; i < table.size(); ++i) {
        out.append(i == 0 ? "*" : ";*");
        out.append(table[i]);
    }
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

bool isMidiSong(std::string_view name) {
    int k = mediaKind(name, MediaTable::Audio);
    return k >= kAudioFirstMidi && k <= kAudioLastMidi;
}

std::string mediaFilter(MediaTable table, bool firstAudioOnly) {
    switch (table) {
        case MediaTable::Audio:
            return filterOf(std::span(kAudio).first(firstAudioOnly ? kFilterAudioEntries : kAudio.size()));
        case MediaTable::Video: return filterOf(kVideo);
        case MediaTable::Picture: return filterOf(kPicture);
    }
    return {};
}

}  // namespace melnix
