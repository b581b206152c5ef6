// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Songs the wave and MIDI engines do not play go to a hosted control: the
// media player (videos, .WMA, .SND, .CDA and anything unknown), the Flash
// control (.SWF) or the streaming-media player (.RM, .RAM, .RA). Each engine
// turns the transport's milliseconds into its control's units, keeps the
// control's ready flag (nothing is read or done before it is set), and hands
// the control's events to the editor after the event has returned, so the
// editor may close the song from them.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "playback/core/song_engine.h"

namespace melnix {

struct HostedSongEvents {
    // The media has loaded: the length and the picture size can be read.
    std::function<void()> ready;
    // The control reports that it plays.
    std::function<void()> playing;
    // The song played to its end.
    std::function<void()> ended;
    // The media could not be loaded or decoded; what the media library said.
    std::function<void(const std::string& detail)> failed;
};

// The control for the song at path, as a child of site; nullptr for a song
// that the wave or MIDI engine plays.
std::unique_ptr<SongEngine> makeHostedSongEngine(const std::string& path, QWidget* site, HostedSongEvents events);

// Where the hosted control sits in the editor; the control fills it.
class ControlSite : public QWidget {
    Q_OBJECT
public:
    // home: where it waits until the editor places it.
    explicit ControlSite(QWidget* parent, const QRect& home = {});

protected:
    void resizeEvent(QResizeEvent* event) override;
};

}  // namespace melnix
