#pragma once
// The editor window: the place where the song list, the transport, the lyric
// sheet, the timing operations and the subtitle window meet. The work itself
// is done by those parts; this class wires them to the controls and runs the
// clock that follows the playing song.

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/editor_ids.h"
#include "app/layout_snapshot.h"
#include "app/presentation.h"
#include "app/timeline_view.h"
#include "app/transport.h"
#include "lyrics/lyric_sheet.h"
#include "midi/midi_types.h"
#include "present/tip_text.h"
#include "songlist/song_session.h"
#include "songlist/state_file.h"
#include "sync/sync_button.h"

class QAbstractButton;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSlider;

namespace melnix {

class ControlSite;
class ImportPrompts;
class ProgressSlider;
class SongListFiles;
class SubtitleWindow;
class TipWatcher;
class WaveInCapture;
class PictureScrambler;

// Messages and questions, replaceable in tests.
class EditorPrompts {
public:
    virtual ~EditorPrompts() = default;
    // Yes 1, No 0, Cancel -1.
    virtual int askSaveChanges(QWidget* parent);
    virtual void error(QWidget* parent, const QString& text, const QString& title);
    virtual void warning(QWidget* parent, const QString& text, const QString& title);
    virtual void info(QWidget* parent, const QString& text, const QString& title);
    virtual void about(QWidget* parent);
    // Runs a modal dialog of the editor; QDialog::Accepted or Rejected.
    virtual int runDialog(QDialog& dialog);
    // A file name to save to; empty when the user cancels.
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& start, const QString& filter);
    // Lets the user change font; false when he cancels.
    virtual bool chooseFont(QWidget* parent, QFont& font, const QString& title);
};

