// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool midi: what the MIDI reader makes of a song, and how it sounds.

#include "cli/midi_command.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "cli/lyric_print.h"
#include "cli/tool_support.h"
#include "common/auto_reset_event.h"
#include "common/file.h"
#include "common/gbk.h"
#include "common/safe_save.h"
#include "midi/midi_lyrics.h"
#include "midi/midi_song_file.h"
#include "midi/midi_stream_player.h"
#include "platform/audio_output.h"
#include "platform/midi_stream_device.h"

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

// A whole decimal number within [low, high].
bool parseNumber(const std::string& text, int low, int high, int& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end && value >= low && value <= high;
}

// -6..6, with or without a plus sign.
bool parseKey(const std::string& text, int& key) {
    const bool plus = !text.empty() && text[0] == '+';
    const std::string digits = plus ? text.substr(1) : text;
    return !digits.empty() && !(plus && digits[0] == '-') && parseNumber(digits, -6, 6, key);
}

constexpr int kSlowestTempoPercent = 1000;
constexpr auto kTailPoll = std::chrono::milliseconds(5);
constexpr int kTailPolls = 2000;  // 10 s

// Plays the song through the player and the synthesizer into a WAV file, as
// fast as the machine renders.
int render(const std::vector<std::string>& args) {
    if (args.size() < 3) return usage();
    const std::string& path = args[1];
    const std::string& out = args[2];
    int tempoPercent = 100;
    int fromMs = 0;
    int key = 0;
    for (size_t i = 3; i < args.size(); ++i) {
        if (i + 1 >= args.size()) return usage();
        if (args[i] == "--tempo" && parseNumber(args[i + 1], 1, kSlowestTempoPercent, tempoPercent)) {
            ++i;
        } else if (args[i] == "--key" && parseKey(args[i + 1], key)) {
            ++i;
        } else if (args[i] == "--from" && parseNumber(args[i + 1], 0, 0x7FFFFFFF, fromMs)) {
            ++i;
        } else {
            return usage();
        }
    }
    const std::string soundfont = findSoundfont();
    if (soundfont.empty())
        return fail("no General MIDI soundfont (install fluid-soundfont-gm or set MELNIX_SOUNDFONT to one)");

    {
        MidiSongFile probe;
        if (!load(path, probe)) return kExitFailed;
        if (probe.songLengthMs - fromMs > kMaxRenderedSongMs)
            return fail(path + ": the song claims " + std::to_string(probe.songLengthMs / 60000) +
                        " minutes; songs of at most " + std::to_string(kMaxRenderedSongMs / 60000) +
                        " minutes are rendered");
    }
    if (sameFile(path, out)) return fail(out + ": this is the song itself; choose another name for the output");
    // Written under a temporary name and renamed over the output only when whole.
    SafeSave save;
    if (!save.begin(out)) return fail(out + ": the folder cannot be written (" + std::strerror(save.lastErrno()) + ")");
    AutoResetEvent ended;
    MidiStreamDevice* device = nullptr;
    AudioOutput* wav = nullptr;
    MidiStreamPlayer player([&ended] { ended.set(); }, {}, [&] {
        auto output = makeWavAudioOutput(save.tempPath());
        wav = output.get();
        auto d = makeFluidSynthMidiDevice(soundfont, std::move(output));
        device = d.get();
        return d;
    });
    if (!player.Open(path, nullptr)) return fail(path + ": the song cannot be played (a track is damaged at its start)");
    if (!player.DeviceOpen())
        return fail(out + ": the synthesizer cannot start (" + soundfont + " unreadable, or the file cannot be written)");
    player.SetTempoPercent(tempoPercent);
    player.SetKey(key);
    if (!player.Play(fromMs)) {
        player.Close();
        return fail(path + ": --from " + std::to_string(fromMs) + " lies beyond the song");
    }
    waitForRenderedEnd(player, ended);
    // The last notes ring out before the file is closed (for as long as a
    // few seconds of song; a damaged stream may never fall quiet).
    for (int i = 0; i < kTailPolls && !device->idle(); ++i) std::this_thread::sleep_for(kTailPoll);
    const int32_t length = player.songLengthMs;
    // The synthesizer and its output go with the player.
    const std::string failure = wav ? wav->failure() : std::string();
    player.Close();
    if (!failure.empty()) return fail(out + ": the output cannot be written (" + failure + ")");
    if (!save.commit()) return fail(out + ": the output cannot be written (" + std::strerror(save.lastErrno()) + ")");
    std::printf("length_ms=%d\n", length);
    return kExitOk;
}

}  // namespace

int runMidiCommand(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "info") return info(args[1]);
    if (args.size() == 2 && args[0] == "lyrics") return lyrics(args[1]);
    if (!args.empty() && args[0] == "render") return render(args);
    return usage();
}

}  // namespace melnix
