// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/midi_stream_player.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "common/byte_order.h"
#include "common/mul_div.h"
#include "common/translate_mark.h"
#include "midi/midi_event.h"

namespace melnix {

const char* const kNoMidiDeviceMessage = QT_TRANSLATE_NOOP(
    "MidiStreamPlayer",
    "很遗憾，你无法听到声音。\n\n这是因为你没有安装声卡\n\n或声卡的 MIDI 驱动程序。\n\n但你仍旧可以欣赏歌词及画面。");

namespace {

std::atomic<bool> noDeviceMessageArmed{true};

constexpr int kFullChannelVolume = 100;
constexpr int kMidiDataMax = 127;
constexpr uint32_t kChannelVolumeController = 0x07;

int32_t addMs(int32_t a, int32_t b) {
    const int64_t s = static_cast<int64_t>(a) + b;
    return static_cast<int32_t>(std::min<int64_t>(s, std::numeric_limits<int32_t>::max()));
}

uint32_t addTicks(uint32_t a, uint64_t b) {
    return static_cast<uint32_t>(std::min<uint64_t>(a + b, std::numeric_limits<uint32_t>::max()));
}

// Ticks that ms milliseconds last at tempo, rounded to nearest; in 64 bits,
// since a long gap at a high division would not fit in 32.
uint64_t msToTicks(int64_t ms, int32_t divisionTimes1000, uint32_t tempo) {
    if (ms <= 0 || tempo == 0) return 0;
    return (static_cast<uint64_t>(ms) * static_cast<uint64_t>(divisionTimes1000) + tempo / 2) / tempo;
}

}  // namespace

void ArmNoDeviceMessage() { noDeviceMessageArmed = true; }

int64_t steadyClockMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

MidiStreamPlayer::MidiStreamPlayer(Owner owner, Notifier notifier, DeviceFactory makeDevice, Clock clock)
    : owner_(std::move(owner)),
      notifier_(std::move(notifier)),
      makeDevice_(std::move(makeDevice)),
      clock_(clock ? std::move(clock) : Clock(steadyClockMs)) {
    channelVolume.fill(kFullChannelVolume);
}

MidiStreamPlayer::~MidiStreamPlayer() { Close(); }

void MidiStreamPlayer::ReportError(int) {}

void MidiStreamPlayer::DeviceCallback(MidiStreamNotice notice, void* instance, MidiHeader* header) {
    auto* player = static_cast<MidiStreamPlayer*>(instance);
    switch (notice) {
        case MidiStreamNotice::Open: player->OnDeviceOpen(); break;
        case MidiStreamNotice::Close: player->OnDeviceClose(); break;
        case MidiStreamNotice::Done: player->OnBufferDone(header); break;
        case MidiStreamNotice::PositionCallback: player->OnPositionCallback(header); break;
    }
}

void MidiStreamPlayer::OnBufferDone(MidiHeader*) {
    if (!deviceOpen.load()) return;
    if (returnedBuffers.fetch_add(1) + 1 != bufferCount_.load()) return;
    // Buffers given back by a stop only wake the stop; the song has not ended.
    if (stopping.load())
        bufferReturnEvent.set();
    else if (owner_)
        owner_();
}

bool MidiStreamPlayer::Open(const std::string& path, RecordArray<NoteSpan>* notes) {
    Close();
    if (!LoadFile(path, notes)) return false;
    playingTrackCount = trackCount;
    if (!ResetCursors()) return false;

    device_ = makeDevice_ ? makeDevice_() : nullptr;
    const int opened = device_ ? device_->open(&MidiStreamPlayer::DeviceCallback, this) : kMidiErrorNoDriver;
    if (opened != kMidiOk) {
        ReportError(opened);
        device_.reset();
        deviceOpen = false;
        if (notifier_ && noDeviceMessageArmed.exchange(false)) notifier_(kNoMidiDeviceMessage);
        return true;
    }
    deviceOpen = true;
    device_->setKey(key_);
    const int divided = device_->setTimeDivision(division);
    if (divided != kMidiOk) {
        ReportError(divided);
        device_->close();
        device_.reset();
        deviceOpen = false;
        return false;
    }
    bufferReturnEvent.reset();
    return true;
}

void MidiStreamPlayer::Close() {
    if (!fileData.empty()) Stop();
    if (device_) {
        const int closed = device_->close();
        if (closed != kMidiOk) ReportError(closed);
        device_.reset();
    }
    deviceOpen = false;
    state = kMidiStopped;
    Clear();
}

bool MidiStreamPlayer::ResetCursors() {
    channelVolume.fill(kFullChannelVolume);
    bool ok = true;
    for (MidiTrack& t : tracks) {
        t.cursor = t.start;
        t.runningStatus = 0;
        t.flags &= static_cast<uint8_t>(~kTrackFinished);
        t.nextTick = 0;
        t.tempoIndex = 0;
        t.nextMs = 0;
        if (t.length == 0) {
            t.flags |= kTrackFinished;
            continue;
        }
        uint32_t delta = 0;
        if (!ReadDelta(fileData, t.cursor, t.end(), delta)) {
            t.flags |= kTrackFinished;
            ok = false;
            continue;
        }
        t.nextTick = delta;
        t.nextMs = TicksToMs(0, delta, t.tempoIndex);
    }
    return ok;
}

uint32_t MidiStreamPlayer::tempoWord(uint32_t tempo) const {
    // The device takes 24 bits of tempo; a slow song at a slow speed could
    // need more, and must not spill into the event type.
    const int64_t scaled = static_cast<int64_t>(tempo) * tempoPercent;
    const int64_t rounded = (scaled + 50) / 100;
    return static_cast<uint32_t>(std::clamp<int64_t>(rounded, 1, kMidiMaxTempo)) | kMidiEventTempo;
}

bool MidiStreamPlayer::BuildStream(int32_t fromMs) {
    events.clear();
    ResetCursors();
    events.append(MidiStreamEvent{});  // the tempo in force at the start point goes here
    bool seeking = true;
    uint32_t tempo = kDefaultTempo;
    uint32_t lastTick = 0;
    uint32_t previousTick = 0;  // the last event passed over while seeking
    int32_t previousMs = 0;

    for (;;) {
        int pick = -1;
        for (int i = 0; i < tracks.size(); ++i) {
            if (tracks[i].finished()) continue;
            if (pick < 0 || tracks[i].nextTick < tracks[pick].nextTick) pick = i;
        }
        if (seeking) {
            if (pick < 0) return false;  // the start point lies beyond the song
            if (tracks[pick].nextMs >= fromMs) {
                seeking = false;
                events[0] = MidiStreamEvent{0, 0, tempoWord(tempo)};
                startMs = fromMs;
                lastTick = addTicks(previousTick, msToTicks(static_cast<int64_t>(fromMs) - previousMs,
                                                            divisionTimes1000, tempo));
            }
        } else if (pick < 0) {
            return true;
        }

        MidiTrack& t = tracks[pick];
        const uint32_t tick = t.nextTick;
        if (seeking) {
            previousTick = tick;
            previousMs = t.nextMs;
        }
        MidiEvent e;
        const EventRead read = ReadEvent(fileData, t.cursor, t.end(), t.runningStatus, e);
        if (read != EventRead::Event) {
            t.flags |= kTrackFinished;
            continue;
        }
        uint32_t delta = 0;
        if (!ReadDelta(fileData, t.cursor, t.end(), delta)) {
            t.flags |= kTrackFinished;
        } else {
            if (seeking) t.nextMs = addMs(t.nextMs, TicksToMs(tick, delta, t.tempoIndex));
            t.nextTick = addTicks(tick, delta);
        }

        // Rounding of the start point can put lastTick a little past the
        // first event; that event then plays at once.
        auto deltaFromLast = [&] {
            const uint32_t d = tick > lastTick ? tick - lastTick : 0;
            lastTick = tick;
            return d;
        };

        if (e.status < kStatusSysEx) {
            const uint8_t kind = e.kind();
            uint32_t word = static_cast<uint32_t>(e.status) | static_cast<uint32_t>(e.data1) << 8 |
                            static_cast<uint32_t>(e.data2) << 16;
            if (kind == kStatusController && e.data1 == kChannelVolumeController) word |= kMidiEventCallback;
            if (seeking) {
                // Notes before the start point are not played; everything
                // else sets up the channels before the first note.
                if (kind != kStatusNoteOn) events.append(MidiStreamEvent{0, 0, word});
            } else if (!(kind == kStatusNoteOn && t.muted())) {
                events.append(MidiStreamEvent{deltaFromLast(), 0, word});
            }
        } else if (e.isMeta(kMetaTempo) && e.dataLength >= 3) {
            const uint32_t value = readBe24(fileData.data() + e.dataOffset);
            tempo = std::clamp(value, kMinTempo, kMaxTempo);
            if (!seeking) events.append(MidiStreamEvent{deltaFromLast(), 0, tempoWord(tempo)});
        }
        // System-exclusive data and the other meta events are not sent.
    }
}

bool MidiStreamPlayer::PrepareBuffers() {
    unprepareAll();
    const int64_t total = static_cast<int64_t>(events.size()) * static_cast<int64_t>(sizeof(MidiStreamEvent));
    if (total <= 8 || !device_) return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&events[0]);
    for (int first = 0; first < events.size(); first += kMaxEventsPerBuffer) {
        const int count = std::min(kMaxEventsPerBuffer, events.size() - first);
        auto header = std::make_unique<MidiHeader>();
        header->data = bytes + static_cast<size_t>(first) * sizeof(MidiStreamEvent);
        header->bufferLength = header->bytesRecorded = static_cast<uint32_t>(count * sizeof(MidiStreamEvent));
        const int prepared = device_->prepareHeader(*header);
        if (prepared != kMidiOk) {
            ReportError(prepared);
            unprepareAll();
            return false;
        }
        buffers.push_back(std::move(header));
    }
    bufferCount_ = static_cast<int>(buffers.size());
    return true;
}

