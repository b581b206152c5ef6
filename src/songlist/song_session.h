// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opening songs with their lyrics, and the start-up and shut-down of the song
// list: which state file to read, the demonstration song of a first start,
// the file named on the command line.

#include <cstdint>
#include <string>
#include <vector>

#include "lyrics/lyric_sheet.h"
#include "songlist/song_problem.h"
#include "songlist/state_file.h"

namespace melnix {

// How opening a song for playback went.
enum class PlaybackOpen {
    Failed,         // it cannot be played; it leaves the list
    Opened,         // the lyric flag follows the lyric found in the song's tail
    OpenedOwnWords, // the editor set the lyric flag from the song's own words
    NoOutput,       // the sound output refused; the song stays in the list
};

// What song opening needs from the editor window.
class SongHost {
public:
    virtual ~SongHost() = default;
    // Stops and releases the playing song; resets the song length and the
    // lyric's modified state.
    virtual void releaseSong() = 0;
    // Opens the current song for playback; a failure is the host's to tell.
    virtual PlaybackOpen openForPlayback(const std::string& songPath) = 0;
    virtual void setWindowTitle(const std::string& title) = 0;
    // Tells the user that the song cannot be opened, and why.
    virtual void songFailed(const std::string& path, SongProblem why) = 0;
    // A separate lyric file was read: the lyric counts as saved and its path
    // is shown.
    virtual void lyricFileLoaded(const std::string& path) = 0;
};

// For work on the song list without a window: nothing plays, nothing is shown.
class NoWindowSongHost : public SongHost {
public:
    void releaseSong() override {}
    PlaybackOpen openForPlayback(const std::string&) override { return PlaybackOpen::Opened; }
    void setWindowTitle(const std::string&) override {}
    void songFailed(const std::string&, SongProblem) override {}
    void lyricFileLoaded(const std::string&) override {}
};

// The title of the box shown when a song file cannot be opened (UTF-8);
// translated in the context "SongSession".
extern const char kOpenSongFailedTitle[];
constexpr char kAppTitle[] = "Melnix";
constexpr char kDemoSongName[] = "BHL.MID";
// A MIDI song with more lyric lines than this carries words of its own.
constexpr int kMidiLinesForLyric = 8;

enum class StateSource : int {
    None = 0,
    DataFolder = 1,
    Demo = 32,      // the first start: the demonstration song plays straight into the show
    Portable = 80,  // "Melnix.ini" beside the program: read, never written
};

struct SongProbe {
    bool hasLyric = false;
    std::string label;  // GBK lyric text; empty: none
    int32_t length = 0; // 1/100 s, when the probe learnt it
};

// The folders this program saves into: the data folder, then the folders of
// the listed songs and their lyric files, once each and at most
// kMaxSaveFolders of them (a start must not crawl a whole disk).
constexpr size_t kMaxSaveFolders = 256;
std::vector<std::string> saveFolders(const AppState& state, const std::string& dataFolder);

// Looks at a song without opening it for playback: a lyric block's first
// line, an ID3v1 title, or a MIDI song's own words.
SongProbe probeSongLyric(const std::string& path);

class SongSession {
public:
    SongSession(AppState& state, LyricSheet& sheet, SongHost& host) : state_(state), sheet_(sheet), host_(host) {}

    // Reads the state (portable file in programFolder first, then the data
    // folder), handles the command-line argument, opens the chosen song and
    // its lyric. demoSong is the demonstration MIDI file written on a first
    // start. Returns true when a song was opened.
    bool loadStateAndOpen(const std::string& programFolder, const std::string& argument, const std::string& demoSong);

    // Writes the state file unless the demonstration song or a portable
    // start is in use.
    bool saveState() const;

    // Opens the current song and reads its lyric from its tail, else gives it
    // default lines (ID3 title lines or its file title). 0 on failure.
    int openSongLyric();

    // Opens the current song, then its separate lyric file when it has one.
    bool openCurrentSong();
    // A song that cannot be played leaves the list (unless kept); the editor
    // is left on no song.
    void dropCurrentSong(bool keepInList = false);

    // Probes and adds song files as the list's add button does; the last one
    // added becomes current unless makeCurrent is false. Returns the number added.
    int addSongs(const std::vector<std::string>& paths, bool makeCurrent = true);

    // A synchronized lyric file's own song becomes current: the song the list
    // pairs with it, else the MP3 of its name beside it. False when there is none.
    bool selectSongOfLyric(const std::string& lyricPath);

    StateSource source() const { return source_; }
    // The open song has no lyric: the sheet holds its name or tag in its place.
    bool placeholderLyric() const { return placeholder_; }
    // The user has a song of his own now: the state is saved from here on.
    void dropDemoMarker() {
        if (source_ == StateSource::Demo) source_ = StateSource::DataFolder;
    }

    static std::string stateFilePath();
    // The state file that could not be read whole, where it is kept now
    // (its own name when it could not be moved); empty when it was read.
    const std::string& stateKeptAs() const { return stateKeptAs_; }

private:
    bool takeArgument(const std::string& argument);
    void startWithDemo(const std::string& demoSong);

    AppState& state_;
    LyricSheet& sheet_;
    SongHost& host_;
    StateSource source_ = StateSource::None;
    bool stateWritable_ = true;
    bool placeholder_ = false;
    std::string stateKeptAs_;
};

}  // namespace melnix
