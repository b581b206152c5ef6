#include "app/editor_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <qdrawutil.h>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QToolButton>
#include <QValidator>
#include <QWindowStateChangeEvent>

#include "app/about_box.h"
#include "app/app_icons.h"
#include "app/editor_layout.h"
#include "app/editor_rules.h"
#include "app/exchange_dialog.h"
#include "app/help_dialog.h"
#include "app/hosted_song_engine.h"
#include "app/import_dialog.h"
#include "app/midi_song_engine.h"
#include "midi/midi_lyrics.h"
#include "app/progress_slider.h"
#include "app/picture_window.h"
#include "app/save_dialog.h"
#include "app/single_instance.h"
#include "app/song_list_dialog.h"
#include "app/timeline_math.h"
#include "app/track_dialog.h"
#include "common/file.h"
#include "common/gbk.h"
#include "common/paths.h"
#include "lyrics/lyric_import.h"
#include "lyrics/lyric_text.h"
#include "lyrics/lyric_store.h"
#include "lyrics/mlx_block.h"
#include "present/colour_ref.h"
#include "platform/wave_in_capture.h"
#include "present/picture_scrambler.h"
#include "present/prompt_dialog.h"
#include "present/command_event.h"
#include "present/subtitle_window.h"
#include "present/tip_watcher.h"
#include "songlist/media_kind.h"
#include "sync/line_edits.h"
#include "sync/timeline.h"

