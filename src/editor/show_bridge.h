#pragma once
// Between the editor and the show: what the show borrows from the editor
// (the stage, the song, the lyric, the subtitle), entering and leaving it,
// the song that ends during it, and the show's own commands.

#include <array>
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

    void present();
    void leave();
    void stageResized() { presentation_->stageResized(); }
    // The song started playing: a show that waited for it begins.
    void songStarted();
    // The song ended during the show; true when that is all handled.
    bool songEndedInShow();

    // The show's menu.
    void togglePause();
    void restartSong();
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
};

}  // namespace melnix
