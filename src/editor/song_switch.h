#pragma once
// The song behind the editor: the engines the transport makes for MIDI and
// hosted songs, what changes when a song opens or fails to, and what
// happens when it ends. The song list's opening calls in through SongHost.

#include <memory>
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
    bool openForPlayback(const std::string& songPath) override;
    void setWindowTitle(const std::string& title) override;
    void showError(const std::string& text, const std::string& title) override;
    void lyricFileLoaded(const std::string& path) override;

    // Length, slider, size box and line list for the song just opened.
    void afterSongOpened();
    // The song ended: the next song of the list, or this one again.
    void songEnded();
    // Opens the next song of the list (the one above in the list).
    bool openNextSong();
    int32_t lengthCs() const { return lengthCs_; }

    // The areas of the window and the song's picture.
    void computeAreas();
    QWidget* songVideo() const;

private:
    EditorContext& ctx_;
    ControlSite* controlSite_ = nullptr;
    int32_t lengthCs_ = 0;
    bool lyricFlagFromSong_ = false;
    int failedMidiOpens_ = 0;  // in a row, to stop going round a list of broken songs
};

}  // namespace melnix