namespace melnix {
namespace {

// The clock steps, and the display follows the song, 50 times a second:
// a wipe as smooth as the screen shows it, at under 3 % of one core;
// stepping every 6 ms cost more processor time than decoding the song.
constexpr int kClockStepMs = 20;
constexpr int kResumeDelayMs = 2000;
constexpr int kEndTextIntervalMs = 5000;
constexpr int kWipeLeadCs = 10;
constexpr int kSubtitleId = 1100;
// A drag's slow replay: half speed for wave songs, two thirds for MIDI.
constexpr int kWaveSlowReplayMs = 4000;
constexpr int kMidiSlowReplayMs = 3500;
constexpr int kWaveSlowReplaySpeed = 0;
constexpr int kMidiSlowReplaySpeed = 2;
constexpr int kHandOverRetryMs = 500;
constexpr int kLongHint = 76;  // bytes; a longer hint widens the strip over the statics

QString tr(const char* text) { return QCoreApplication::translate("EditorDialog", text); }
QString fromGbk(const std::string& gbk) { return QString::fromStdString(gbkToUtf8(gbk)); }
std::string toGbk(const QString& text) { return utf8ToGbk(text.toStdString()); }
std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }
QString displayPath(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

// The line box takes at most a line's bytes of GBK text; what would not fit
// is refused rather than cut off later.
class GbkLengthValidator : public QValidator {
public:
    GbkLengthValidator(int maxBytes, QObject* parent) : QValidator(parent), maxBytes_(maxBytes) {}
    State validate(QString& input, int&) const override {
        return static_cast<int>(toGbk(input).size()) > maxBytes_ ? Invalid : Acceptable;
    }

private:
    int maxBytes_;
};


}  // namespace

int EditorPrompts::askSaveChanges(QWidget* parent) {
    const auto r = QMessageBox::question(parent, tr("Melnix"), tr("修改的歌词尚未存盘,你需要存盘吗？"),
                                         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return r == QMessageBox::Yes ? 1 : r == QMessageBox::No ? 0 : -1;
}

void EditorPrompts::error(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::critical(parent, title, text);
}

void EditorPrompts::warning(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::warning(parent, title, text);
}

void EditorPrompts::info(QWidget* parent, const QString& text, const QString& title) {
    QMessageBox::information(parent, title, text);
}

void EditorPrompts::about(QWidget* parent) { AboutBox(parent).exec(); }

int EditorPrompts::runDialog(QDialog& dialog) { return dialog.exec(); }

QString EditorPrompts::saveFileName(QWidget* parent, const QString& title, const QString& start, const QString& filter) {
    return QFileDialog::getSaveFileName(parent, title, start, filter);
}

bool EditorPrompts::chooseFont(QWidget* parent, QFont& font, const QString& title) {
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, font, parent, title, QFontDialog::ScalableFonts);
    if (ok) font = chosen;
    return ok;
}

EditorDialog::EditorDialog(std::string programFolder, std::string argument, std::string demoSong,
                           std::unique_ptr<EditorPrompts> prompts)
    : programFolder_(std::move(programFolder)),
      argument_(std::move(argument)),
      demoSong_(std::move(demoSong)),
      prompts_(prompts ? std::move(prompts) : std::make_unique<EditorPrompts>()),
      session_(state_, sheet_, *this),
      subtitleFace_(kDefaultSubtitleFace) {
    setObjectName("EditorDialog");
    QDialog::setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(melnixIcon(kIconProgram));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    resize(kEditorWidth, kEditorHeight);
    buildControls();
    connectControls();
    timeline_ = std::make_unique<TimelineView>(this, *this, transport_, sheet_, noteList_);
    computeAreas();
    subtitle_ = new SubtitleWindow(this, timeline_->subtitleArea(), kSubtitleId);
    timeline_->setSubtitleWindow(subtitle_);
    subtitle_->setHelpHandler([this] { showHelp(); });
    placeSubtitle();
    // Every move over the window starts a new run of the sync button.
    setMouseTracking(true);
    tipWatcher_ = new TipWatcher(this, this);

    clockTimer_.setInterval(kClockStepMs);
    connect(&clockTimer_, &QTimer::timeout, this, &EditorDialog::clockStep);
    resumeTimer_.setSingleShot(true);
    resumeTimer_.setInterval(kResumeDelayMs);
    connect(&resumeTimer_, &QTimer::timeout, this, [this] { runCommand(kCmdResumeTimer); });
    slowReplayTimer_.setSingleShot(true);
    connect(&slowReplayTimer_, &QTimer::timeout, this, [this] { runCommand(kCmdSlowReplayEnd); });

    transport_.setWaveSongEnded([this] { postCommand(this, kCmdWaveEnded); });
    transport_.setMidiFactory([this](const std::string& path) -> std::unique_ptr<SongEngine> {
        auto engine = std::make_unique<MidiSongEngine>(
            [this] { postCommand(this, kCmdMidiPlayedOff); },
            [this](const std::string& text) { prompts_->info(this, QString::fromStdString(text), tr("Melnix")); });
        if (!engine->open(path, &noteList_)) return nullptr;
        // A song without lyrics of its own in the list takes the words the MIDI file carries.
        if (sheet_.lineCount() <= 1 && ExtractLyrics(engine->player(), sheet_) > kMidiLinesForLyric) {
            state_.list.setCurrentLyricFlag(true);
            lyricFlagFromSong_ = true;
        }
        return engine;
    });
    // Other kinds play in a hosted control, whose window sits in the site:
    // above the subtitles when a picture has room there, else parked outside.
    controlSite_ = new ControlSite(this);
    transport_.setMediaFactory([this](const std::string& path) {
        HostedSongEvents events;
        events.ready = [this] {
            afterSongOpened();
            computeAreas();
            placeSubtitle();
        };
        events.playing = [this] { startOfPlay(); };
        events.ended = [this] { songEnded(); };
        events.failed = [this] {
            pauseButton_->setText(tr("播放"));
            prompts_->warning(this, displayPath(state_.list.current.songPath), tr("打开下列文件时出错!"));
        };
        auto engine = makeHostedSongEngine(path, controlSite_, std::move(events));
        // Recording starts paused; the clock lets it run while the song plays.
        capture_ = std::make_unique<WaveInCapture>();
        if (capture_->Start() == 0) {
            capture_->Pause();
        } else {
            capture_.reset();
        }
        timeline_->setLevelsByCapture(capture_ != nullptr);
        return engine;
    });
    scrambler_ = std::make_unique<PictureScrambler>(unscramblePasswordPrompt(this));
    presentation_ = std::make_unique<Presentation>(*this);
    postCommand(this, kCmdFinishStartup);
}

EditorDialog::~EditorDialog() {
    presentation_.reset();
    clockTimer_.stop();
    transport_.close();
}

QWidget* EditorDialog::control(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void EditorDialog::buildControls() {
    for (const ControlSpec& spec : editorControls()) {
        QWidget* w = nullptr;
        switch (spec.kind) {
            case ControlKind::Button: {
                auto* b = new QPushButton(spec.caption, this);
                b->setAutoDefault(false);
                w = b;
                break;
            }
            case ControlKind::IconButton: {
                auto* b = new QToolButton(this);
                const int side = std::min(spec.rect.width(), spec.rect.height()) - 6;
                b->setIconSize(QSize(side, side));
                w = b;
                break;
            }
            case ControlKind::LineBox: {
                lineBox_ = new QComboBox(this);
                lineBox_->setEditable(true);
                lineBox_->setInsertPolicy(QComboBox::NoInsert);
                lineBox_->installEventFilter(this);
                w = lineBox_;
                break;
            }
            case ControlKind::UpDown: {
                auto* box = new QWidget(this);
                auto* up = new QToolButton(box);
                auto* down = new QToolButton(box);
                up->setArrowType(Qt::UpArrow);
                down->setArrowType(Qt::DownArrow);
                up->setGeometry(0, 0, spec.rect.width(), spec.rect.height() / 2);
                down->setGeometry(0, spec.rect.height() / 2, spec.rect.width(), spec.rect.height() / 2);
                connect(up, &QToolButton::clicked, this, [this] { changePlacement(+1); });
                connect(down, &QToolButton::clicked, this, [this] { changePlacement(-1); });
                w = box;
                break;
            }
            case ControlKind::Trackbar: {
                volume_ = new QSlider(Qt::Vertical, this);
                volume_->setRange(0, kMaxVolumeLevel);
                volume_->setInvertedAppearance(true);
                volume_->setValue(0);
                w = volume_;
                break;
            }
            case ControlKind::Radio: {
                auto* r = new QRadioButton(this);
                r->setAutoExclusive(false);
                speedRadios_.push_back(r);
                w = r;
                break;
            }
            case ControlKind::Static: {
                auto* l = new QLabel(spec.caption, this);
                l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                l->setAlignment(Qt::AlignCenter);
                w = l;
                break;
            }
            case ControlKind::Label: w = new QLabel(spec.caption, this); break;
            case ControlKind::HintCheck:
                hints_ = new QCheckBox(spec.caption, this);
                hints_->setChecked(true);
                w = hints_;
                break;
            case ControlKind::Separator: {
                auto* f = new QFrame(this);
                f->setFrameStyle(QFrame::HLine | QFrame::Sunken);
                w = f;
                break;
            }
            case ControlKind::Slider: slider_ = new ProgressSlider(this, this); w = slider_; break;
        }
        w->setObjectName(QString("control%1").arg(spec.id));
        w->setGeometry(spec.rect);
        w->setFocusPolicy(spec.kind == ControlKind::LineBox ? Qt::StrongFocus : Qt::TabFocus);
        if (spec.startsHidden) w->hide();
        controls_[spec.id] = w;
        if (!spec.tooltip.isEmpty()) tips_[spec.id] = spec.tooltip;
    }
    pauseButton_ = static_cast<QPushButton*>(control(idPause));
    setButtonIcon(idMute, kIconSoundOn);
    setButtonIcon(idVocal, kIconVocalsKept);
    setButtonIcon(idRuler, kIconWaveform);
    setButtonIcon(idDoubleScale, kIconDoubleScale);
    static_cast<QToolButton*>(control(idDoubleScale))->setCheckable(true);
    control(idVocal)->setEnabled(false);
    lineBox_->setEnabled(false);
    lineBox_->setValidator(new GbkLengthValidator(kMaxLineBytes, lineBox_));
    speedRadios_[kNormalSpeedIndex]->setChecked(true);
    for (QRadioButton* r : speedRadios_) r->setEnabled(false);
    control(idSave)->setEnabled(false);
}

void EditorDialog::connectControls() {
    auto onClick = [this](int id, auto fn) {
        auto* b = qobject_cast<QAbstractButton*>(control(id));
        connect(b, &QAbstractButton::clicked, this, [this, fn] {
            resumeTimer_.stop();
            (this->*fn)();
            buttonAction();
        });
    };
    onClick(idPause, &EditorDialog::playOrPause);
    onClick(idSave, &EditorDialog::saveLyrics);
    onClick(idImport, &EditorDialog::importLyrics);
    onClick(idOpenFile, &EditorDialog::openSongFile);
    onClick(idOpenList, &EditorDialog::openSongList);
    onClick(idCancel, &EditorDialog::cancelEdit);
    onClick(idMute, &EditorDialog::toggleMute);
    onClick(idVocal, &EditorDialog::toggleVocal);
    for (int id : kConfirmIds) onClick(id, &EditorDialog::confirmEdit);
    connect(static_cast<QAbstractButton*>(control(idExit)), &QAbstractButton::clicked, this, [this] { close(); });
    for (int i = 0; i < 6; ++i) {
        connect(static_cast<QAbstractButton*>(control(kActionIds[i])), &QAbstractButton::clicked, this, [this, i] {
            resumeTimer_.stop();
            enterEditMode(static_cast<EditMode>(i));
        });
    }
    const std::pair<int, ViewButton> views[] = {{idViewLeftFar, ViewButton::FarLeft},
                                                 {idViewLeft, ViewButton::Left},
                                                 {idViewRight, ViewButton::Right},
                                                 {idViewRightFar, ViewButton::FarRight}};
    for (const auto& [id, b] : views) {
        connect(static_cast<QAbstractButton*>(control(id)), &QAbstractButton::clicked, this, [this, b = b] {
            timeline_->viewButton(b);
            buttonAction();
        });
    }
    for (int i = 0; i < kSpeedCount; ++i)
        connect(speedRadios_[static_cast<size_t>(i)], &QRadioButton::clicked, this, [this, i] { selectSpeed(i); });
    connect(volume_, &QSlider::valueChanged, this, &EditorDialog::setVolumeFromTrack);
    connect(hints_, &QCheckBox::toggled, this, [this](bool on) { state_.showHints = on ? 1 : 0; });
    connect(static_cast<QAbstractButton*>(control(idDoubleScale)), &QAbstractButton::toggled, this, [this](bool on) {
        resumeTimer_.stop();
        const int u = transport_.positionUnits() / transport_.timeScale();
        transport_.setTimeScale(on ? 2 : 1);
        timeline_->setViewOrigin(u * transport_.timeScale());
        // Positions already drawn were in the old scale.
        if (clockTimer_.isActive()) timeline_->clockStarted(transport_.positionUnits());
        update();
        buttonAction();
    });
    connect(static_cast<QAbstractButton*>(control(idRuler)), &QAbstractButton::clicked, this, [this] {
        resumeTimer_.stop();
        timeline_->setRulerMode(!timeline_->rulerMode());
        setButtonIcon(idRuler, timeline_->rulerMode() ? kIconRuler : kIconWaveform);
        // The clock starts again in the new mode.
        if (transport_.playState() == kPlayPlaying) {
            pauseSong();
            playSong();
        }
        update();
        buttonAction();
    });
    auto* sync = static_cast<QPushButton*>(control(idSync));
    connect(sync, &QPushButton::pressed, this, &EditorDialog::syncPressed);
    connect(sync, &QPushButton::released, this, &EditorDialog::syncReleased);
    connect(static_cast<QAbstractButton*>(control(idHelp)), &QAbstractButton::clicked, this, [this] {
        showHelp();
        buttonAction();
    });
    connect(static_cast<QAbstractButton*>(control(idPresent)), &QAbstractButton::clicked, this, [this] {
        resumeTimer_.stop();
        present();
    });
    connect(static_cast<QAbstractButton*>(control(idTracks)), &QAbstractButton::clicked, this, [this] {
        resumeTimer_.stop();
        // After OK the player has rebuilt the note list (muted tracks left it).
        auto* midi = dynamic_cast<MidiSongEngine*>(transport_.engine());
        if (midi && midi->player().RunTrackDialog([this](MidiStreamPlayer& p) { return TrackDialog::run(this, p); }))
            timeline_->redraw();
        buttonAction();
    });
    connect(lineBox_, &QComboBox::activated, this, [this](int) {
        if (editMode_ == EditMode::Reference) lineBox_->setEditText(lineBox_->currentText());
    });
}

// After every button action the pause button gets the focus back.
void EditorDialog::buttonAction() {
    if (editMode_ == EditMode::None) pauseButton_->setFocus();
}

void EditorDialog::computeAreas() {
    timeline_->layout(rect(), control(idSeparator)->geometry(), control(idPresent)->y(),
                      QSize(transport_.videoWidth(), transport_.videoHeight()));
    if (controlSite_) controlSite_->setGeometry(timeline_->videoRect());
}

void EditorDialog::placeSubtitle() {
    // During the show the subtitle belongs to the stage.
    if (presentation_ && presentation_->running()) {
        presentation_->stageResized();
        return;
    }
    const QRect area = timeline_->subtitleArea();
    const int w = area.width();
    const int h = 2 * w / 21;
    const QRect box(area.left(), area.top() + (area.height() - h) / 2, w, h);
    subtitle_->place(box, subtitleFace_, false);
    subtitle_->setEnabled(false);
    if (shownLine_ >= -1) {
        const int line = shownLine_;
        shownLine_ = -2;
        showLineAt(line >= 0 && sheet_.lineAt(line) ? sheet_.lineAt(line)->startTime * transport_.timeScale() : 0);
    }
}

// ---- start-up and shut-down --------------------------------------------------

void EditorDialog::customEvent(QEvent* event) {
    if (event->type() == CommandEvent::eventType()) {
        runCommand(static_cast<CommandEvent*>(event)->commandId());
        return;
    }
    QDialog::customEvent(event);
}

void EditorDialog::runCommand(uint32_t id) {
    switch (id) {
        case kCmdFinishStartup: finishStartup(); break;
        case kCmdHandOver: {
            // A dialog over the editor finishes first: a save in progress
            // must not find another song under it.
            if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != this) {
                QTimer::singleShot(kHandOverRetryMs, this, [this] { postCommand(this, kCmdHandOver); });
                break;
            }
            const std::string path = takeHandedOverPath(dataFolder());
            if (!path.empty()) openNamedFile(path);
            setWindowState(windowState() & ~Qt::WindowMinimized);
            raise();
            activateWindow();
            break;
        }
        case kCmdResumeTimer: playSong(); break;
        case kCmdSlowReplayEnd:
            if (transport_.playState() == kPlayPlaying) {
                endSlowReplay();
            } else if (slowReplayPending_) {
                // The speed can change only while playing: the replay ends
                // once the song plays again, not never.
                slowReplayTimer_.start();
            }
            break;
        case kCmdClockLoop: startClock(); break;
        case kCmdSliderDown:
            resumeTimer_.stop();
            pauseButton_->setText(tr("播放"));
            wasPlayingBeforeDrag_ = transport_.playState() == kPlayPlaying;
            pauseSong();
            seekUnits(slider_->getPos() * transport_.timeScale());
            break;
        case kCmdSliderDrag:
            seekUnits(slider_->getPos() * transport_.timeScale());
            timeline_->redraw();
            break;
        case kCmdSliderUp:
            if (wasPlayingBeforeDrag_) playSong();
            break;
        case kCmdWaveEnded:
        case kCmdMidiPlayedOff: songEnded(); break;
        case cmdVolumeUp: volume_->setValue(volume_->value() - kVolumeStep); break;
        case cmdVolumeDown: volume_->setValue(std::min(volume_->value() + kVolumeStep, kMaxVolumeLevel - kMinVolumeLevel)); break;
        case cmdSubtitleFont: chooseSubtitleFont(); break;
        case kCmdStartPresentation:
            if (transport_.playState() == kPlayPlaying) present();
            break;
        case cmdTogglePause:
            if (transport_.playState() == kPlayPlaying) {
                pauseSong();
                presentation_->setUserPaused(true);
            } else {
                presentation_->setUserPaused(false);
                playSong();
            }
            break;
        case cmdRestartSong:
            if (transport_.playState() == kPlayPlaying) pauseSong();
            seekUnits(0);
            presentation_->setUserPaused(false);
            playSong();
            break;
        case cmdBackToEditor:
        case cmdEscape: leavePresentation(); break;
        case cmdChooseSong:
            leavePresentation();
            openSongList();
            break;
        case cmdExit:
            leavePresentation();
            close();
            break;
        case cmdOtherPictures: {
            SongListFiles ownFiles;
            SongEntry& song = state_.list.current;
            if (!chooseBackgroundFor(song, state_, this, songListFiles_ ? *songListFiles_ : ownFiles, scrambler_.get()))
                break;
            const int entry = state_.list.findSong(song.songPath);
            if (entry >= 0) state_.list.at(entry)->pictureList = song.pictureList;
            session_.dropDemoMarker();
            state_.background.setFromSpec(song.pictureList);
            state_.background.index = 0;
            if (!state_.background.entries.empty() &&
                mediaKind(state_.background.entries.front(), MediaTable::Picture) > 0 && presentation_->pictureWindow()) {
                PictureWindow* pictures = presentation_->pictureWindow();
                pictures->loadNow(state_.background.entries.front());
                pictures->startTransition(0);
                state_.background.index = state_.background.entries.size() > 1 ? 1 : 0;
                pictures->loadInBackground(state_.background.entries[static_cast<size_t>(state_.background.index)]);
            } else {
                leavePresentation();
            }
            break;
        }
        case kCmdPendingRequest: runPendingRequest(); break;
        case kCmdExchange: {
            // Mailing blocks the window; the song waits meanwhile.
            const bool wasPlaying = transport_.playState() == kPlayPlaying;
            if (wasPlaying) pauseSong();
            ExchangeDialog dialog(state_, sheet_, songLengthCs_, this);
            prompts_->runDialog(dialog);
            if (wasPlaying) playSong();
            break;
        }
        default: break;
    }
}

void EditorDialog::finishStartup() {
    editorLayout_.Take(this, QRect(0, 0, width(), control(idSeparator)->y() - 2));
    session_.loadStateAndOpen(programFolder_, argument_, demoSong_);
    hints_->setChecked(state_.showHints != 0);
    if (!state_.subtitleFont.empty()) {
        subtitleFace_ = fromGbk(state_.subtitleFont);
        placeSubtitle();
    }
    setModified(false);
}

bool EditorDialog::confirmUnsavedLyrics() {
    if (!modified_ || sheet_.empty()) return true;
    const int answer = prompts_->askSaveChanges(this);
    if (answer < 0) return false;
    if (answer > 0) saveLyrics();
    return true;
}

bool EditorDialog::shutdown() {
    resumeTimer_.stop();
    if (clockTimer_.isActive()) {
        // The clock step ends first and then runs the exit.
        pendingRequest_ = kPendingExit;
        stopClock();
        return false;
    }
    if (!confirmUnsavedLyrics()) return false;
    state_.position = transport_.positionUnits() / transport_.timeScale();
    state_.subtitleFont = toGbk(subtitleFace_);
    transport_.close();
    session_.saveState();
    return true;
}

void EditorDialog::closeEvent(QCloseEvent* event) {
    if (exiting_ || shutdown()) {
        exiting_ = true;
        event->accept();
        QDialog::done(QDialog::Accepted);
    } else {
        event->ignore();
    }
}

// Esc leaves the show first, and only then the program.
void EditorDialog::reject() {
    if (presentation_->running()) {
        leavePresentation();
        return;
    }
    close();
}

void EditorDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && presentation_ && presentation_->running()) return;
    if (event->type() == QEvent::WindowStateChange) {
        editorLayout_.Relayout(this);
        computeAreas();
        placeSubtitle();
        update();
        if (transport_.playState() == kPlayPlaying) postCommand(this, kCmdClockLoop);
    }
}

void EditorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (presentation_ && presentation_->running()) {
        presentation_->stageResized();
        return;
    }
    if (editorLayout_.taken()) {
        editorLayout_.Relayout(this);
        computeAreas();
        placeSubtitle();
    }
}

// ---- SongHost --------------------------------------------------------------------

void EditorDialog::releaseSong() {
    stopClock();
    capture_.reset();
    timeline_->setLevelsByCapture(false);
    transport_.close();
    songLengthCs_ = 0;
    shownLine_ = -2;
    setModified(false);
    // A picture leaves with its song.
    computeAreas();
    placeSubtitle();
}

bool EditorDialog::openForPlayback(const std::string& songPath) {
    noteList_.clear();
    lyricFlagFromSong_ = false;
    const bool opened = transport_.openSong(songPath, sheet_.songDataLength);
    const bool midi = isMidiKind(transport_.kind());
    control(idTracks)->setVisible(midi);
    control(idSync)->setVisible(!midi);
    if (!opened) {
        afterSongOpened();
        // A MIDI song that cannot be opened ends at once, so the list moves on;
        // once every song of the list has failed in a row the user is told.
        if (isMidiKind(mediaKind(songPath, MediaTable::Audio)) && ++failedMidiOpens_ < state_.list.size()) {
            postCommand(this, kCmdMidiPlayedOff);
        } else {
            failedMidiOpens_ = 0;
            prompts_->warning(this, displayPath(songPath), tr("打开下列文件时出错!"));
        }
        return true;
    }
    failedMidiOpens_ = 0;
    afterSongOpened();
    startOfPlay();
    // The song's own words decided the lyric flag already.
    return !lyricFlagFromSong_;
}

