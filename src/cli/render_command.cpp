// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/render_command.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "audio/block_processor.h"
#include "cli/tool_support.h"
#include "audio/speed_table.h"
#include "audio/stretcher.h"
#include "audio/wave_player.h"
#include "common/file.h"
#include "common/safe_save.h"
#include "lyrics/mlx_block.h"
#include "platform/audio_output.h"
#include "playback/core/song_kind.h"

namespace {

using namespace melnix;

int renderUsage() {
    std::fputs("usage: melnix-tool render SONG OUT.WAV [--speed 0..8] [--vocal-removal] [--from MS] [--stretch block|quality]\n"
                "                          [--key -6..6]\n", stderr);
    return kExitUsage;
}

int engineFailure(const std::string& song, int error, const std::string& why) {
    const char* what = "the wave engine failed";
    switch (error) {
        case kWaveErrorThread: what = "the decoder or the playing thread could not be set up"; break;
        case kWaveErrorSource: what = "the song cannot be read"; break;
        case kWaveErrorDevice: what = "the output cannot be written"; break;
        default: break;
    }
    if (!why.empty())
        std::fprintf(stderr, "melnix-tool: %s: %s: %s (error %d)\n", song.c_str(), what, why.c_str(), error);
    else
        std::fprintf(stderr, "melnix-tool: %s: %s (error %d)\n", song.c_str(), what, error);
    return kExitFailed;
}

// The audio ends where a lyric block at the song's tail begins.
int64_t audioLength(const std::string& song) {
    File f;
    if (!f.open(song, File::Mode::Read)) return 0;
    std::string tag;
    int64_t length = 0;
    return locateTailBlock(f, tag, length) >= 0 ? length : 0;
}

bool parseMs(const std::string& text, int32_t& ms) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos) return false;
    ms = static_cast<int32_t>(std::stol(text));
    return true;
}

bool parseKey(const std::string& text, int& key) {
    const bool negative = !text.empty() && text[0] == '-';
    const std::string digits = negative || (!text.empty() && text[0] == '+') ? text.substr(1) : text;
    if (digits.size() != 1 || digits[0] < '0' || digits[0] > '9') return false;
    key = (negative ? -1 : 1) * (digits[0] - '0');
    return key >= kLowestKey && key <= kHighestKey;
}

}  // namespace

int runRenderCommand(const std::vector<std::string>& args) {
    if (args.size() < 2) return renderUsage();
    const std::string& song = args[0];
    const std::string& out = args[1];
    int speedIndex = kNormalSpeedIndex;
    bool vocalRemoval = false;
    int32_t fromMs = 0;
    int stretch = kStretchBlock;
    int key = 0;
    for (size_t i = 2; i < args.size(); ++i) {
        if (args[i] == "--stretch" && i + 1 < args.size() &&
            (args[i + 1] == "block" || args[i + 1] == "quality")) {
            stretch = args[++i] == "quality" ? kStretchQuality : kStretchBlock;
        } else if (args[i] == "--key" && i + 1 < args.size() && parseKey(args[i + 1], key)) {
            ++i;
        } else if (args[i] == "--vocal-removal") {
            vocalRemoval = true;
        } else if (args[i] == "--speed" && i + 1 < args.size() && args[i + 1].size() == 1 && args[i + 1][0] >= '0' &&
                   args[i + 1][0] < '0' + kSpeedCount) {
            speedIndex = args[++i][0] - '0';
        } else if (args[i] == "--from" && i + 1 < args.size() && parseMs(args[i + 1], fromMs)) {
            ++i;
        } else {
            return renderUsage();
        }
    }
    if (vocalRemoval && speedIndex != kNormalSpeedIndex) {
        std::fputs("melnix-tool: vocal removal works at normal speed (--speed 4) only\n", stderr);
        return kExitUsage;
    }
    const SongKind kind = songKindOf(song);
    if (mediaKind(song, MediaTable::Audio) != 0 && !isWaveKind(kind)) {
        std::fprintf(stderr, "melnix-tool: %s: not a song the wave engine plays\n", song.c_str());
        return kExitFailed;
    }
    // Anything else is tried as the sound of a file FFmpeg reads.
    const WaveSourceKind source = waveSourceOf(kind);

    if (sameFile(song, out)) return fail(out + ": this is the song itself; choose another name for the output");
    // Written under a temporary name beside the output and renamed over it
    // only when whole: a full disk or a kill never leaves half a render, and
    // an output that existed stays as it was.
    SafeSave save;
    if (!save.begin(out)) return fail(out + ": the folder cannot be written (" + std::strerror(save.lastErrno()) + ")");
    auto output = makeWavAudioOutput(save.tempPath());
    AudioOutput& wav = *output;
    WavePlayer player(nullptr, nullptr, nullptr, 0, std::move(output));
    const Speed speed = speedAt(speedIndex);
    player.SetSource(song, source == WaveSourceKind::Decoded ? 0 : audioLength(song), source);
    player.SetSpeedPercent(speed.percent);
    player.SetPitchChange(speed.pitchChange);
    player.SetChannelMode(vocalRemoval ? kChannelModeVocalRemoval : kChannelModeNormal);
    player.SetCollectWaveform(false);
    player.SetStretchMethod(stretch);
    player.SetKey(key);
    if (!player.Open() || !player.Prepare())
        return engineFailure(song, player.LastError(), player.LastErrorText());
    if (fromMs > 0 && static_cast<uint32_t>(fromMs) >= player.LengthMs()) {
        std::fprintf(stderr, "melnix-tool: %s: --from %d is past the song's end (%u ms)\n", song.c_str(), fromMs,
                     player.LengthMs());
        return kExitFailed;
    }
    // On this thread, block by block: no hand-over between threads per block.
    const bool rendered = player.Render(fromMs);
    const uint32_t length = player.LengthMs();
    player.Close();
    if (!wav.failure().empty()) return fail(out + ": the output cannot be written (" + wav.failure() + ")");
    if (!rendered) return engineFailure(song, player.LastError(), player.LastErrorText());
    if (!save.commit()) return fail(out + ": the output cannot be written (" + std::strerror(save.lastErrno()) + ")");
    std::printf("length_ms=%u\n", length);
    return kExitOk;
}
