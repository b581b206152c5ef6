// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The song behind the editor: the engines the transport makes for MIDI and
// hosted songs, what changes when a song opens or fails to, and what
// happens when it ends. The song list's opening calls in through SongHost.

#include <memory>
#include <set>
#include <string>

#include "songlist/song_session.h"

class QWidget;

namespace melnix {

struct EditorContext;
class ControlSite;

class SongSwitch : public SongHost {
public:
    explicit SongSwitch(EditorContext& ctx);

    // The engine factories of the transport and the end-of-song report.
    void connectTransport();

    // SongHost
    void releaseSong() override;
    PlaybackOpen openForPlayback(const std::string& songPath) override;
    void setWindowTitle(const std::string& title) override;
    void songFailed(const std::string& path, SongProblem why) override;
    void lyricFileLoaded(const std::string& path) override;

    // Length, slider, size box and line list for the song just opened.
    void afterSongOpened();
    // The song ended: the next song of the list, or this one again.
    void songEnded();
    // Opens the next song of the list (the one above in the list).
    bool openNextSong();
    // The list index of the song after the current one (or after the one
    // that just failed); -1 when there is none.
    int nextSongIndex() const;
    // Goes on after a song failed: to the next song when the list was moving
    // on, else back to the song that played before.
    void afterFailedSong();
    // Opens the song selected in the list; advancing when the list moves on
    // by itself.
    bool openSelectedSong(bool advancing);
    int32_t lengthCs() const { return lengthCs_; }

    // The areas of the window and the song's picture.
    void computeAreas();
    QWidget* songVideo() const;

private:
    EditorContext& ctx_;
    ControlSite* controlSite_ = nullptr;
    int32_t lengthCs_ = 0;
    bool lyricFlagFromSong_ = false;
    // Set while the list moves on by itself, so that a failure moves on too.
    bool advancing_ = false;
    // The song the list moved on to; a hosted song fails only later, once its
    // media is read, and is passed by as well.
    std::string advancedTo_;
    bool failedWhileAdvancing_ = false;
    int failedAt_ = -1;             // list index of the song that just failed
    std::string lastPlayed_;        // the last song that opened
    std::set<std::string> told_;    // songs whose failure the user was told of
    // Tells of a failure once per song and program run.
    void tell(const std::string& path, SongProblem why, const std::string& detail);
    void failed(const std::string& path, SongProblem why, const std::string& detail);
    // Lengths, labels and lines of an editor without a song.
    void showNoSong();
    std::string dropAfterFailure_;  // a hosted song that failed after it opened
};

}  // namespace melnix