void EditorDialog::afterSongOpened() {
    songLengthCs_ = transport_.lengthCs();
    slider_->setRange(0, std::max(1, songLengthCs_));
    static_cast<QLabel*>(control(idLength))->setText(QString::fromStdString(formatClock(songLengthCs_)));
    File f;
    const std::string& path = state_.list.current.songPath;
    const int64_t size = f.open(path, File::Mode::Read) ? f.length() : 0;
    static_cast<QLabel*>(control(idSize))->setText(QString::fromStdString(formatFileSize(size)));
    if (songLengthCs_ > kLengthUnknownMax) {
        state_.list.current.length = songLengthCs_;
        const int i = state_.list.findSong(path);
        if (i >= 0) state_.list.at(i)->length = songLengthCs_;
    }
    updateSpeedRadios();
    refillLineList();
    shownLine_ = -2;
    timeline_->setViewOrigin(0);
    update();
}

void EditorDialog::setWindowTitle(const std::string& title) { QDialog::setWindowTitle(displayPath(title)); }

void EditorDialog::showError(const std::string& text, const std::string& title) {
    prompts_->warning(this, displayPath(text), QString::fromStdString(title));
}

void EditorDialog::lyricFileLoaded(const std::string& path) {
    setModified(false);
    lineBox_->setEditText(displayPath(path));
    refillLineList();
}

// ---- transport -----------------------------------------------------------------

void EditorDialog::startOfPlay() {
    showPosition(transport_.positionUnits());
    transportEnabled_ = true;
    pauseButton_->setText(tr("暂停"));
    syncButton_.startRun();
    if (const LyricLine* first = sheet_.lineAt(0)) lineBox_->setEditText(fromGbk(first->text));
    updateSpeedRadios();
    if (presentWhenPlaying_) {
        presentWhenPlaying_ = false;
        postCommand(this, kCmdStartPresentation);
    }
    if (presentation_->running()) return;
    pauseButton_->setFocus();
    postCommand(this, kCmdClockLoop);
}

void EditorDialog::playOrPause() {
    if (transport_.playState() == kPlayPlaying) {
        pauseSong();
    } else {
        playSong();
    }
    updateActionButtons();
}

void EditorDialog::pauseSong() {
    for (QRadioButton* r : speedRadios_) r->setEnabled(false);
    control(idSpeedLabel)->setEnabled(false);
    control(idVocal)->setEnabled(false);
    transport_.pause();
    pauseButton_->setText(tr("播放"));
}

void EditorDialog::playSong() {
    if (!transport_.hasEngine()) return;
    if (transport_.play()) startOfPlay();
}

void EditorDialog::seekUnits(int units) {
    if (!transport_.seekUnits(units)) {
        songEnded();
        return;
    }
    updateActionButtons();
    showPosition(units);
    showLineAt(units);
}