void MidiStreamPlayer::unprepareAll() {
    for (auto it = buffers.rbegin(); it != buffers.rend(); ++it) {
        if (!device_) break;
        const int r = device_->unprepareHeader(**it);
        if (r != kMidiOk) ReportError(r);
    }
    buffers.clear();
    bufferCount_ = 0;
}

// A play that failed half-way takes back what it queued, so that no stream
// plays on behind a stopped player.
void MidiStreamPlayer::abandonStream() {
    stopping = true;
    const int r = device_->reset();
    if (r != kMidiOk) ReportError(r);
    unprepareAll();
}

bool MidiStreamPlayer::Play(int32_t fromMs) {
    clockStart = clock_();
    if (!deviceOpen.load()) {
        pausedElapsedMs = 0;
        startMs = fromMs;
        clockEndTold_ = false;
        state = kMidiPlaying;
        return true;
    }
    // The device still holds the buffers of a play that was not stopped
    // (a song that ended stays playing); they point into events.
    if (state.load() != kMidiStopped) Stop();
    if (!BuildStream(fromMs) || !PrepareBuffers()) return false;
    returnedBuffers = 0;
    stopping = false;
    bufferReturnEvent.reset();
    for (auto& header : buffers) {
        const int r = device_->out(*header);
        if (r != kMidiOk) {
            ReportError(r);
            abandonStream();
            return false;
        }
    }
    const int r = device_->restart();
    if (r != kMidiOk) {
        ReportError(r);
        abandonStream();
        return false;
    }
    state = kMidiPlaying;
    return true;
}

