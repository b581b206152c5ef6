// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/auto_timing.h"

#include <QProgressDialog>
#include <atomic>

#include "audio/voice_onsets.h"
#include "editor/editor_text.h"
#include "export/core/song_audio.h"
#include "ui/background_work.h"

namespace melnix {
namespace {

// Decoding takes the first third of the bar, listening the rest.
constexpr int kDecodeShare = 30;
constexpr int kPollMs = 100;

}  // namespace

std::optional<DraftResult> draftTimingOf(QWidget* parent, const std::string& song, const LyricSheet& lyric,
                                         QString& error) {
    error.clear();
    QProgressDialog progress(EditorText::tr("正在听歌曲中的人声..."), EditorText::tr("取消"), 0, 100, parent);
    prepareProgress(progress, EditorText::tr("自动定时"));
    std::atomic<bool> cancel{false};
    std::atomic<int> percent{0};
    std::optional<DraftResult> draft;
    std::string failure;
    const auto work = [&] {
        SongAudio audio;
        if (!decodeSongAudio(song, 0, 0, audio, failure, &cancel)) return;
        percent = kDecodeShare;
        VoiceAnalysis voice;
        const auto heard = [&](int p) { percent = kDecodeShare + p * (100 - kDecodeShare) / 100; };
        if (!analyzeVoice(audio.samples, 2, audio.sampleRate, voice, &cancel, heard)) {
            failure = "the song's sound cannot be listened to (" + std::to_string(audio.sampleRate) + " Hz)";
            return;
        }
        // The decoded song is no longer needed while the lyric is placed.
        audio = SongAudio();
        DraftOptions options;
        options.lineTimesKnown = !lyricLooksUntimed(lyric);
        draft = alignLyric(lyric, voice, options);
    };
    const auto tick = [&] {
        progress.setValue(percent.load());
        if (progress.wasCanceled()) cancel = true;
    };
    runBeside(progress, work, tick, kPollMs);
    if (cancel.load()) return std::nullopt;
    if (!draft) error = QString::fromStdString(failure);
    return draft;
}

}  // namespace melnix