void EditorDialog::updateSpeedRadios() {
    const bool playing = transport_.playState() == kPlayPlaying;
    for (int i = 0; i < kSpeedCount; ++i) {
        QRadioButton* r = speedRadios_[static_cast<size_t>(i)];
        r->setChecked(i == transport_.speedIndex());
        r->setEnabled(playing && transport_.speedsAvailable());
    }
    control(idSpeedLabel)->setEnabled(playing && transport_.speedsAvailable());
    control(idVocal)->setEnabled(playing && transport_.vocalRemovalAvailable());
    // A new song turns vocal removal off.
    setButtonIcon(idVocal, transport_.vocalsKept() ? kIconVocalsKept : kIconVocalsRemoved);
}

void EditorDialog::setButtonIcon(int id, int iconId) {
    auto* b = static_cast<QToolButton*>(control(id));
    b->setIcon(melnixIcon(iconId));
}

void EditorDialog::selectSpeed(int index) {
    transport_.selectSpeed(index);
    updateSpeedRadios();
    pauseButton_->setFocus();
}

void EditorDialog::setVolumeFromTrack(int pos) {
    transport_.setVolumeFromTrack(pos);
    setButtonIcon(idMute, kIconSoundOn);
}

void EditorDialog::toggleMute() {
    const bool mute = !transport_.isMuted();
    transport_.setMute(mute);
    setButtonIcon(idMute, mute ? kIconMuted : kIconSoundOn);
}

void EditorDialog::toggleVocal() {
    transport_.toggleVocalRemoval();
    setButtonIcon(idVocal, transport_.vocalsKept() ? kIconVocalsKept : kIconVocalsRemoved);
}

bool EditorDialog::timelineMelodyAlone() const {
    return isMidiKind(transport_.kind()) && transport_.engine() && transport_.engine()->playsMelodyAlone();
}

// After a drag the song replays slowly for a few seconds, so the dragged
// character can be heard against the song.
void EditorDialog::startSlowReplay() {
    endSlowReplay();
    if (!transportEnabled_ || transport_.playState() != kPlayPlaying ||
        transport_.speedIndex() != kNormalSpeedIndex)
        return;
    const int kind = transport_.kind();
    if (isWaveKind(kind)) {
        control(idSync)->setEnabled(false);
        selectSpeed(kWaveSlowReplaySpeed);
        slowReplayTimer_.setInterval(kWaveSlowReplayMs);
    } else if (isMidiKind(kind)) {
        selectSpeed(kMidiSlowReplaySpeed);
        slowReplayTimer_.setInterval(kMidiSlowReplayMs);
    } else {
        return;
    }
    slowReplayPending_ = true;
    slowReplayTimer_.start();
}

void EditorDialog::endSlowReplay() {
    if (!slowReplayPending_) return;
    if (transport_.playState() != kPlayPlaying) {
        // Speeds change only while playing; the timer ends it once the song plays.
        if (!slowReplayTimer_.isActive()) slowReplayTimer_.start();
        return;
    }
    slowReplayTimer_.stop();
    slowReplayPending_ = false;
    control(idSync)->setEnabled(true);
    if (transport_.speedIndex() != kNormalSpeedIndex) selectSpeed(transport_.speedIndex());
}

void EditorDialog::songEnded() {
    stopClock();
    if (presentation_->running()) {
        if (showGoesOn()) return;
        // The show stops for the ordinary handling and comes back with the song after.
        leavePresentation();
        presentWhenPlaying_ = true;
    }
    if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != this) return;
    SongList& list = state_.list;
    const int current = list.findSong(list.current.songPath);
    if (!modified_ && current >= 0 && list.size() > 1) {
        sheet_.clearLines();
        refillLineList();
        list.selectSong(current == 0 ? list.lastIndex() : current - 1);
        session_.openCurrentSong();
        return;
    }
    if (transport_.replay()) startOfPlay();
}

// ---- the clock ------------------------------------------------------------------

void EditorDialog::startClock() {
    if (clockTimer_.isActive()) {
        pendingRequest_ = kPendingClock;
        stopClock();
        return;
    }
    if (transport_.playState() != kPlayPlaying || presentation_->running()) return;
    lastDrawn_ = -1;
    if (capture_ && !timeline_->rulerMode()) capture_->Resume();
    endTextClock_.start();
    timeline_->clockStarted(transport_.positionUnits());
    clockTimer_.start();
}

void EditorDialog::stopClock() {
    if (!clockTimer_.isActive()) return;
    clockTimer_.stop();
    if (capture_) capture_->Pause();
    postCommand(this, kCmdPendingRequest);
}

void EditorDialog::clockStep() {
    if (transport_.playState() != kPlayPlaying) {
        stopClock();
        return;
    }
    const int p = transport_.positionUnits();
    if (capture_ && !timeline_->rulerMode()) {
        const int cs = p / transport_.timeScale();
        // The recording covers the first hour; then the clock has done its part.
        if (cs >= kLevelTrackSize) {
            capture_->Pause();
        } else {
            transport_.recordLevel(cs, captureLevel(capture_->RecentPeak()));
        }
    }
    if (p == lastDrawn_) return;
    showPosition(p);
    if (!timeline_->keepsLine()) showLineAt(p);
    timeline_->clockStep(p);
    lastDrawn_ = p;
}

void EditorDialog::showPosition(int units) {
    const int cs = units / transport_.timeScale();
    slider_->setPos(cs);
    if (cs / 10 != lastTenths_) {
        lastTenths_ = cs / 10;
        static_cast<QLabel*>(control(idPosition))->setText(QString::fromStdString(formatClock(cs)));
    }
}

void EditorDialog::showLineAt(int units) {
    const int scale = transport_.timeScale();
    const int line = CurrentLine(sheet_, units, scale);
    if (line >= sheet_.lineCount()) {
        // Past the last line the end texts take turns.
        if (shownLine_ != line || endTextClock_.elapsed() >= kEndTextIntervalMs) {
            if (shownLine_ != line) endTextIndex_ = 0;
            subtitle_->setText(toGbk(closingText(endTextIndex_)), true);
            subtitle_->setLineTiming(0, 1, {});
            subtitle_->show();
            endTextIndex_ = (endTextIndex_ + 1) % 4;
            endTextClock_.restart();
            shownLine_ = line;
        }
        return;
    }
    const LyricLine& l = *sheet_.lineAt(line);
    if (line != shownLine_) {
        subtitle_->setText(l.text, (l.flags & kLineAltPlacement) == 0);
        subtitle_->setLineTiming(l.startTime, l.endTime(), l.charTimes);
        subtitle_->show();
        shownLine_ = line;
    }
    subtitle_->wipeTo(units / scale + kWipeLeadCs);
}

// ---- the show ------------------------------------------------------------------

void EditorDialog::present() {
    if (presentation_->running() || editMode_ != EditMode::None) return;
    stopClock();
    // The song's own background, or the last one shown.
    state_.background.setFromSpec(state_.list.current.pictureList);
    presentation_->enter();
    if (transport_.playState() != kPlayPlaying) playSong();
}

void EditorDialog::leavePresentation() {
    if (!presentation_->running()) return;
    presentation_->leave();
}

