// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Between the editor and the show: what the show borrows from the editor
// (the stage, the song, the lyric, the subtitle), entering and leaving it,
// the song that ends during it, and the show's own commands.

#include <array>
#include <functional>
#include <memory>

#include "present/presentation.h"

namespace melnix {

struct EditorContext;
class PictureScrambler;

class ShowBridge : public PresentationHost {
public:
    explicit ShowBridge(EditorContext& ctx);
    ~ShowBridge() override;

    Presentation& presentation() { return *presentation_; }
    PictureScrambler* scrambler() const { return scrambler_.get(); }
    bool running() const { return presentation_ && presentation_->running(); }

    // "欣赏": the show of the open song (nothing without one).
    void present();
    void presentByUser();
    // "返回编辑": the show ends; a show started later is the user's own.
    void backToEditor();
    // The show as soon as the song plays; automatic: started by the program
    // itself, so that Esc ends the program.
    void requestShow(bool automatic);
    void leave();
    // Esc in the show: back to the editor, or out of the program when the
    // program started the show itself.
    void escape();
    void stageResized() { presentation_->stageResized(); }
    // The song started playing: a show that waited for it begins.
    void songStarted();
    // A show asked for by command: now, or once the song plays.
    void startRequested();
    // The song ended during the show; true when that is all handled.
    bool songEndedInShow();

    // The show's menu.
    void togglePause();
    void restartSong();
    // Leaves the show, pausing, for work in a dialog; then plays on and
    // comes back into the show.
    void runOutsideShow(const std::function<void()>& work);
    void chooseSong();
    void exitProgram();
    void otherPictures();
    void showHelpDialog();

    // PresentationHost
    QWidget* stage() override;
    Transport& showTransport() override;
    LyricSheet& showSheet() override;
    SubtitleWindow& showSubtitle() override;
    QString showSubtitleFace() override;
    BackgroundMediaList& showBackground() override;
    QWidget* songVideo() override;
    void hideEditor() override;
    void restoreEditor() override;
    void resumeSong() override;
    void showHelp() override { showHelpDialog(); }
    QString closingText(int index) override;
    PictureScrambler* showScrambler() override { return scrambler_.get(); }
    EffectSelection* showEffects() override;
    int32_t* showSmoothness() override;

private:
    // The next song of the list carries the show on when it is a song with
    // pictures (or none) and the lyric has nothing unsaved.
    bool showGoesOn();
    void useSongBackground();

    EditorContext& ctx_;
    std::unique_ptr<PictureScrambler> scrambler_;
    std::unique_ptr<Presentation> presentation_;
    bool presentWhenPlaying_ = false;  // the show resumes with the next song
    bool automatic_ = false;           // the running or requested show was started by the program
};

}  // namespace melnix
