// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/song_audio.h"

#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <cstdio>
#include <memory>
#include <thread>

#include "audio/audio_source.h"
#include "audio/block_processor.h"
#include "audio/ffmpeg_source.h"
#include "audio/mp3_source.h"
#include "audio/wav_source.h"
#include "common/auto_reset_event.h"
#include "common/file.h"
#include "lyrics/mlx_block.h"
#include "midi/midi_stream_player.h"
#include "platform/audio_output.h"
#include "platform/midi_stream_device.h"
#include "songlist/media_kind.h"

namespace melnix {
namespace {

constexpr auto kTailPoll = std::chrono::milliseconds(5);
constexpr int kTailPolls = 2000;  // 10 s

class PcmCollector final : public BlockSink {
public:
    explicit PcmCollector(std::vector<int16_t>& out) : out_(out) {}
    void Write(const uint8_t* data, size_t bytes) override {
        const auto* s = reinterpret_cast<const int16_t*>(data);
        out_.insert(out_.end(), s, s + bytes / 2);
    }

private:
    std::vector<int16_t>& out_;
};

// The audio ends where a lyric block at the song's tail begins.
int64_t audioLength(const std::string& song) {
    File f;
    if (!f.open(song, File::Mode::Read)) return 0;
    std::string tag;
    int64_t length = 0;
    return locateTailBlock(f, tag, length) >= 0 ? length : 0;
}

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

// Reads a source block by block as the wave engine's worker does, at normal
// speed without the waveform.
bool decodeWave(const std::string& song, SongKind kind, int32_t fromMs, int32_t toMs, SongAudio& out, std::string& error,
                const std::atomic<bool>* cancel) {
    AudioStreamConfig config;
    config.collectWaveform = false;
    config.filePath = song;
    std::unique_ptr<AudioSource> source;
    if (kind == SongKind::Wav) {
        config.isWav = true;
        config.dataLength = audioLength(song);
        source = std::make_unique<WavSource>(config);
    } else if (kind == SongKind::Mp3) {
        config.dataLength = audioLength(song);
        source = std::make_unique<Mp3Source>(config);
    } else {
        source = std::make_unique<FfmpegSource>(config);
    }
    bool ok = false;
    try {
        ok = source->Open() && source->Prepare();
    } catch (const std::exception& e) {
        config.errorText = e.what();
    }
    if (!ok) {
        error = song + ": the song cannot be read" + (config.errorText.empty() ? "" : " (" + config.errorText + ")");
        return false;
    }
    if (fromMs > 0) {
        if (fromMs >= source->LengthMs() || !source->SeekMs(fromMs)) {
            error = song + ": the start lies beyond the song's end";
            return false;
        }
    }
    const int rate = config.sampleRate.load();
    out.sampleRate = rate;
    out.samples.clear();
    PcmCollector sink(out.samples);
    BlockProcessor processor(config, sink);
    const int64_t limitFrames = toMs > fromMs ? int64_t{toMs - fromMs} * rate / 1000 : -1;
    try {
        for (;;) {
            if (cancelled(cancel)) return false;
            const int r = source->ReadBlock();
            if (r == kEndOfData) break;
            if (r != kBlockRead) continue;
            ++config.blockIndex;
            if (source->FormatChanged() && config.sampleRate.load() != rate) {
                error = song + ": the song changes its sample rate midway, which the export does not follow";
                return false;
            }
            source->DecodeBlock(processor);
            if (limitFrames >= 0 && out.frames() >= limitFrames) break;
        }
        source->FlushPending(processor);
    } catch (const std::exception& e) {
        // A read error ends the song as its end would, like playing it.
        (void)e;
    }
    source->Close();
    if (config.channels == 1 || config.forceMono) {
        // Mono songs are heard on both channels.
        std::vector<int16_t> stereo;
        stereo.reserve(out.samples.size() * 2);
        for (int16_t v : out.samples) stereo.insert(stereo.end(), {v, v});
        out.samples.swap(stereo);
    }
    if (limitFrames >= 0 && out.frames() > limitFrames) out.samples.resize(static_cast<size_t>(limitFrames) * 2);
    if (out.samples.empty()) {
        error = song + ": the song holds no sound";
        return false;
    }
    return true;
}

// Plays the song through the player and the synthesizer into a WAV file
// beside nothing else, then reads that.
bool decodeMidi(const std::string& song, int32_t fromMs, int32_t toMs, SongAudio& out, std::string& error,
                const std::atomic<bool>* cancel) {
    const std::string soundfont = findSoundfont();
    if (soundfont.empty()) {
        error = "no General MIDI soundfont (install fluid-soundfont-gm or set MELNIX_SOUNDFONT to one)";
        return false;
    }
    char tmpl[] = "/tmp/melnix-export-XXXXXX.wav";
    const int fd = mkstemps(tmpl, 4);
    if (fd < 0) {
        error = "no room for the synthesizer's temporary file in /tmp";
        return false;
    }
    close(fd);
    const std::string wav = tmpl;
    struct Remove {
        std::string path;
        ~Remove() { std::remove(path.c_str()); }
    } removeWav{wav};
    {
        AutoResetEvent ended;
        MidiStreamDevice* device = nullptr;
        MidiStreamPlayer player([&ended] { ended.set(); }, {}, [&] {
            auto d = makeFluidSynthMidiDevice(soundfont, makeWavAudioOutput(wav));
            device = d.get();
            return d;
        });
        if (!player.Open(song, nullptr)) {
            error = song + ": the MIDI song cannot be read";
            return false;
        }
        const int32_t until = toMs > fromMs ? toMs : player.songLengthMs;
        if (until - fromMs > kMaxRenderedSongMs) {
            error = song + ": the song claims " + std::to_string(player.songLengthMs / 60000) +
                    " minutes; a video of at most " + std::to_string(kMaxRenderedSongMs / 60000) +
                    " minutes is made (choose an end)";
            return false;
        }
        if (!player.DeviceOpen()) {
            error = "the synthesizer cannot start (" + soundfont + " unreadable, or /tmp cannot be written)";
            return false;
        }
        if (!player.Play(fromMs)) {
            player.Close();
            error = song + ": the start lies beyond the song's end";
            return false;
        }
        // Only what the video shows is synthesized.
        bool reachedEnd = false;
        const bool whole = waitForRenderedEnd(player, ended, [&] {
            reachedEnd = toMs > fromMs && player.PositionMs() >= toMs;
            return cancelled(cancel) || reachedEnd;
        });
        if (!whole && !reachedEnd) {
            player.Close();
            return false;
        }
        // The last notes ring out before the file is closed (a damaged
        // stream may never fall quiet).
        for (int i = 0; i < kTailPolls && !reachedEnd && device && !device->idle(); ++i)
            std::this_thread::sleep_for(kTailPoll);
        player.Close();
    }
    if (!decodeWave(wav, SongKind::Wav, 0, toMs > fromMs ? toMs - fromMs : 0, out, error, cancel)) {
        if (!cancelled(cancel)) error = song + ": the synthesizer gave no sound";
        return false;
    }
    return true;
}

}  // namespace

bool decodeSongAudio(const std::string& song, int32_t fromMs, int32_t toMs, SongAudio& out, std::string& error,
                     const std::atomic<bool>* cancel) {
    if (access(song.c_str(), R_OK) != 0) {
        error = song + ": " + std::strerror(errno);
        return false;
    }
    const SongKind kind = songKindOf(song);
    if (kind == SongKind::Midi) return decodeMidi(song, fromMs, toMs, out, error, cancel);
    return decodeWave(song, kind, fromMs, toMs, out, error, cancel);
}

}  // namespace melnix
