// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plays a MIDI song through the MIDI stream device: the remaining song is
// merged into one list of 12-byte stream events at every play (the state of
// programs and controllers caught up before the start point) and queued in
// slices, all at once. Reports the position in song milliseconds, pauses,
// resumes, seeks, scales the tempo, mutes tracks and sets the volume.
//
// Without a device it runs as a silent clock, so that the words can still be
// followed; the first song that finds no device gives the no-sound message.
//
// Everything runs on the user interface thread except the device's
// notifications, which only count returned buffers and then either wake a
// stop or tell the owner that the song has ended.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/auto_reset_event.h"
#include "common/record_array.h"
#include "midi/midi_song_file.h"
#include "platform/midi_stream_device.h"

namespace melnix {

// state
constexpr int kMidiStopped = 0;
constexpr int kMidiPaused = 1;
constexpr int kMidiPlaying = 2;

// A buffer holds at most this many events (32760 bytes).
constexpr int kMaxEventsPerBuffer = 2730;
constexpr int kStreamEventGrowStep = 1000;
// How long a stop waits for the device to give its buffers back.
constexpr int kStopWaitMs = 2000;
constexpr int kMidiChannelCount = 16;

// Shown once per run when a song finds no MIDI output (UTF-8); translated in
// the context "MidiStreamPlayer".
extern const char* const kNoMidiDeviceMessage;

// Arms the no-device message again; program start has it armed.
void ArmNoDeviceMessage();

// Milliseconds of a monotonic clock.
int64_t steadyClockMs();

class MidiStreamPlayer : public MidiSongFile {
public:
    // The end of the song, called on the device's thread; the editor posts
    // it to itself as "rwm_playedoff". It must not call into the player.
    using Owner = std::function<void()>;
    // Gives a message to the user (the editor shows it in a message box).
    using Notifier = std::function<void(const std::string& text)>;
    using DeviceFactory = std::function<std::unique_ptr<MidiStreamDevice>()>;
    using Clock = std::function<int64_t()>;
    // Runs the track dialog on the player; true when the user pressed OK.
    using TrackDialog = std::function<bool(MidiStreamPlayer&)>;

    explicit MidiStreamPlayer(Owner owner, Notifier notifier = {}, DeviceFactory makeDevice = createMidiStreamDevice,
                              Clock clock = steadyClockMs);
    ~MidiStreamPlayer() override;
    MidiStreamPlayer(const MidiStreamPlayer&) = delete;
    MidiStreamPlayer& operator=(const MidiStreamPlayer&) = delete;

    // Loads the song and opens the device; without one the player runs on
    // its clock and the open still succeeds.
    bool Open(const std::string& path, RecordArray<NoteSpan>* noteList);
    // Stops and closes the device (what destruction does).
    void Close();

    bool Play(int32_t fromMs);
    bool Pause();
    bool Resume();
    bool Stop();
    // Song milliseconds. On the clock, the first reading at or past the end
    // of the song while playing tells the owner that the song has ended.
    int32_t PositionMs();
    // The new position takes effect at the next Play, or at a Resume from
    // the stopped state.
    void Seek(int32_t ms);
    // Percent of the song's duration: 200 plays at half speed.
    void SetTempoPercent(int percent);
    // The singer's key in semitones: every note but the drums moves, from
    // the next note on; kept for the songs opened after.
    void SetKey(int semitones);
    int Key() const { return key_; }
    // 0..100 for every channel; only while playing.
    void SetVolume(int percent);
    bool RunTrackDialog(const TrackDialog& dialog);

    // Every track back to its first event; false when a track's first delta
    // cannot be read.
    bool ResetCursors();
    // Merges the tracks from fromMs on into events; false when fromMs lies
    // beyond the song.
    bool BuildStream(int32_t fromMs);
    // Cuts events into prepared buffers.
    bool PrepareBuffers();

    int State() const { return state.load(); }
    bool DeviceOpen() const { return deviceOpen.load(); }

    RecordArray<MidiStreamEvent> events{kStreamEventGrowStep};
    std::vector<std::unique_ptr<MidiHeader>> buffers;
    std::atomic<int> returnedBuffers{0};
    std::atomic<bool> stopping{false};
    std::atomic<int> state{kMidiStopped};
    int32_t startMs = 0;
    int64_t clockStart = 0;
    int32_t pausedElapsedMs = 0;
    int tempoPercent = 100;
    std::array<int, kMidiChannelCount> channelVolume{};
    int playingTrackCount = 0;

protected:
    // Every failing device result; silent here.
    virtual void ReportError(int code);
    // The device's four notifications.
    virtual void OnDeviceOpen() {}
    virtual void OnDeviceClose() {}
    virtual void OnBufferDone(MidiHeader* header);
    virtual void OnPositionCallback(MidiHeader*) {}

private:
    static void DeviceCallback(MidiStreamNotice notice, void* instance, MidiHeader* header);
    int32_t currentPositionMs();
    uint32_t tempoWord(uint32_t tempo) const;
    void unprepareAll();
    void abandonStream();

    Owner owner_;
    Notifier notifier_;
    DeviceFactory makeDevice_;
    Clock clock_;
    std::unique_ptr<MidiStreamDevice> device_;
    int key_ = 0;
    std::atomic<bool> deviceOpen{false};
    std::atomic<int> bufferCount_{0};
    AutoResetEvent bufferReturnEvent;  // "Wait For Buffer Return"
    bool clockEndTold_ = false;
};

// Waits, for a render into a file, until the song playing on player has
// ended: ended is set by the player's owner callback. Every wait is bounded
// and tied to progress: a song whose device stops moving (a damaged stream)
// or that runs past its last event ends the wait too. cancel (may be empty)
// is asked between waits; false when it cancelled.
bool waitForRenderedEnd(MidiStreamPlayer& player, AutoResetEvent& ended, const std::function<bool()>& cancel = {});

}  // namespace melnix
