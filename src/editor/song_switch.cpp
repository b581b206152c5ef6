// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/song_switch.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QWidget>
#include <utility>

#include "common/file.h"
#include "editor/core/clock_text.h"
#include "editor/core/lyric_document.h"
#include "editor/core/video_placement.h"
#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/editor_text.h"
#include "editor/line_display.h"
#include "editor/line_editor.h"
#include "editor/progress_slider.h"
#include "editor/show_bridge.h"
#include "editor/song_clock.h"
#include "editor/timeline_view.h"
#include "editor/transport_panel.h"
#include "midi/midi_lyrics.h"
#include "platform/wave_in_capture.h"
#include "playback/core/midi_song_engine.h"
#include "playback/core/transport.h"
#include "playback/hosted_song_engine.h"
#include "songlist/media_kind.h"
#include "songlist/state_file.h"
#include "ui/command_event.h"
#include "ui/prompts.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

QRect toQt(const IntRect& r) { return QRect(r.left, r.top, r.width(), r.height()); }

QString problemText(SongProblem why) {
    switch (why) {
        case SongProblem::Missing: return EditorText::tr("文件不存在或无法读取。");
        case SongProblem::Empty: return EditorText::tr("文件是空的(0 字节)。");
        case SongProblem::NotMidi: return EditorText::tr("这不是 MIDI 文件。");
        case SongProblem::BrokenMidi: return EditorText::tr("MIDI 文件已损坏,读不出其中的音轨。");
        case SongProblem::NoAudioFrames: return EditorText::tr("文件中找不到 MP3 音频帧。");
        case SongProblem::BadWave: return EditorText::tr("这不是能播放的 PCM WAV 文件。");
        case SongProblem::Undecodable: return EditorText::tr("媒体库无法解码这个文件。");
        case SongProblem::NoDevice: return EditorText::tr("无法打开声音输出设备。");
        case SongProblem::CutShort: return EditorText::tr("文件不完整(下载或复制时被截断),只能播放到截断处。");
        case SongProblem::None: break;
    }
    return {};
}

}  // namespace

SongSwitch::SongSwitch(EditorContext& ctx) : ctx_(ctx) {}

void SongSwitch::connectTransport() {
    QWidget* window = ctx_.window;
    Transport& transport = *ctx_.transport;
    transport.setWaveSongEnded([window] { postCommand(window, kCmdWaveEnded); });
    transport.setMidiFactory([this, window](const std::string& path) -> std::unique_ptr<SongEngine> {
        auto engine = std::make_unique<MidiSongEngine>(
            [window] { postCommand(window, kCmdMidiPlayedOff); },
            [this](const std::string& text) { ctx_.prompts->info(ctx_.window, QCoreApplication::translate("MidiStreamPlayer", text.c_str()), EditorText::tr("Melnix")); });
        if (!engine->open(path, ctx_.notes)) return nullptr;
        // A song without lyrics of its own in the list takes the words the MIDI file carries.
        LyricSheet& sheet = ctx_.document->sheet();
        if (sheet.lineCount() <= 1 && ExtractLyrics(engine->player(), sheet) > kMidiLinesForLyric) {
            ctx_.state->list.setCurrentLyricFlag(true);
            lyricFlagFromSong_ = true;
        }
        return engine;
    });
    // Other kinds play in a hosted control, whose window sits in the site:
    // above the subtitles when a picture has room there, else parked outside.
    controlSite_ = new ControlSite(window, toQt(kVideoParked));
    transport.setMediaFactory([this](const std::string& path) {
        HostedSongEvents events;
        events.ready = [this] {
            afterSongOpened();
            computeAreas();
            ctx_.lines->place();
        };
        events.playing = [this] {
            advancedTo_.clear();
            ctx_.panel->started();
        };
        events.ended = [this] { songEnded(); };
        events.failed = [this, path](const std::string& detail) {
            ctx_.controls->pauseButton()->setText(EditorText::tr("播放"));
            // Released from the posted command: this runs inside the engine.
            dropAfterFailure_ = path;
            failed(path, SongProblem::Undecodable, detail);
        };
        auto engine = makeHostedSongEngine(path, controlSite_, std::move(events));
        // Recording starts paused; the clock lets it run while the song plays.
        auto capture = std::make_unique<WaveInCapture>();
        if (capture->Start() == 0) {
            capture->Pause();
        } else {
            capture.reset();
        }
        ctx_.timeline->setLevelsByCapture(capture != nullptr);
        ctx_.clock->setCapture(std::move(capture));
        return engine;
    });
}

