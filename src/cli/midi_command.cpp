// melnix-tool midi: what the MIDI reader makes of a song.

#include "cli/midi_command.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cli/lyric_print.h"
#include "cli/tool_support.h"
#include "common/gbk.h"
#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"

namespace melnix {
namespace {

bool load(const std::string& path, MidiSongFile& song) {
    if (song.LoadFile(path, nullptr)) return true;
    int err = errno;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        std::fprintf(stderr, "melnix-tool: %s: %s\n", path.c_str(), std::strerror(err ? err : ENOENT));
    } else {
        std::fclose(f);
        std::fprintf(stderr, "melnix-tool: %s: not a MIDI song this program can read (empty, over %d bytes, "
                             "or a damaged or unsupported header)\n",
                     path.c_str(), kMaxMidiFileBytes);
    }
    return false;
}

int info(const std::string& path) {
    MidiSongFile song;
    if (!load(path, song)) return kExitFailed;
    std::printf("format=%u tracks=%u division=%u length_ms=%d\n", song.format, song.trackCount, song.division,
                song.songLengthMs);
    for (const TempoMapEntry& e : song.tempoMap) std::printf("tempo tick=%u us=%u\n", e.tick, e.tempo);
    for (int i = 0; i < song.tracks.size(); ++i) {
        const MidiTrack& t = song.tracks[i];
        std::printf("track %d notes=%u program=%d volume=%d name=%s\n", i, t.noteCount, t.programPlus1 - 1,
                    t.volumePlus1 - 1, gbkToUtf8(song.TrackName(i)).c_str());
    }
    return kExitOk;
}

int lyrics(const std::string& path) {
    MidiSongFile song;
    if (!load(path, song)) return kExitFailed;
    LyricSheet sheet;
    if (ExtractLyrics(song, sheet) == 0) {
        std::fprintf(stderr, "melnix-tool: %s: the song carries no lyric\n", path.c_str());
        return kExitFailed;
    }
    printLyricSheet(sheet, stdout);
    return kExitOk;
}

}  // namespace

int runMidiCommand(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "info") return info(args[1]);
    if (args.size() == 2 && args[0] == "lyrics") return lyrics(args[1]);
    return usage();
}

}  // namespace melnix