bool MidiStreamPlayer::Stop() {
    stopping = true;
    if (state.load() == kMidiStopped) return true;
    if (!deviceOpen.load()) {
        pausedElapsedMs = currentPositionMs() - startMs;
        state = kMidiStopped;
        return true;
    }
    state = kMidiStopped;
    const int r = device_->reset();
    if (r != kMidiOk) {
        ReportError(r);
        return false;
    }
    if (returnedBuffers.load() < bufferCount_.load()) bufferReturnEvent.wait(kStopWaitMs);
    unprepareAll();
    return true;
}

bool MidiStreamPlayer::Pause() {
    if (!deviceOpen.load()) {
        if (state.load() != kMidiPlaying) return false;
        pausedElapsedMs = currentPositionMs() - startMs;
        state = kMidiPaused;
        return true;
    }
    if (state.load() != kMidiPlaying || fileData.empty() || !device_) return false;
    const int r = device_->pause();
    if (r != kMidiOk) {
        ReportError(r);
        return false;
    }
    state = kMidiPaused;
    return true;
}

bool MidiStreamPlayer::Resume() {
    const int s = state.load();
    if (!deviceOpen.load()) {
        if (s == kMidiPaused) {
            // The clock goes on from where it was paused.
            clockStart = clock_() - MulDiv(pausedElapsedMs, tempoPercent, 100);
            state = kMidiPlaying;
            return true;
        }
        return Play(startMs);
    }
    if (fileData.empty() || !device_) return false;
    if (s == kMidiPaused) {
        const int r = device_->restart();
        if (r != kMidiOk) {
            ReportError(r);
            return false;
        }
        state = kMidiPlaying;
        return true;
    }
    if (s == kMidiStopped) return Play(startMs);
    return false;
}

