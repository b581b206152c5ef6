// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The transport's controls: pause and play, seeking, the nine speeds, the
// volume, mute, vocal removal, the double time scale and the ruler, the slow
// replay after a drag and the resume after an edit.

#include <QObject>
#include <QTimer>

namespace melnix {

struct EditorContext;

class TransportPanel : public QObject {
public:
    explicit TransportPanel(EditorContext& ctx);

    // Wires the panel's controls.
    void connectControls();

    bool playing() const;
    void playOrPause();
    void pause();
    void play();
    // The song started or went on playing: every part follows.
    void started();
    // Seeks (editor units) and shows the new position and its line.
    void seek(int units);
    // The slider's drag.
    void sliderDown();
    void sliderDrag();
    void sliderUp();

    void selectSpeed(int index);
    void updateSpeedRadios();
    void stepVolume(int delta);
    void toggleMute();
    void toggleVocal();
    void setDoubleScale(bool on);
    void toggleRuler();
    bool melodyAlone() const;

    // After a drag the song replays slowly for a few seconds.
    void startSlowReplay();
    void endSlowReplay();
    void slowReplayTimeUp();
    bool slowReplayPending() const { return slowReplayPending_; }

    // Plays again two seconds after an edit paused the song.
    void resumeLater() { resumeTimer_.start(); }
    void stopResume() { resumeTimer_.stop(); }

private:
    EditorContext& ctx_;
    QTimer resumeTimer_;
    QTimer slowReplayTimer_;
    bool slowReplayPending_ = false;
    bool wasPlayingBeforeDrag_ = false;
};

}  // namespace melnix