QWidget* EditorDialog::songVideo() { return transport_.videoWidth() >= 2 ? controlSite_ : nullptr; }

void EditorDialog::hideEditor() {
    subtitle_->hide();
    editorLayout_.HideAll(this);
}

void EditorDialog::restoreEditor() {
    editorLayout_.Relayout(this);
    computeAreas();
    placeSubtitle();
    shownLine_ = -2;
    subtitle_->setPaused(false);
    update();
    activateWindow();
    if (transport_.playState() == kPlayPlaying) {
        pauseButton_->setFocus();
        postCommand(this, kCmdClockLoop);
    }
}

void EditorDialog::showHelp() {
    HelpDialog help(this, [this] { prompts_->about(this); });
    prompts_->runDialog(help);
}

// The next song of the list carries the show on when it is a song with
// pictures (or none) and the lyric has nothing unsaved.
bool EditorDialog::showGoesOn() {
    if (presentation_->kind() != Presentation::Kind::Pictures || modified_) return false;
    SongList& list = state_.list;
    const int current = list.findSong(list.current.songPath);
    if (current < 0 || list.size() < 2) return false;
    const int next = current == 0 ? list.lastIndex() : current - 1;
    const SongEntry& song = *list.at(next);
    if (mediaKind(song.songPath, MediaTable::Audio) == 0) return false;
    if (song.pictureList.size() >= kMinBackgroundSpec && mediaKind(song.pictureList.substr(0, song.pictureList.find('|')),
                                                                   MediaTable::Picture) == 0)
        return false;
    sheet_.clearLines();
    refillLineList();
    list.selectSong(next);
    state_.background.setFromSpec(list.current.pictureList);
    session_.openCurrentSong();
    presentation_->songChanged();
    return true;
}

QString EditorDialog::closingText(int index) {
    switch (index % 4) {
        case 0: return sheet_.empty() ? tr("(尚未录入唱词,你可用本软件录入)") : tr("(录入的唱词结束)");
        case 1: return tr("配备动态图像,请点击 [欣赏] 按钮");
        case 2: return tr("欢迎使用 Melnix 卡拉OK歌词制作");
        default: return tr("祝你: 万事如意 快乐每一天");
    }
}

void EditorDialog::runPendingRequest() {
    const int request = pendingRequest_;
    pendingRequest_ = kPendingNone;
    switch (request) {
        case kPendingExit: close(); break;
        case kPendingClock: startClock(); break;
        default: break;
    }
}

// ---- lyrics ----------------------------------------------------------------------

void EditorDialog::setModified(bool on) {
    modified_ = on;
    auto* save = static_cast<QPushButton*>(control(idSave));
    save->setText(on ? tr("保存") : tr("导出"));
    save->setEnabled(!sheet_.empty() && editMode_ == EditMode::None);
}

void EditorDialog::refillLineList() {
    const QString text = lineBox_->currentText();
    lineBox_->clear();
    for (const LyricLine& l : sheet_)
        if (!l.text.empty()) lineBox_->addItem(fromGbk(l.text));
    lineBox_->setEditText(text);
    control(idSave)->setEnabled(!sheet_.empty() && editMode_ == EditMode::None);
}

int EditorDialog::lineAtPosition() { return LineForEdit(sheet_, transport_.positionUnits(), transport_.timeScale()); }

void EditorDialog::updateActionButtons() {
    if (editMode_ != EditMode::None) return;
    const int line = lineAtPosition();
    const ActionEnabling e = actionEnabling(sheet_, line);
    control(idAdd)->setEnabled(e.add);
    control(idModify)->setEnabled(e.modify);
    control(idDelete)->setEnabled(e.modify);
    control(idPlacement)->setEnabled(e.modify);
    control(idSplit)->setEnabled(e.split);
    control(idMerge)->setEnabled(e.merge);
    control(idReference)->setEnabled(e.reference);
    const LyricLine* l = sheet_.lineAt(line);
    lineBox_->setEditText(l ? fromGbk(l->text) : QString());
}

void EditorDialog::enterEditMode(EditMode mode) {
    if (editMode_ != EditMode::None) return;
    pauseSong();
    editPosition_ = transport_.positionUnits();
    const EditSpot spot{editPosition_, transport_.timeScale()};
    const int lineIndex = LineForEdit(sheet_, editPosition_, spot.timeScale);
    const LyricLine* line = sheet_.lineAt(lineIndex);
    const LyricLine* next = sheet_.lineAt(lineIndex + 1);
    QString boxText;
    int caret = -1;
    ReferenceList refs;
    switch (mode) {
        case EditMode::Add: break;
        case EditMode::Modify:
        case EditMode::Delete:
            if (line) boxText = fromGbk(line->text);
            break;
        case EditMode::Split:
            if (!line || line->text.size() < 12) return;
            boxText = fromGbk(line->text);
            break;
        case EditMode::Merge: {
            if (!line || !next || line->text.size() + next->text.size() > kMaxLineBytes) return;
            const bool space = line->text.size() + next->text.size() < static_cast<size_t>(kMaxLineBytes);
            boxText = fromGbk(line->text) + (space ? " " : "");
            caret = static_cast<int>(boxText.size());
            boxText += fromGbk(next->text);
            break;
        }
        case EditMode::Reference:
            refs = referenceList(sheet_, spot);
            if (refs.entries.empty()) return;
            break;
        case EditMode::None: return;
    }
    editMode_ = mode;
    const int index = static_cast<int>(mode);
    for (int id : kActionIds) control(id)->hide();
    control(kConfirmIds[index])->show();
    control(idCancel)->show();
    for (int id : {idImport, idOpenList, idPresent, idSave}) control(id)->setEnabled(false);
    transportEnabled_ = false;
    for (int id : {idViewLeftFar, idViewLeft, idPause, idViewRight, idViewRightFar, idDoubleScale, idRuler, idMute,
                   idVolume, idSlider, idPosition, idLength, idSize})
        control(id)->setEnabled(false);
    control(idSlider)->hide();
    lineBox_->setEnabled(true);
    lineBox_->clear();
    if (mode == EditMode::Reference) {
        for (const std::string& e : refs.entries) lineBox_->addItem(fromGbk(e));
        boxText = fromGbk(refs.boxText);
    }
    lineBox_->setEditText(boxText);
    if (caret >= 0) lineBox_->lineEdit()->setCursorPosition(caret);
    lineBox_->setFocus();
}

void EditorDialog::leaveEditMode() {
    if (editMode_ == EditMode::None) return;
    for (int id : kConfirmIds) control(id)->hide();
    control(idCancel)->hide();
    for (int id : kActionIds) control(id)->show();
    editMode_ = EditMode::None;
    for (int id : {idImport, idOpenList, idPresent}) control(id)->setEnabled(true);
    transportEnabled_ = true;
    for (int id : {idViewLeftFar, idViewLeft, idPause, idViewRight, idViewRightFar, idDoubleScale, idRuler, idMute,
                   idVolume, idSlider, idPosition, idLength, idSize})
        control(id)->setEnabled(true);
    control(idSlider)->show();
    lineBox_->setEnabled(false);
    refillLineList();
    setModified(modified_);
}