void SongSwitch::computeAreas() {
    const Transport& t = *ctx_.transport;
    ctx_.timeline->layout(ctx_.window->rect(), ctx_.controls->control(idSeparator)->geometry(),
                          ctx_.controls->control(idPresent)->y(), QSize(t.videoWidth(), t.videoHeight()));
    if (controlSite_) controlSite_->setGeometry(ctx_.timeline->videoRect());
}

QWidget* SongSwitch::songVideo() const { return ctx_.transport->videoWidth() >= 2 ? controlSite_ : nullptr; }

void SongSwitch::releaseSong() {
    ctx_.clock->stop();
    ctx_.clock->setCapture(nullptr);
    ctx_.timeline->setLevelsByCapture(false);
    ctx_.transport->close();
    lengthCs_ = 0;
    ctx_.lines->invalidate();
    ctx_.document->loaded();
    // A picture leaves with its song.
    computeAreas();
    ctx_.lines->place();
}

PlaybackOpen SongSwitch::openForPlayback(const std::string& songPath) {
    ctx_.notes->clear();
    lyricFlagFromSong_ = false;
    Transport& t = *ctx_.transport;
    const bool opened = t.openSong(songPath, ctx_.document->sheet().songDataLength);
    const bool midi = t.kind() == SongKind::Midi;
    ctx_.controls->control(idTracks)->setVisible(midi);
    ctx_.controls->control(idSync)->setVisible(!midi);
    if (!opened) {
        showNoSong();
        failed(songPath, t.openProblem(), t.problemDetail());
        return t.openProblem() == SongProblem::NoDevice ? PlaybackOpen::NoOutput : PlaybackOpen::Failed;
    }
    lastPlayed_ = songPath;
    afterSongOpened();
    ctx_.panel->started();
    // The song's own words decided the lyric flag already.
    return lyricFlagFromSong_ ? PlaybackOpen::OpenedOwnWords : PlaybackOpen::Opened;
}

void SongSwitch::showNoSong() {
    ctx_.clock->stop();
    ctx_.document->sheet().clearLines();
    ctx_.document->loaded();
    lengthCs_ = 0;
    ctx_.controls->slider()->setRange(0, 1);
    ctx_.controls->slider()->setPos(0);
    ctx_.controls->setLabelText(idLength, QString::fromStdString(formatClock(0)));
    ctx_.controls->setLabelText(idPosition, QString::fromStdString(formatClock(0)));
    ctx_.controls->setLabelText(idSize, QString::fromStdString(formatFileSize(0)));
    ctx_.panel->updateSpeedRadios();
    ctx_.editor->refillLineList();
    if (auto* box = qobject_cast<QComboBox*>(ctx_.controls->control(idLineBox))) box->clearEditText();
    ctx_.timeline->setViewOrigin(0);
    ctx_.lines->invalidate();
    ctx_.window->update();
}

void SongSwitch::tell(const std::string& path, SongProblem why, const std::string& detail) {
    if (!told_.insert(path).second) return;
    QString text = displayPath(path) + "\n\n" + problemText(why);
    if (!detail.empty()) text += "\n(" + QString::fromStdString(detail) + ")";
    ctx_.prompts->warning(ctx_.window, text,
                          why == SongProblem::CutShort ? EditorText::tr("播放下列文件时出错!") : EditorText::tr("打开下列文件时出错!"));
}

