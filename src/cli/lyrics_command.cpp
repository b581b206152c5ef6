// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool lyrics ...: showing, converting, storing and exporting lyrics.

#include "cli/lyrics_command.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/lyric_print.h"
#include "cli/tool_support.h"
#include "common/file.h"
#include "common/safe_save.h"
#include "common/gbk.h"
#include "common/paths.h"
#include "audio/voice_onsets.h"
#include "export/core/song_audio.h"
#include "lyrics/lyric_export.h"
#include "lyrics/lyric_file_kinds.h"
#include "lyrics/lyric_import.h"
#include "lyrics/lyric_text.h"
#include "lyrics/lyric_sheet.h"
#include "lyrics/lyric_store.h"
#include "midi/melody_track.h"
#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"
#include "songlist/media_kind.h"
#include "sync/draft_timing.h"

namespace melnix {
namespace {

// A song file gives its tail block; any other file is read as a lyric file.
bool loadAny(const std::string& path, LyricSheet& sheet, std::string& error) {
    if (isSongFile(path)) {
        switch (readTailLyric(path, sheet)) {
            case TailLoad::Loaded: return true;
            case TailLoad::Damaged:
                std::fprintf(stderr, "melnix-tool: %s: the lyric block's timings are damaged; default times used\n",
                             path.c_str());
                return !sheet.empty();
            case TailLoad::NoBlock: error = path + ": the song carries no lyric"; return false;
            case TailLoad::CannotOpen: error = path + ": " + std::strerror(errno); return false;
        }
        return false;
    }
    if (!openLyricFile(path, sheet)) {
        error = path + ": not a readable lyric file";
        return false;
    }
    if (sheet.droppedOnRead > 0)
        std::fprintf(stderr,
                     "melnix-tool: %s: %d lines left out: each follows the line before too closely (under "
                     "0.09 s) to be sung\n",
                     path.c_str(), sheet.droppedOnRead);
    if (sheet.empty()) {
        error = path + ": the file holds no lyric";
        return false;
    }
    return true;
}

int showLyrics(const std::string& path) {
    LyricSheet sheet;
    std::string error;
    if (!loadAny(path, sheet, error)) return fail(error);
    printLyricSheet(sheet, stdout);
    return kExitOk;
}

bool parseLength(const char* s, int32_t& out) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s, &end, 10);
    if (errno || !end || *end || v < 0 || v > INT32_MAX) return false;
    out = static_cast<int32_t>(v);
    return true;
}

int convertLyrics(const std::string& in, const std::string& out, int32_t length) {
    if (sameFile(in, out)) return fail(out + ": this is the input itself; choose another name for the output");
    LyricSheet sheet;
    std::string error;
    if (!loadAny(in, sheet, error)) return fail(error);
    StoreError se;
    // File names are UTF-8 here; the block stores GBK like all its text.
    std::string songName = isSongFile(in) ? utf8ToGbk(fileNameOf(in)) : std::string();
    if (!storeInLyricFile(out, sheet, length, songName, &se)) return fail(out + ": " + se.detail);
    return kExitOk;
}

int embedLyrics(const std::string& song, const std::string& lyrics) {
    LyricSheet sheet;
    std::string error;
    if (!loadAny(lyrics, sheet, error)) return fail(error);
    StoreError se;
    if (!storeInSongTail(song, sheet, &se)) return fail(song + ": " + se.detail);
    return kExitOk;
}

int extractLyrics(const std::string& song, const std::string& out) {
    if (sameFile(song, out)) return fail(out + ": this is the song itself; choose another name for the output");
    LyricSheet sheet;
    switch (readTailLyric(song, sheet)) {
        case TailLoad::Loaded: break;
        case TailLoad::Damaged: return fail(song + ": the lyric block is damaged");
        case TailLoad::NoBlock: return fail(song + ": the song carries no lyric");
        case TailLoad::CannotOpen: return fail(song + ": " + std::strerror(errno));
    }
    StoreError se;
    if (!storeInLyricFile(out, sheet, 0, utf8ToGbk(fileNameOf(song)), &se)) return fail(out + ": " + se.detail);
    return kExitOk;
}

// A lyric to align: a timed one as any lyric is read, or a plain text, one
// line a line, not timed yet.
bool loadForAlign(const std::string& path, LyricSheet& sheet, std::string& error) {
    const LyricFileKind* kind = lyricFileKindOf(path);
    if (!kind || kind->timed) return loadAny(path, sheet, error);
    std::vector<std::string> lines;
    if (!readTextFileLines(path, lines)) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    breakLongLines(lines);
    takeEditLines(sheet, lines, true);
    sheet.normalizeLines();
    if (sheet.empty()) {
        error = path + ": the file holds no lyric";
        return false;
    }
    return true;
}

