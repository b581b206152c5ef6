// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The hosted media player: plays a video or audio file with its own sound
// output and draws the picture into a widget. Videos, Windows Media files,
// streaming-media files and Flash movies all play through it, behind the
// wrappers that keep each control's own units and events.
//
// One interface and a backend per file (libmpv today). Sound goes to the
// desktop's sound server; MELNIX_AUDIO=null (or a WAV file choice, which only
// the wave engine can honour) keeps the player silent, for tests and machines
// without sound.
//
// Everything runs on the thread that created the player (the user interface):
// opening and seeking are asynchronous and reported by events delivered there.
// An event handler must not destroy the player.

#include <functional>
#include <memory>
#include <string>

class QImage;
class QWidget;

namespace melnix {

enum class MediaState {
    Closed,   // nothing opened
    Loading,  // opened, not loaded yet
    Paused,
    Playing,
    Ended,    // stands at the end of the media
    Failed,   // the media could not be loaded or decoded
};

struct MediaEvents {
    // The media has loaded: its duration and picture size are known.
    std::function<void()> loaded;
    // state() changed; also after loaded and on a failure.
    std::function<void(MediaState)> stateChanged;
};

class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;

    virtual const char* name() const = 0;
    virtual void setEvents(MediaEvents events) = 0;
    // Where the picture is drawn; the player owns it, the caller places it.
    virtual QWidget* videoWidget() const = 0;

    // Starts loading the file (closing what was open); with autoPlay it plays
    // as soon as it has loaded. False when the player could not even start.
    virtual bool open(const std::string& path, bool autoPlay) = 0;
    virtual void close() = 0;
    // From the end, play starts again at the beginning.
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual MediaState state() const = 0;

    // Seconds. Both are 0 until the media has loaded; a seek made before then
    // is ignored, and a seek reads back its target until it has been done.
    virtual double position() const = 0;
    virtual double duration() const = 0;
    virtual void seek(double seconds) = 0;

    virtual void setMuted(bool on) = 0;
    virtual bool muted() const = 0;
    // Amplitude factor: 1 as recorded, 0 silent.
    virtual void setVolume(double gain) = 0;
    virtual double volume() const = 0;
    // Starts again from the beginning at the end, instead of ending.
    virtual void setLooping(bool on) = 0;

    // The picture's display size; 0 x 0 for sound only or before loading.
    virtual int pictureWidth() const = 0;
    virtual int pictureHeight() const = 0;
    // The picture last drawn into the widget (null before the first).
    virtual QImage lastFrame() const = 0;

    // The media library's reason after a failure; empty otherwise.
    virtual std::string errorText() const = 0;
};

// The libmpv backend; its video widget is created as a child of parent.
std::unique_ptr<MediaPlayer> makeMpvMediaPlayer(QWidget* parent);
// The player for this platform.
std::unique_ptr<MediaPlayer> createMediaPlayer(QWidget* parent);

}  // namespace melnix
