// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the MIDI track dialog shows and does, without the window: one row per
// track of the open song, the texts of its cells, and the edits the user
// makes. Mute and melody marks go into the track records; volume and
// instrument changes are written into the loaded file data, so the next
// stream build sends them.

#include <string>
#include <string_view>
#include <vector>

#include "common/translate_mark.h"
#include "midi/midi_song_file.h"

namespace melnix {

enum TrackColumn {
    kColTrackNumber,
    kColPlayStatus,
    kColMelody,
    kColTrackName,
    kColNoteCount,
    kColVolume,
    kColChineseInstrument,
    kColEnglishInstrument,
    kTrackColumnCount
};

// The words of the list (UTF-8); the dialog hands in its translations.
struct TrackWords {
    std::string playing = QT_TRANSLATE_NOOP("melnix::TrackDialog", "  播放");
    std::string muted = QT_TRANSLATE_NOOP("melnix::TrackDialog", " 不播放");
    std::string melody = QT_TRANSLATE_NOOP("melnix::TrackDialog", "主旋律");
    std::string maybeMelody = QT_TRANSLATE_NOOP("melnix::TrackDialog", "可能是");
    std::string defaultVolume = QT_TRANSLATE_NOOP("melnix::TrackDialog", "默认");
    // The instrument names of the "Chinese" column by program, in the
    // interface's language; empty: the Chinese names.
    std::vector<std::string> instruments;
};

// What a double-click on a cell asks of the dialog.
enum class TrackCellAction { None, Refill, EditVolume, ChooseChineseInstrument, ChooseEnglishInstrument };

constexpr int kMaxChannelValue = 127;
// Without a melody track, track 1 is the likely one: track 0 of a
// multi-track song usually carries only the tempo.
constexpr int kLikelyMelodyTrack = 1;

class TrackTable {
public:
    // playingTrackCount is the player's count of sounding tracks.
    TrackTable(MidiSongFile& song, int& playingTrackCount);

    int rowCount() const { return song_.tracks.size(); }

    // Finds the melody track again (a track named "Melody" gets marked);
    // run before every filling of the list.
    void refresh();
    // The melody track found by the last refresh, or -1.
    int melodyTrack() const { return melody_; }

    // UTF-8 text of a cell; "" outside the table.
    std::string cellText(int row, int column, const TrackWords& words = {}) const;

    // A double-click: toggles the play status or marks the melody at once;
    // for the volume and instrument cells it only says which editor to open
    // (None when the track has no such event).
    TrackCellAction activate(int row, int column);

    void toggleMuted(int row);
    void setMelody(int row);

    bool hasVolume(int row) const;
    // The value in the file data, or -1 without a volume controller.
    int volume(int row) const;
    // Clamped to 0..127, so the byte stays a data byte.
    void setVolume(int row, int value);
    // The number the user typed, read the way C's atoi reads it (leading
    // blanks, a sign, digits), saturating instead of overflowing.
    static int parseNumber(std::string_view text);

    bool hasProgram(int row) const;
    // The program in the file data (values above 127 show as 127), or -1
    // without a program change.
    int program(int row) const;
    // Programs outside 0..127 are ignored.
    void setProgram(int row, int program);

    void invertMuted();
    // Every track plays again with the volume and instrument found in the file.
    void reset();
    // OK: the unmuted tracks are the playing ones.
    void confirm();
    // Only the melody track (or track 1 when there is none) plays.
    void playMelodyAlone();

private:
    MidiTrack* track(int row) { return song_.tracks.at(row); }
    const MidiTrack* track(int row) const { return song_.tracks.at(row); }
    std::string instrumentText(int row, bool chinese, const TrackWords& words) const;

    MidiSongFile& song_;
    int& playingTrackCount_;
    int melody_ = -1;
};

}  // namespace melnix
