// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/song_credits.h"

#include "audio/ffmpeg_bounds.h"
#include "common/file.h"
#include "common/gbk.h"
#include "lyrics/id3v1_tag.h"
#include "lyrics/mlx_block.h"
#include "songlist/media_kind.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

namespace melnix {
namespace {

// A tag's value, trimmed; tags hold a line each at most.
std::string tagValue(const AVDictionary* dict, const char* key) {
    const AVDictionaryEntry* e = av_dict_get(dict, key, nullptr, 0);
    if (!e || !e->value) return {};
    std::string v = e->value;
    v = v.substr(0, v.find_first_of("\r\n"));
    const size_t first = v.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return v.substr(first, v.find_last_not_of(" \t") - first + 1);
}

void fillFromLibraries(const std::string& song, SongCredits& c) {
    prepareFfmpeg();
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, song.c_str(), nullptr, nullptr) < 0) return;
    // Ogg keeps its comments with the stream, most others with the file.
    const AVDictionary* dicts[] = {format->metadata, format->nb_streams > 0 ? format->streams[0]->metadata : nullptr};
    for (const AVDictionary* d : dicts) {
        if (c.title.empty()) c.title = tagValue(d, "title");
        if (c.artist.empty()) c.artist = tagValue(d, "artist");
    }
    avformat_close_input(&format);
}

}  // namespace

SongCredits readSongCredits(const std::string& song) {
    SongCredits c;
    File file;
    if (!file.open(song, File::Mode::Read)) return c;
    std::string tag;
    int64_t dataLength = 0;
    locateTailBlock(file, tag, dataLength);
    file.close();
    const Id3v1Tag id3 = parseId3v1(tag);
    c.title = gbkToUtf8(id3.title);
    c.artist = gbkToUtf8(id3.artist);
    // A MIDI song names nothing the libraries could read.
    if ((c.title.empty() || c.artist.empty()) && !isMidiSong(song)) fillFromLibraries(song, c);
    return c;
}

std::string creditsLine(const SongCredits& credits) {
    if (credits.title.empty() || credits.artist.empty()) return credits.title + credits.artist;
    return credits.title + " - " + credits.artist;
}

}  // namespace melnix