void EditorDialog::confirmEdit() {
    const EditSpot spot{editPosition_, transport_.timeScale()};
    const std::string text = toGbk(lineBox_->currentText());
    EditResult r;
    switch (editMode_) {
        case EditMode::Add: r = confirmAdd(sheet_, spot, text); break;
        case EditMode::Modify: r = confirmModify(sheet_, spot, text); break;
        case EditMode::Delete: r = confirmDelete(sheet_, spot); break;
        case EditMode::Split: r = confirmSplit(sheet_, spot, text); break;
        case EditMode::Merge: r = confirmMerge(sheet_, spot, text); break;
        case EditMode::Reference: r = confirmReference(sheet_, spot, text); break;
        case EditMode::None: return;
    }
    leaveEditMode();
    applyEditResult(r);
}

void EditorDialog::cancelEdit() {
    const EditResult r = melnix::cancelEdit(EditSpot{editPosition_, transport_.timeScale()});
    leaveEditMode();
    applyEditResult(r);
}

void EditorDialog::applyEditResult(const EditResult& r) {
    if (r.modified) setModified(true);
    if (r.refresh & kRefreshLineList) refillLineList();
    if (r.viewOrigin >= 0) timeline_->setViewOrigin(r.viewOrigin);
    if (r.seekUnits >= 0) seekUnits(r.seekUnits);
    shownLine_ = -2;
    switch (r.transport) {
        case TransportAction::Play: playSong(); break;
        case TransportAction::Pause: pauseSong(); break;
        case TransportAction::PauseThenResume:
            pauseSong();
            resumeTimer_.start();
            break;
        case TransportAction::Keep: break;
    }
    if (r.slowReplay) startSlowReplay();
    updateActionButtons();
    update();
}

void EditorDialog::changePlacement(int delta) {
    LyricLine* l = sheet_.lineAt(lineAtPosition());
    if (!l) return;
    if (delta <= 0) {
        l->flags |= kLineAltPlacement;
    } else {
        l->flags &= ~kLineAltPlacement;
    }
    setModified(true);
    shownLine_ = -2;
    update();
}

void EditorDialog::syncPressed() {
    resumeTimer_.stop();
    const int t = transport_.positionUnits() / transport_.timeScale();
    applyEditResult(syncButton_.press(sheet_, t));
}

void EditorDialog::syncReleased() { syncButton_.release(transport_.positionUnits() / transport_.timeScale()); }

// ---- files --------------------------------------------------------------------------

void EditorDialog::saveLyrics() {
    if (sheet_.empty()) return;
    const std::string& song = state_.list.current.songPath;
    for (;;) {
        const std::string& ref = state_.list.current.lyricRef;
        const std::string lyricPath = state_.list.current.hasLyricFile() ? ref : std::string();
        SaveDialog dialog(this, displayPath(song), displayPath(replaceExtension(lyricPath, "MLX")));
        prompts_->runDialog(dialog);
        const SaveChoice choice = dialog.choice();
        if (choice == SaveChoice::Cancel) return;
        if (choice == SaveChoice::SongTail) {
            if (storeInSongTail()) return;
            continue;
        }
        std::string target;
        if (choice == SaveChoice::LyricFile) {
            target = replaceExtension(lyricPath, "MLX");
        } else {
            const std::string start = !lyricPath.empty() ? lyricPath : replaceExtension(song, "MLX");
            const QString chosen =
                prompts_->saveFileName(this, tr("请给出保存歌词的文件名"), displayPath(start), tr("歌词同步文件") + " (*.MLX *.mlx)");
            if (chosen.isEmpty()) {
                state_.list.current.lyricRef.clear();
                continue;
            }
            target = localPath(chosen);
            if (QFileInfo(chosen).suffix().isEmpty()) target += ".MLX";
        }
        if (storeInLyricFile(target)) return;
    }
}

bool EditorDialog::storeInSongTail() {
    const std::string song = state_.list.current.songPath;
    const int at = transport_.positionUnits();
    const bool wasPlaying = transport_.playState() == kPlayPlaying;
    stopClock();
    transport_.close();
    StoreError error;
    const bool ok = melnix::storeInSongTail(song, sheet_, &error);
    if (!ok) prompts_->error(this, displayPath(song), tr("保存到下列文件时，出现错误，保存失败!"));
    if (ok) {
        setModified(false);
        state_.list.setCurrentLyricFlag(true);
    }
    // The song comes back where it was.
    if (transport_.openSong(song, sheet_.songDataLength)) {
        transport_.seekUnits(at);
        afterSongOpened();
        if (wasPlaying) {
            startOfPlay();
        } else {
            pauseSong();
        }
    }
    return ok;
}

bool EditorDialog::storeInLyricFile(const std::string& path) {
    StoreError error;
    // File names are UTF-8 here; the block records the song's name as GBK text.
    const std::string songName = utf8ToGbk(fileNameOf(state_.list.current.songPath));
    if (!melnix::storeInLyricFile(path, sheet_, songLengthCs_, songName, &error)) {
        prompts_->error(this, displayPath(path), tr("保存到下列文件时，出现错误，保存失败!"));
        return false;
    }
    state_.list.current.lyricRef = path;
    state_.list.storeCurrentLyricRef(sheet_);
    lineBox_->setEditText(displayPath(path));
    setModified(false);
    return true;
}

void EditorDialog::setImportPrompts(std::unique_ptr<ImportPrompts> prompts) { importPrompts_ = std::move(prompts); }

void EditorDialog::importLyrics() {
    if (!confirmUnsavedLyrics()) return;
    if (!importPrompts_) importPrompts_ = std::make_unique<ImportPrompts>();
    const std::string song = state_.list.current.songPath;
    QString textFile;
    for (;;) {
        ImportDialog dialog(sheet_, *importPrompts_, textFile, this);
        if (dialog.exec() != QDialog::Accepted) return;
        if (dialog.importResult() != kImportOpenLyricFile) {
            takeImportedLines();
            return;
        }
        const QString chosen = importPrompts_->openFileName(
            this, tr("请打开相应的同步歌词文件"), displayPath(replaceExtension(song, "MLX")),
            tr("同步歌词文件") + " (*.MLX *.LRC *.KSC *.mlx *.lrc *.ksc);;" + tr("歌词文本") +
                " (*.CED *.TXT *.ced *.txt);;" + tr("所有文件") + " (*)");
        if (chosen.isEmpty()) return;
        if (openSyncedLyricFile(localPath(chosen))) return;
        // What holds no synchronized lyric comes back as text to prepare by hand.
        textFile = chosen;
    }
}

bool EditorDialog::isLyricFileName(const std::string& path) {
    const QString suffix = QFileInfo(displayPath(path)).suffix().toUpper();
    return suffix == "MLX" || suffix == "LRC" || suffix == "KSC" || suffix == "TXT" || suffix == "CED";
}

void EditorDialog::importLyricFile(const std::string& path) {
    const QString suffix = QFileInfo(displayPath(path)).suffix().toUpper();
    if (suffix != "TXT" && suffix != "CED") {
        openSyncedLyricFile(path);
        return;
    }
    // Plain text: one lyric line per text line, with default times.
    std::vector<std::string> lines;
    if (!readTextFileLines(path, lines) || !checkEditLines(lines, false).ok) {
        prompts_->error(this, displayPath(path), tr("下列文件打开失败"));
        return;
    }
    breakLongLines(lines);
    takeEditLines(sheet_, lines, true);
    takeImportedLines();
}

