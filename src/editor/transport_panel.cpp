// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/transport_panel.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include "audio/speed_table.h"
#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/key_control.h"
#include "editor/editor_text.h"
#include "editor/line_display.h"
#include "editor/line_editor.h"
#include "editor/progress_slider.h"
#include "editor/show_bridge.h"
#include "editor/song_clock.h"
#include "editor/song_switch.h"
#include "editor/timeline_view.h"
#include "playback/core/transport.h"
#include "playback/core/volume.h"
#include "ui/app_icons.h"
#include "ui/command_event.h"

namespace melnix {
namespace {

constexpr int kResumeDelayMs = 2000;
// A drag's slow replay: half speed for wave songs, two thirds for MIDI.
constexpr int kWaveSlowReplayMs = 4000;
constexpr int kMidiSlowReplayMs = 3500;
constexpr int kWaveSlowReplaySpeed = 0;
constexpr int kMidiSlowReplaySpeed = 2;

}  // namespace

TransportPanel::TransportPanel(EditorContext& ctx) : ctx_(ctx) {
    resumeTimer_.setSingleShot(true);
    resumeTimer_.setInterval(kResumeDelayMs);
    connect(&resumeTimer_, &QTimer::timeout, this, [this] { play(); });
    slowReplayTimer_.setSingleShot(true);
    connect(&slowReplayTimer_, &QTimer::timeout, this, [this] { slowReplayTimeUp(); });
}

void TransportPanel::connectControls() {
    EditorControls& c = *ctx_.controls;
    for (int i = 0; i < kSpeedCount; ++i)
        connect(c.speedRadios()[static_cast<size_t>(i)], &QRadioButton::clicked, this, [this, i] { selectSpeed(i); });
    connect(c.volume(), &QSlider::valueChanged, this, [this](int pos) {
        ctx_.transport->setVolumeFromTrack(pos);
        ctx_.controls->setButtonIcon(idMute, kIconSoundOn);
    });
    connect(c.button(idDoubleScale), &QAbstractButton::toggled, this, [this](bool on) {
        stopResume();
        setDoubleScale(on);
        ctx_.editor->buttonAction();
    });
    connect(c.button(idRuler), &QAbstractButton::clicked, this, [this] {
        stopResume();
        toggleRuler();
        ctx_.editor->buttonAction();
    });
}

bool TransportPanel::playing() const { return ctx_.transport->playState() == PlayState::Playing; }

void TransportPanel::playOrPause() {
    if (playing()) {
        pause();
    } else {
        play();
    }
    ctx_.editor->updateActionButtons();
}

void TransportPanel::pause() {
    // The speeds stay open: a choice made now applies when the song plays.
    ctx_.controls->control(idVocal)->setEnabled(false);
    ctx_.transport->pause();
    ctx_.controls->pauseButton()->setText(EditorText::tr("播放"));
}

void TransportPanel::play() {
    if (!ctx_.transport->hasEngine()) return;
    if (ctx_.transport->play()) started();
}

void TransportPanel::started() {
    ctx_.clock->showPosition(ctx_.transport->positionUnits());
    ctx_.controls->setTransportFlag(true);
    ctx_.controls->pauseButton()->setText(EditorText::tr("暂停"));
    ctx_.editor->songStarted();
    ctx_.transport->applyChosenSpeed();
    updateSpeedRadios();
    ctx_.show->songStarted();
    if (ctx_.show->running()) return;
    ctx_.controls->pauseButton()->setFocus();
    postCommand(ctx_.window, kCmdClockLoop);
}

void TransportPanel::seek(int units) {
    if (!ctx_.transport->seekUnits(units)) {
        ctx_.songs->songEnded();
        return;
    }
    ctx_.editor->updateActionButtons();
    ctx_.clock->showPosition(units);
    ctx_.lines->showAt(units);
}

void TransportPanel::sliderDown() {
    stopResume();
    ctx_.controls->pauseButton()->setText(EditorText::tr("播放"));
    wasPlayingBeforeDrag_ = playing();
    pause();
    sliderDrag();
}

// The song stays paused while the thumb moves; the time line follows it.
void TransportPanel::sliderDrag() {
    const int units = ctx_.controls->slider()->getPos() * ctx_.transport->timeScale();
    seek(units);
    ctx_.timeline->followSeek(units);
}

void TransportPanel::sliderUp() {
    if (wasPlayingBeforeDrag_) play();
}

void TransportPanel::selectSpeed(int index) {
    ctx_.transport->selectSpeed(index);
    updateSpeedRadios();
    ctx_.controls->pauseButton()->setFocus();
}

void TransportPanel::updateSpeedRadios() {
    const Transport& t = *ctx_.transport;
    const bool on = ctx_.controls->transportEnabled() && t.speedsAvailable();
    const auto& radios = ctx_.controls->speedRadios();
    for (int i = 0; i < kSpeedCount; ++i) {
        QRadioButton* r = radios[static_cast<size_t>(i)];
        r->setChecked(i == t.speedIndex());
        r->setEnabled(on);
    }
    ctx_.controls->control(idSpeedLabel)->setEnabled(on);
    ctx_.controls->control(idVocal)->setEnabled(playing() && t.vocalRemovalAvailable());
    // A new song turns vocal removal off.
    ctx_.controls->setButtonIcon(idVocal, t.vocalsKept() ? kIconVocalsKept : kIconVocalsRemoved);
    // Each song brings its own key.
    if (ctx_.key) ctx_.key->refresh();
}

void TransportPanel::stepVolume(int delta) {
    QSlider* v = ctx_.controls->volume();
    v->setValue(std::min(v->value() - delta, kMaxVolumeLevel - kMinVolumeLevel));
}

void TransportPanel::toggleMute() {
    const bool mute = !ctx_.transport->isMuted();
    ctx_.transport->setMute(mute);
    ctx_.controls->setButtonIcon(idMute, mute ? kIconMuted : kIconSoundOn);
}

void TransportPanel::toggleVocal() {
    ctx_.transport->toggleVocalRemoval();
    ctx_.controls->setButtonIcon(idVocal, ctx_.transport->vocalsKept() ? kIconVocalsKept : kIconVocalsRemoved);
}

void TransportPanel::setDoubleScale(bool on) {
    Transport& t = *ctx_.transport;
    const int u = t.positionUnits() / t.timeScale();
    t.setTimeScale(on ? 2 : 1);
    ctx_.timeline->setViewOrigin(u * t.timeScale());
    // Positions already drawn were in the old scale.
    if (ctx_.clock->running()) ctx_.timeline->clockStarted(t.positionUnits());
    ctx_.window->update();
}

void TransportPanel::toggleRuler() {
    TimelineView& tl = *ctx_.timeline;
    tl.setRulerMode(!tl.rulerMode());
    ctx_.controls->setButtonIcon(idRuler, tl.rulerMode() ? kIconRuler : kIconWaveform);
    // The clock starts again in the new mode.
    if (playing()) {
        pause();
        play();
    }
    ctx_.window->update();
}

bool TransportPanel::melodyAlone() const {
    const Transport& t = *ctx_.transport;
    return t.kind() == SongKind::Midi && t.engine() && t.engine()->playsMelodyAlone();
}

void TransportPanel::startSlowReplay() {
    endSlowReplay();
    const Transport& t = *ctx_.transport;
    if (!ctx_.controls->transportEnabled() || !playing() || t.speedIndex() != kNormalSpeedIndex) return;
    const SongKind kind = t.kind();
    if (isWaveKind(kind)) {
        ctx_.controls->control(idSync)->setEnabled(false);
        selectSpeed(kWaveSlowReplaySpeed);
        slowReplayTimer_.setInterval(kWaveSlowReplayMs);
    } else if (kind == SongKind::Midi) {
        selectSpeed(kMidiSlowReplaySpeed);
        slowReplayTimer_.setInterval(kMidiSlowReplayMs);
    } else {
        return;
    }
    slowReplayPending_ = true;
    slowReplayTimer_.start();
}

void TransportPanel::endSlowReplay() {
    if (!slowReplayPending_) return;
    if (!playing()) {
        // Speeds change only while playing; the timer ends it once the song plays.
        if (!slowReplayTimer_.isActive()) slowReplayTimer_.start();
        return;
    }
    slowReplayTimer_.stop();
    slowReplayPending_ = false;
    ctx_.controls->control(idSync)->setEnabled(true);
    if (ctx_.transport->speedIndex() != kNormalSpeedIndex) selectSpeed(ctx_.transport->speedIndex());
}

void TransportPanel::slowReplayTimeUp() {
    if (playing()) {
        endSlowReplay();
    } else if (slowReplayPending_) {
        // The speed can change only while playing: the replay ends once the
        // song plays again, not never.
        slowReplayTimer_.start();
    }
}

}  // namespace melnix