// lyrics align SONG LYRICS OUT [--format mlx|lrc|elrc]: a first timing of
// the lyric from the song's voice, one line a line on standard output with
// how sure it is.
int alignLyricsCommand(const std::vector<std::string>& args) {
    if (args.size() != 3 && args.size() != 5) return usage();
    std::string format = "mlx";
    if (args.size() == 5) {
        if (args[3] != "--format") return usage();
        format = args[4];
    }
    ExportFormat exportFormat{};
    if (format != "mlx" && (format == "ass" || format == "ultrastar" || !exportFormatByName(format, exportFormat)))
        return usage();
    const std::string& song = args[0];
    const std::string& in = args[1];
    const std::string& out = args[2];
    if (sameFile(song, out) || sameFile(in, out))
        return fail(out + ": this is an input itself; choose another name for the output");
    LyricSheet sheet;
    std::string error;
    if (!loadForAlign(in, sheet, error)) return fail(error);
    SongAudio audio;
    if (!decodeSongAudio(song, 0, 0, audio, error)) return fail(error);
    VoiceAnalysis voice;
    if (!analyzeVoice(audio.samples, 2, audio.sampleRate, voice))
        return fail(song + ": its sound cannot be listened to");
    const int32_t lengthCs = static_cast<int32_t>(audio.lengthMs() / 10);
    audio = SongAudio();
    DraftOptions options;
    options.lineTimesKnown = !lyricLooksUntimed(sheet);
    const DraftResult draft = alignLyric(sheet, voice, options);
    applyDraft(sheet, draft);
    if (format == "mlx") {
        StoreError se;
        if (!storeInLyricFile(out, sheet, lengthCs, utf8ToGbk(fileNameOf(song)), &se)) return fail(out + ": " + se.detail);
    } else {
        ExportInfo info;
        info.songFile = fileNameOf(song);
        const std::string text = exportLyrics(sheet, exportFormat, info);
        SafeSave save;
        if (!save.begin(out) || !save.file().write(text) || !save.commit())
            return fail(out + ": " + std::strerror(save.lastErrno() ? save.lastErrno() : save.file().lastErrno()));
    }
    for (size_t i = 0; i < draft.lines.size(); ++i) {
        const DraftLine& l = draft.lines[i];
        std::printf("%zu\t%d\t%.2f\t%s\t%s\n", i, l.startTime, static_cast<double>(l.confidence),
                    l.weak ? "check" : "ok", gbkToUtf8(sheet.lineAt(static_cast<int>(i))->text).c_str());
    }
    return kExitOk;
}

int exportLyricsCommand(const std::vector<std::string>& args) {
    // args: FILE OUT then options
    if (args.size() < 2) return usage();
    ExportFormat format{};
    bool haveFormat = false;
    ExportInfo info;
    for (size_t i = 2; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return usage();
        const std::string& opt = args[i];
        const std::string& value = args[i + 1];
        if (opt == "--format") {
            if (!exportFormatByName(value, format)) return usage();
            haveFormat = true;
        } else if (opt == "--title") {
            info.title = value;
        } else if (opt == "--artist") {
            info.artist = value;
        } else {
            return usage();
        }
    }
    if (!haveFormat) return usage();
    const std::string& in = args[0];
    const std::string& out = args[1];
    LyricSheet sheet;
    std::string error;
    RecordArray<NoteSpan> notes;
    MidiSongFile midi;
    if (isMidiSong(in) && midi.LoadFile(in, &notes)) {
        // A lyric stored in the song wins over the words the MIDI file carries.
        if (readTailLyric(in, sheet) != TailLoad::Loaded && ExtractLyrics(midi, sheet) == 0)
            return fail(in + ": the song carries no lyric");
        const int track = std::max(FindMelodyTrack(midi), 0);
        info.pitchAt = [&notes, track](int32_t cs) { return melodyKeyAt(notes, track, cs * 10); };
    } else if (!loadAny(in, sheet, error)) {
        return fail(error);
    }
    if (isSongFile(in)) info.songFile = fileNameOf(in);
    const std::string text = exportLyrics(sheet, format, info);
    if (sameFile(in, out)) return fail(out + ": this is the input itself; choose another name for the output");
    // Whole or not at all: a full disk leaves no empty or half file behind.
    SafeSave save;
    if (!save.begin(out) || !save.file().write(text) || !save.commit())
        return fail(out + ": " + std::strerror(save.lastErrno() ? save.lastErrno() : save.file().lastErrno()));
    return kExitOk;
}

}  // namespace

int runLyricsCommand(const std::vector<std::string>& args) {
    if (args.empty()) return usage();
    const std::string& cmd = args[0];
    if (cmd == "show" && args.size() == 2) return showLyrics(args[1]);
    if (cmd == "convert" && (args.size() == 3 || args.size() == 5)) {
        int32_t length = 0;
        if (args.size() == 5 && (args[3] != "--length" || !parseLength(args[4].c_str(), length))) return usage();
        return convertLyrics(args[1], args[2], length);
    }
    if (cmd == "embed" && args.size() == 3) return embedLyrics(args[1], args[2]);
    if (cmd == "extract" && args.size() == 3) return extractLyrics(args[1], args[2]);
    if (cmd == "export") return exportLyricsCommand(std::vector<std::string>(args.begin() + 1, args.end()));
    if (cmd == "align") return alignLyricsCommand(std::vector<std::string>(args.begin() + 1, args.end()));
    return usage();
}

}  // namespace melnix