bool EditorDialog::openSyncedLyricFile(const std::string& path) {
    const bool ok = openLyricFile(path, sheet_);
    if (ok) {
        state_.list.current.lyricRef = path;
        state_.list.storeCurrentLyricRef(sheet_);
        setModified(false);
    } else {
        sheet_.clearLines();
        lineBox_->setEditText(QString());
        prompts_->error(this, displayPath(path), tr("下列文件中同步信息有错!"));
    }
    showImportedLyric();
    return ok;
}

void EditorDialog::takeImportedLines() {
    sheet_.normalizeLines();
    setModified(true);
    showImportedLyric();
}

void EditorDialog::showImportedLyric() {
    refillLineList();
    shownLine_ = -2;
    updateActionButtons();
    update();
}

void EditorDialog::openNamedFile(const std::string& path) {
    if (!confirmUnsavedLyrics()) return;
    if (isSongFile(path)) {
        if (session_.addSongs({path}) > 0) session_.openCurrentSong();
    } else if (isLyricFileName(path)) {
        importLyricFile(path);
    } else {
        prompts_->warning(this, displayPath(path), tr("打开下列文件时出错!"));
    }
}

void EditorDialog::openSongFile() {
    const QString chosen = QFileDialog::getOpenFileName(this, tr("请打开一个音像文件"),
                                                        displayPath(state_.lastSongFolder), songOpenFilter());
    if (chosen.isEmpty()) return;
    openNamedFile(localPath(chosen));
}

void EditorDialog::openSongList() {
    if (!confirmUnsavedLyrics()) return;
    SongListDialog dialog(state_, session_, this, songListFiles_, scrambler_.get());
    if (prompts_->runDialog(dialog) != QDialog::Accepted) return;
    session_.dropDemoMarker();
    session_.openCurrentSong();
    // The song first, so that what is imported belongs to it.
    if (dialog.matchLyrics()) importLyrics();
    // A song that failed to open has left the list: nothing to mail.
    if (dialog.mailedSong() >= 0 && !state_.list.current.songPath.empty()) postCommand(this, kCmdExchange);
}

void EditorDialog::chooseSubtitleFont() {
    QFont font(subtitleFace_);
    font.setPixelSize(36);
    font.setWeight(QFont::Normal);
    if (!prompts_->chooseFont(this, font, tr("选择字幕字体"))) return;
    subtitleFace_ = font.family();
    placeSubtitle();
}

void EditorDialog::systemCommand(int id) {
    switch (id) {
        case kSysAbout: prompts_->about(this); break;
        case kSysSubtitleFont: chooseSubtitleFont(); break;
        default: break;
    }
}

// The window manager owns the title bar's menu here, so the window's own
// items come up on a right click outside the areas that use that button.
void EditorDialog::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = event->pos();
    if (timeline_->subtitleArea().contains(at) || timeline_->waveformArea().contains(at) ||
        timeline_->adjustArea().contains(at)) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    menu.addAction(tr("关闭"), this, [this] { close(); });
    menu.addSeparator();
    menu.addAction(tr("关于 Melnix"), this, [this] { systemCommand(kSysAbout); });
    menu.addAction(tr("选择字幕字体"), this, [this] { systemCommand(kSysSubtitleFont); });
    menu.exec(event->globalPos());
    // The press that opened the menu held the actions back; its release went to the menu.
    updateActionButtons();
}

// ---- painting, tips and the mouse ----------------------------------------------------

void EditorDialog::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRegion& dirty = event->region();
    if (dirty.intersects(timeline_->subtitleArea()))
        p.fillRect(timeline_->subtitleArea(), colorFromColorRef(kSubtitleAreaFill));
    for (const QRect& r : dirty) timeline_->paint(p, r);
    // The etched edges lie just outside the areas; most frames of the clock
    // touch neither.
    for (const QRect& area : {timeline_->subtitleArea(), timeline_->waveformArea()}) {
        const QRect edge = area.adjusted(-2, -2, 2, 2);
        if (dirty.intersects(edge) && !area.contains(dirty.boundingRect())) qDrawShadePanel(&p, edge, palette(), true, 1);
    }
}

QString EditorDialog::tipTextAt(const QPoint& point) const {
    for (const auto& [id, w] : controls_) {
        if (!w->isVisible() || !w->geometry().contains(point)) continue;
        auto it = tips_.find(id);
        if (it == tips_.end()) return {};
        if (id == idLineBox && !w->isEnabled()) return tr("单句歌词录入修改组合框(点击[添加][修改]...后才能用)");
        return it->second;
    }
    if (timeline_->subtitleArea().contains(point)) return subtitleAreaTip();
    if (timeline_->waveformArea().contains(point)) return waveformAreaTip();
    if (timeline_->adjustArea().contains(point)) return adjustAreaTip();
    return {};
}

void EditorDialog::showTip(const QString& text) {
    if (!hints_->isChecked()) return;
    QRect r = hints_->geometry();
    if (toGbk(text).size() > kLongHint) {
        r.setRight(control(idSize)->geometry().right());
        for (int id : {idPosition, idLength, idSize}) control(id)->hide();
    }
    hints_->setGeometry(r);
    hints_->setText(text);
}

void EditorDialog::hideTip() {
    QRect r = hints_->geometry();
    r.setRight(control(idPosition)->x() - 4);
    hints_->setGeometry(r);
    hints_->setText(defaultHintText());
    for (int id : {idPosition, idLength, idSize}) control(id)->show();
}

// The line box's own keys: Enter confirms an add, modify or delete, Escape
// cancels, Tab stays, Up and Down open the list.
bool EditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lineBox_ && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (editMode_ == EditMode::Add || editMode_ == EditMode::Modify || editMode_ == EditMode::Delete)
                    confirmEdit();
                return true;
            case Qt::Key_Escape:
                if (editMode_ != EditMode::None) cancelEdit();
                return true;
            case Qt::Key_Tab: return true;
            case Qt::Key_Up:
            case Qt::Key_Down:
                lineBox_->showPopup();
                return true;
            default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void EditorDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) updateActionButtons();
    // While the right button is held the actions wait: it may be holding a line.
    if (event->button() == Qt::RightButton && editMode_ == EditMode::None)
        for (int id : {idAdd, idModify, idDelete, idPlacement, idSplit, idMerge, idReference}) control(id)->setEnabled(false);
    if (!timeline_->mousePress(event)) QDialog::mousePressEvent(event);
}

void EditorDialog::mouseMoveEvent(QMouseEvent* event) {
    syncButton_.startRun();
    if (!timeline_->mouseMove(event)) QDialog::mouseMoveEvent(event);
}

void EditorDialog::mouseReleaseEvent(QMouseEvent* event) {
    const bool taken = timeline_->mouseRelease(event);
    if (event->button() == Qt::RightButton) updateActionButtons();
    if (!taken) QDialog::mouseReleaseEvent(event);
}

}  // namespace melnix