int32_t MidiStreamPlayer::currentPositionMs() {
    if (!deviceOpen.load()) {
        if (state.load() != kMidiPlaying) return addMs(startMs, pausedElapsedMs);
        const int64_t elapsed = std::clamp<int64_t>(clock_() - clockStart, 0, std::numeric_limits<int32_t>::max());
        return addMs(startMs, MulDiv(static_cast<int32_t>(elapsed), 100, tempoPercent));
    }
    if (state.load() == kMidiPlaying && !fileData.empty() && device_) {
        const int r = device_->restart();
        if (r != kMidiOk) ReportError(r);
    }
    uint32_t streamMs = 0;
    const int r = device_ ? device_->positionMs(streamMs) : kMidiErrorInvalidHandle;
    if (r != kMidiOk) return startMs;
    const auto ms = static_cast<int32_t>(std::min<uint32_t>(streamMs, std::numeric_limits<int32_t>::max()));
    return addMs(startMs, MulDiv(ms, 100, tempoPercent));
}

int32_t MidiStreamPlayer::PositionMs() {
    const int32_t ms = currentPositionMs();
    // The clock has no device to tell the end of the song; without this a
    // silent song would never end and the next one never come.
    if (!deviceOpen.load() && state.load() == kMidiPlaying && !clockEndTold_ && ms >= songLengthMs &&
        !fileData.empty()) {
        clockEndTold_ = true;
        if (owner_) owner_();
    }
    return ms;
}

void MidiStreamPlayer::Seek(int32_t ms) {
    const int s = state.load();
    if (s == kMidiPaused) {
        // Paused where asked: nothing moves (the paused stream already
        // holds its place, and startMs must stay its base).
        if (ms == currentPositionMs()) return;
        Stop();
    }
    startMs = ms;
    // On the clock a stopped song shows the seek target, as a device does.
    if (!deviceOpen.load() && state.load() != kMidiPlaying) pausedElapsedMs = 0;
}

void MidiStreamPlayer::SetKey(int semitones) {
    key_ = semitones;
    if (device_) device_->setKey(semitones);
}

void MidiStreamPlayer::SetTempoPercent(int percent) {
    const int s = state.load();
    const int32_t position = currentPositionMs();
    tempoPercent = std::max(percent, 1);
    if (s == kMidiStopped) return;
    Stop();
    Play(position);
    if (s == kMidiPaused) Pause();
}

void MidiStreamPlayer::SetVolume(int percent) {
    for (int i = 0; i < kMidiChannelCount; ++i) {
        if (state.load() != kMidiPlaying) continue;
        channelVolume[static_cast<size_t>(i)] = std::clamp(percent, 0, kFullChannelVolume);
        if (!deviceOpen.load() || !device_) continue;
        const auto value = static_cast<uint32_t>(channelVolume[static_cast<size_t>(i)] * kMidiDataMax / 100);
        const uint32_t message = kStatusController | static_cast<uint32_t>(i) | kChannelVolumeController << 8 | value << 16;
        const int r = device_->shortMessage(message);
        if (r != kMidiOk) ReportError(r);
    }
}

bool MidiStreamPlayer::RunTrackDialog(const TrackDialog& dialog) {
    if (!dialog || !dialog(*this)) return false;
    const int s = state.load();
    const int32_t position = currentPositionMs();
    if (s != kMidiStopped) Stop();
    ResetCursors();
    // Muted tracks drop out of the note list.
    CollectSyllablesAndNotes();
    if (s != kMidiStopped) {
        Play(position);
        if (s == kMidiPaused) Pause();
    }
    return true;
}

bool waitForRenderedEnd(MidiStreamPlayer& player, AutoResetEvent& ended, const std::function<bool()>& cancel) {
    // A render runs faster than the song; this long without the position
    // moving means nothing more will come.
    constexpr int64_t kStallMs = 3000;
    // Notes ring out a little after the last event; a song is over by then.
    constexpr int32_t kPastEndMs = 10000;
    constexpr int kStepMs = 50;
    int32_t last = player.PositionMs();
    auto lastMove = std::chrono::steady_clock::now();
    while (!ended.wait(kStepMs)) {
        if (cancel && cancel()) return false;
        const int32_t at = player.PositionMs();
        const auto now = std::chrono::steady_clock::now();
        if (at != last) {
            last = at;
            lastMove = now;
        }
        if (at > player.songLengthMs + kPastEndMs) return true;
        if (std::chrono::duration_cast<std::chrono::milliseconds>(now - lastMove).count() > kStallMs) return true;
    }
    return true;
}

}  // namespace melnix