class EditorDialog : public QDialog,
                     public SongHost,
                     public TipTextSource,
                     public TipDisplay,
                     public TimelineHost,
                     public PresentationHost {
    Q_OBJECT
public:
    // programFolder holds a portable "Melnix.ini"; argument is the file named
    // on the command line; demoSong the demonstration MIDI file.
    EditorDialog(std::string programFolder, std::string argument, std::string demoSong,
                 std::unique_ptr<EditorPrompts> prompts = nullptr);
    ~EditorDialog() override;

    // SongHost
    void releaseSong() override;
    bool openForPlayback(const std::string& songPath) override;
    void setWindowTitle(const std::string& title) override;
    void showError(const std::string& text, const std::string& title) override;
    void lyricFileLoaded(const std::string& path) override;

    // TipTextSource, TipDisplay
    QString tipTextAt(const QPoint& point) const override;
    void showTip(const QString& text) override;
    void hideTip() override;

    QWidget* control(int id) const;
    LyricSheet& sheet() { return sheet_; }
    Transport& transport() { return transport_; }
    AppState& state() { return state_; }
    EditMode editMode() const { return editMode_; }
    bool modified() const { return modified_; }
    bool clockRunning() const { return clockTimer_.isActive(); }
    RecordArray<NoteSpan>& noteList() { return noteList_; }

    // Runs a command as if it had been posted (tests, and the second copy).
    void runCommand(uint32_t id);
    // The items the window menu adds: about, and the subtitle font.
    static constexpr int kSysAbout = 16;
    static constexpr int kSysSubtitleFont = 32;
    void systemCommand(int id);
    // Answers the song list's file dialogs (tests).
    void setSongListFiles(SongListFiles* files) { songListFiles_ = files; }
    // Opens a file named by the user or a second copy as the current song.
    void openNamedFile(const std::string& path);
    // The import dialog's boxes and file choices (tests answer them).
    void setImportPrompts(std::unique_ptr<ImportPrompts> prompts);

    QRect subtitleArea() const { return timeline_->subtitleArea(); }
    QRect waveformArea() const { return timeline_->waveformArea(); }
    QRect adjustArea() const { return timeline_->adjustArea(); }
    TimelineView& timeline() { return *timeline_; }
    SubtitleWindow* subtitleWindow() const { return subtitle_; }
    Presentation& presentation() { return *presentation_; }
    bool slowReplayPending() const { return slowReplayPending_; }

protected:
    void customEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // TimelineHost
    bool timelineTransportEnabled() const override { return transportEnabled_; }
    bool timelineMelodyAlone() const override;
    void timelineSeek(int units) override { seekUnits(units); }
    void timelinePause() override { pauseSong(); }
    void timelinePlay() override { playSong(); }
    void timelineStopResumeTimer() override { resumeTimer_.stop(); }
    void timelineApply(const EditResult& result) override { applyEditResult(result); }
    void timelineLyricChanged() override { setModified(true); }
    void timelineEndSlowReplay() override { endSlowReplay(); }

    // PresentationHost
    QWidget* stage() override { return this; }
    Transport& showTransport() override { return transport_; }
    LyricSheet& showSheet() override { return sheet_; }
    SubtitleWindow& showSubtitle() override { return *subtitle_; }
    QString showSubtitleFace() override { return subtitleFace_; }
    BackgroundMediaList& showBackground() override { return state_.background; }
    QWidget* songVideo() override;
    void hideEditor() override;
    void restoreEditor() override;
    void resumeSong() override { playSong(); }
    void showHelp() override;
    QString closingText(int index) override;
    PictureScrambler* showScrambler() override { return scrambler_.get(); }
    std::array<uint8_t, 41>* showEffects() override { return &state_.effectSelected; }
    int32_t* showSmoothness() override { return &state_.transitionSmoothness; }

    void present();
    void leavePresentation();
    // The song ended during the show: true when the show goes on with another song.
    bool showGoesOn();

    void buildControls();
    void setButtonIcon(int id, int iconId);
    void connectControls();
    void computeAreas();
    void placeSubtitle();

    // Start-up and shut-down.
    void finishStartup();
    bool shutdown();  // false when the user stays
    bool confirmUnsavedLyrics();

    // Transport.
    void buttonAction();
    void afterSongOpened();
    void startOfPlay();
    void playOrPause();
    void pauseSong();
    void playSong();
    void seekUnits(int units);
    void songEnded();
    void selectSpeed(int index);
    void updateSpeedRadios();
    void setVolumeFromTrack(int pos);
    void toggleMute();
    void toggleVocal();
    void startSlowReplay();
    void endSlowReplay();

    // The clock.
    void startClock();
    void stopClock();
    void clockStep();
    void showPosition(int units);
    void showLineAt(int units);
    void runPendingRequest();

    // Lyrics.
    void setModified(bool on);
    void refillLineList();
    void updateActionButtons();
    int lineAtPosition();
    void enterEditMode(EditMode mode);
    void leaveEditMode();
    void confirmEdit();
    void cancelEdit();
    void applyEditResult(const struct EditResult& r);
    void changePlacement(int delta);
    void syncPressed();
    void syncReleased();

    // Files.
    void saveLyrics();
    bool storeInSongTail();
    bool storeInLyricFile(const std::string& path);
    void importLyrics();
    // Reads a synchronized lyric file, or plain text as lines, as the song's lyric.
    void importLyricFile(const std::string& path);
    // False, with the sheet emptied and the error shown, when the file holds
    // no synchronized lyric.
    bool openSyncedLyricFile(const std::string& path);
    // New lines with default times became the lyric.
    void takeImportedLines();
    void showImportedLyric();
    static bool isLyricFileName(const std::string& path);
    void openSongFile();
    void openSongList();
    void chooseSubtitleFont();

    std::string programFolder_;
    std::string argument_;
    std::string demoSong_;
    std::unique_ptr<EditorPrompts> prompts_;
    std::unique_ptr<ImportPrompts> importPrompts_;

    AppState state_;
    LyricSheet sheet_;
    SongSession session_;
    Transport transport_;
    RecordArray<NoteSpan> noteList_{1000};
    SyncButton syncButton_;

    std::map<int, QWidget*> controls_;
    std::map<int, QString> tips_;
    QComboBox* lineBox_ = nullptr;
    ProgressSlider* slider_ = nullptr;
    QSlider* volume_ = nullptr;
    QCheckBox* hints_ = nullptr;
    QPushButton* pauseButton_ = nullptr;
    std::vector<QRadioButton*> speedRadios_;
    SubtitleWindow* subtitle_ = nullptr;
    ControlSite* controlSite_ = nullptr;
    TipWatcher* tipWatcher_ = nullptr;
    LayoutSnapshot editorLayout_;

    std::unique_ptr<TimelineView> timeline_;
    QString subtitleFace_;

    EditMode editMode_ = EditMode::None;
    int editPosition_ = 0;
    bool transportEnabled_ = true;
    bool modified_ = false;
    bool wasPlayingBeforeDrag_ = false;
    int songLengthCs_ = 0;
    bool lyricFlagFromSong_ = false;
    int failedMidiOpens_ = 0;
    std::unique_ptr<Presentation> presentation_;
    // What the sound card records, as the waveform of songs in a hosted player.
    std::unique_ptr<WaveInCapture> capture_;
    // Scrambled pictures and the passwords given during this run.
    std::unique_ptr<PictureScrambler> scrambler_;
    bool presentWhenPlaying_ = false;  // the show resumes with the next song
    SongListFiles* songListFiles_ = nullptr;  // file dialogs of the song list; null: the real ones  // in a row, to stop going round a list of broken songs

    QTimer clockTimer_;
    int lastDrawn_ = -1;
    int lastTenths_ = -1;
    int shownLine_ = -2;
    int endTextIndex_ = 0;
    QElapsedTimer endTextClock_;
    int pendingRequest_ = kPendingNone;
    bool exiting_ = false;
    QTimer resumeTimer_;
    QTimer slowReplayTimer_;
    bool slowReplayPending_ = false;
};

}  // namespace melnix
