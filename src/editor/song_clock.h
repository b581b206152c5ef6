// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The clock that follows the playing song: 25 times a second it reads the
// position and moves the position box, the slider, the time line and the
// subtitle's wipe; for a hosted song it also records the levels the sound
// card hears. Requests that arrive while it runs (exit, a restart of the
// clock) wait until its step has ended.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <memory>

namespace melnix {

struct EditorContext;
class WaveInCapture;

class SongClock : public QObject {
public:
    enum class Request { None, Exit, Clock };

    explicit SongClock(EditorContext& ctx);
    ~SongClock() override;

    bool running() const { return timer_.isActive(); }
    void start();
    void stop();
    void step();
    // Runs what was asked while the clock ran.
    void runPendingRequest();
    // The exit waits for the clock's step to end.
    void requestExit() { pending_ = Request::Exit; }

    void showPosition(int units);

    // What the sound card records, as the waveform of a hosted song.
    void setCapture(std::unique_ptr<WaveInCapture> capture);
    bool capturing() const { return capture_ != nullptr; }

private:
    EditorContext& ctx_;
    QTimer timer_;
    int lastDrawn_ = -1;
    int lastTenths_ = -1;
    Request pending_ = Request::None;
    std::unique_ptr<WaveInCapture> capture_;
};

}  // namespace melnix
