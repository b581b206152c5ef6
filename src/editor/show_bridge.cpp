// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/show_bridge.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>

#include "dialogs/help_dialog.h"
#include "dialogs/song_list_dialog.h"
#include "editor/core/lyric_document.h"
#include "editor/editor_context.h"
#include "editor/editor_controls.h"
#include "editor/layout_snapshot.h"
#include "editor/line_display.h"
#include "editor/line_editor.h"
#include "editor/lyric_files.h"
#include "editor/song_clock.h"
#include "editor/song_switch.h"
#include "editor/transport_panel.h"
#include "playback/core/transport.h"
#include "present/core/picture_scrambler.h"
#include "present/picture_window.h"
#include "present/subtitle_window.h"
#include "songlist/media_kind.h"
#include "songlist/song_session.h"
#include "songlist/state_file.h"
#include "ui/command_event.h"
#include "present/password_prompt.h"
#include "ui/prompts.h"

namespace melnix {

ShowBridge::ShowBridge(EditorContext& ctx) : ctx_(ctx) {
    scrambler_ = std::make_unique<PictureScrambler>(unscramblePasswordPrompt(ctx.window));
    presentation_ = std::make_unique<Presentation>(*this);
}

ShowBridge::~ShowBridge() { presentation_.reset(); }

void ShowBridge::present() {
    if (presentation_->running() || ctx_.editor->mode() != EditMode::None) return;
    if (ctx_.state->list.current.songPath.empty() || !ctx_.transport->hasEngine()) return;
    ctx_.clock->stop();
    useSongBackground();
    presentation_->enter();
    if (!ctx_.panel->playing()) ctx_.panel->play();
}

void ShowBridge::requestShow(bool automatic) {
    automatic_ = automatic;
    if (ctx_.panel->playing()) {
        present();
    } else if (ctx_.transport->hasEngine()) {
        // A hosted player is still loading: the show waits for it to play.
        presentWhenPlaying_ = true;
    }
}

void ShowBridge::leave() {
    if (!presentation_->running()) return;
    presentation_->leave();
}

void ShowBridge::presentByUser() {
    automatic_ = false;
    present();
}

void ShowBridge::backToEditor() {
    automatic_ = false;
    leave();
}

void ShowBridge::escape() {
    if (automatic_ && presentation_->running()) {
        exitProgram();
        return;
    }
    leave();
}

// Each song shows its own background, the program's pictures when it has none.
void ShowBridge::useSongBackground() {
    BackgroundMediaList& background = ctx_.state->background;
    background.entries.clear();
    background.setFromSpec(ctx_.state->list.current.pictureList);
}

void ShowBridge::songStarted() {
    if (!presentWhenPlaying_) return;
    presentWhenPlaying_ = false;
    postCommand(ctx_.window, kCmdStartPresentation);
}

void ShowBridge::startRequested() {
    if (ctx_.panel->playing()) {
        present();
    } else if (ctx_.transport->hasEngine()) {
        presentWhenPlaying_ = true;
    }
}

bool ShowBridge::songEndedInShow() {
    if (!presentation_->running()) return false;
    if (showGoesOn()) return true;
    // The show stops for the ordinary handling and comes back with the song after.
    leave();
    presentWhenPlaying_ = true;
    return false;
}

bool ShowBridge::showGoesOn() {
    if (presentation_->kind() != Presentation::Kind::Pictures || ctx_.document->modified()) return false;
    SongList& list = ctx_.state->list;
    const int next = ctx_.songs->nextSongIndex();
    if (next < 0) return false;
    const SongEntry& song = *list.at(next);
    if (mediaKind(song.songPath, MediaTable::Audio) == 0) return false;
    if (song.pictureList.size() >= kMinBackgroundSpec &&
        mediaKind(song.pictureList.substr(0, song.pictureList.find('|')), MediaTable::Picture) == 0)
        return false;
    ctx_.document->sheet().clearLines();
    ctx_.editor->refillLineList();
    list.selectSong(next);
    useSongBackground();
    ctx_.songs->openSelectedSong(true);
    presentation_->songChanged();
    return true;
}

void ShowBridge::togglePause() {
    if (ctx_.panel->playing()) {
        ctx_.panel->pause();
        presentation_->setUserPaused(true);
    } else {
        presentation_->setUserPaused(false);
        ctx_.panel->play();
    }
}

void ShowBridge::restartSong() {
    if (ctx_.panel->playing()) ctx_.panel->pause();
    ctx_.panel->seek(0);
    presentation_->setUserPaused(false);
    ctx_.panel->play();
}

// The song list over the paused show; the show comes back with the song chosen.
void ShowBridge::chooseSong() {
    runOutsideShow([this] { ctx_.files->openSongList(); });
}

void ShowBridge::runOutsideShow(const std::function<void()>& work) {
    const bool automatic = automatic_;
    const bool wasRunning = presentation_->running();
    leave();
    if (ctx_.panel->playing()) ctx_.panel->pause();
    work();
    if (!ctx_.panel->playing()) ctx_.panel->play();
    if (wasRunning) requestShow(automatic);
}

void ShowBridge::exitProgram() {
    leave();
    ctx_.window->close();
}

void ShowBridge::otherPictures() {
    AppState& state = *ctx_.state;
    SongEntry& song = state.list.current;
    if (!chooseBackgroundFor(song, state, ctx_.window, *ctx_.prompts, scrambler_.get())) return;
    const int entry = state.list.findSong(song.songPath);
    if (entry >= 0) state.list.at(entry)->pictureList = song.pictureList;
    ctx_.session->dropDemoMarker();
    state.background.setFromSpec(song.pictureList);
    state.background.index = 0;
    PictureWindow* pictures = presentation_->pictureWindow();
    if (!state.background.entries.empty() &&
        mediaKind(state.background.entries.front(), MediaTable::Picture) > 0 && pictures) {
        pictures->loadNow(state.background.entries.front());
        pictures->startTransition(0);
        state.background.index = state.background.entries.size() > 1 ? 1 : 0;
        pictures->loadInBackground(state.background.entries[static_cast<size_t>(state.background.index)]);
    } else {
        leave();
    }
}

void ShowBridge::showHelpDialog() {
    HelpDialog help(ctx_.window, [this] { ctx_.prompts->about(ctx_.window); });
    ctx_.prompts->runDialog(help);
}

QWidget* ShowBridge::stage() { return ctx_.window; }
Transport& ShowBridge::showTransport() { return *ctx_.transport; }
LyricSheet& ShowBridge::showSheet() { return ctx_.document->sheet(); }
SubtitleWindow& ShowBridge::showSubtitle() { return *ctx_.subtitle; }
QString ShowBridge::showSubtitleFace() { return ctx_.lines->face(); }
BackgroundMediaList& ShowBridge::showBackground() { return ctx_.state->background; }
QWidget* ShowBridge::songVideo() { return ctx_.songs->songVideo(); }
void ShowBridge::resumeSong() { ctx_.panel->play(); }
QString ShowBridge::closingText(int index) { return ctx_.lines->closingText(index); }
EffectSelection* ShowBridge::showEffects() { return &ctx_.state->effectSelected; }
int32_t* ShowBridge::showSmoothness() { return &ctx_.state->transitionSmoothness; }

void ShowBridge::hideEditor() {
    ctx_.subtitle->hide();
    ctx_.layout->HideAll(ctx_.window);
}

void ShowBridge::restoreEditor() {
    ctx_.layout->Relayout(ctx_.window);
    ctx_.songs->computeAreas();
    ctx_.lines->place();
    ctx_.lines->invalidate();
    ctx_.subtitle->setPaused(false);
    ctx_.window->update();
    ctx_.window->activateWindow();
    if (ctx_.panel->playing()) {
        ctx_.controls->pauseButton()->setFocus();
        postCommand(ctx_.window, kCmdClockLoop);
    } else {
        // Paused in the show, the song stands where the show left it: the
        // clock, the line and the time line show that, not where the editor
        // last looked.
        const int units = ctx_.transport->positionUnits();
        ctx_.clock->showPosition(units);
        ctx_.lines->showAt(units);
        ctx_.timeline->followSeek(units);
        ctx_.editor->updateActionButtons();
    }
}

}  // namespace melnix