void SongSwitch::failed(const std::string& path, SongProblem why, const std::string& detail) {
    failedAt_ = ctx_.state->list.findSong(path);
    // A sound output that refuses is no reason to run through the list.
    failedWhileAdvancing_ = (advancing_ || (!advancedTo_.empty() && path == advancedTo_)) && why != SongProblem::NoDevice;
    advancedTo_.clear();
    if (path == lastPlayed_) lastPlayed_.clear();
    tell(path, why, detail);
    postCommand(ctx_.window, kCmdAfterFailedSong);
}

void SongSwitch::afterFailedSong() {
    SongList& list = ctx_.state->list;
    if (!dropAfterFailure_.empty()) {
        const std::string path = std::exchange(dropAfterFailure_, std::string());
        if (list.current.songPath != path) return;  // another song opened meanwhile
        releaseSong();
        ctx_.session->dropCurrentSong();
        showNoSong();
    }
    if (!list.current.songPath.empty()) return;
    if (std::exchange(failedWhileAdvancing_, false)) {
        songEnded();
        return;
    }
    const int previous = list.findSong(lastPlayed_);
    if (previous < 0) return;
    list.selectSong(previous);
    ctx_.session->openCurrentSong();
}

int SongSwitch::nextSongIndex() const {
    const SongList& list = ctx_.state->list;
    int current = list.findSong(list.current.songPath);
    if (current < 0 && list.current.songPath.empty()) current = failedAt_;
    if (current < 0 || list.size() < 1 || current > list.size()) return -1;
    // The list shrank by the failed song: the one above it is still current - 1.
    const int next = current == 0 ? list.lastIndex() : current - 1;
    return next == list.findSong(list.current.songPath) ? -1 : next;
}

bool SongSwitch::openSelectedSong(bool advancing) {
    advancing_ = advancing;
    const bool opened = ctx_.session->openCurrentSong();
    advancing_ = false;
    advancedTo_ = advancing && opened ? ctx_.state->list.current.songPath : std::string();
    return opened;
}

void SongSwitch::afterSongOpened() {
    lengthCs_ = ctx_.transport->lengthCs();
    ctx_.controls->slider()->setRange(0, std::max(1, lengthCs_));
    ctx_.controls->setLabelText(idLength, QString::fromStdString(formatClock(lengthCs_)));
    File f;
    SongList& list = ctx_.state->list;
    const std::string& path = list.current.songPath;
    const int64_t size = f.open(path, File::Mode::Read) ? f.length() : 0;
    ctx_.controls->setLabelText(idSize, QString::fromStdString(formatFileSize(size)));
    if (lengthCs_ > kLengthUnknownMax) {
        list.current.length = lengthCs_;
        const int i = list.findSong(path);
        if (i >= 0) list.at(i)->length = lengthCs_;
    }
    ctx_.panel->updateSpeedRadios();
    ctx_.editor->refillLineList();
    ctx_.lines->invalidate();
    ctx_.timeline->setViewOrigin(0);
    ctx_.window->update();
}

void SongSwitch::setWindowTitle(const std::string& title) { ctx_.window->setWindowTitle(displayPath(title)); }

void SongSwitch::songFailed(const std::string& path, SongProblem why) {
    showNoSong();
    failed(path, why, {});
}

void SongSwitch::lyricFileLoaded(const std::string&) {
    ctx_.document->loaded();
    // The line box shows lyric lines, never a file's name.
    ctx_.editor->refillLineList();
    ctx_.editor->updateActionButtons();
}

bool SongSwitch::openNextSong() {
    SongList& list = ctx_.state->list;
    const int next = nextSongIndex();
    if (next < 0) return false;
    ctx_.document->sheet().clearLines();
    ctx_.editor->refillLineList();
    list.selectSong(next);
    openSelectedSong(true);
    return true;
}

void SongSwitch::songEnded() {
    ctx_.clock->stop();
    // A cut-off file ends before the length it announced: said once, then
    // the list moves on as after any end.
    if (ctx_.transport->songCutShort()) tell(ctx_.state->list.current.songPath, SongProblem::CutShort, {});
    if (ctx_.show->songEndedInShow()) return;
    if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != ctx_.window) return;
    if (!ctx_.document->modified() && openNextSong()) return;
    if (ctx_.transport->replay()) ctx_.panel->started();
}

}  // namespace melnix
