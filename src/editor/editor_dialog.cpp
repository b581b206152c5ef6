// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/editor_dialog.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <qdrawutil.h>
#include <algorithm>
#include <thread>

#include "common/paths.h"
#include "common/safe_save.h"
#include "dialogs/desktop_prompts.h"
#include "dialogs/track_dialog.h"
#include "editor/auto_timing.h"
#include "editor/cdg_export_runner.h"
#include "editor/core/timeline_math.h"
#include "editor/edit_history.h"
#include "editor/editor_controls.h"
#include "editor/editor_keys.h"
#include "editor/editor_layout.h"
#include "editor/editor_text.h"
#include "editor/hint_strip.h"
#include "editor/line_display.h"
#include "editor/line_editor.h"
#include "editor/lyric_files.h"
#include "editor/show_bridge.h"
#include "editor/song_clock.h"
#include "editor/song_switch.h"
#include "editor/timeline_view.h"
#include "editor/key_control.h"
#include "editor/transport_panel.h"
#include "editor/video_export_runner.h"
#include "playback/core/midi_song_engine.h"
#include "playback/core/volume.h"
#include "sync/melody_timing.h"
#include "present/picture_window.h"
#include "present/subtitle_window.h"
#include "ui/app_icons.h"
#include "ui/colour_ref.h"
#include "ui/command_event.h"
#include "ui/qt_text.h"
#include "ui/tip_watcher.h"

namespace melnix {
namespace {

constexpr int kSubtitleId = 1100;
constexpr int kHandOverRetryMs = 500;


}  // namespace

EditorDialog::EditorDialog(std::string programFolder, std::string argument, std::string demoSong,
                           std::unique_ptr<Prompts> prompts)
    : programFolder_(std::move(programFolder)),
      argument_(std::move(argument)),
      demoSong_(std::move(demoSong)),
      prompts_(prompts ? std::move(prompts) : std::make_unique<DesktopPrompts>()),
      songs_(std::make_unique<SongSwitch>(ctx_)),
      session_(state_, document_.sheet(), *songs_) {
    setObjectName("EditorDialog");
    QDialog::setWindowTitle(QString::fromLatin1(kAppTitle));
    setWindowIcon(melnixIcon(kIconProgram));
    setWindowFlags(Qt::Window | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::WindowCloseButtonHint);
    resize(kEditorWidth, kEditorHeight);
    // The clock repaints strips of the areas many times a second; the paint
    // event fills what it is given, so Qt need not clear it first.
    setAttribute(Qt::WA_OpaquePaintEvent);

    ctx_.window = this;
    ctx_.prompts = prompts_.get();
    ctx_.state = &state_;
    ctx_.document = &document_;
    ctx_.session = &session_;
    ctx_.transport = &transport_;
    ctx_.notes = &noteList_;
    ctx_.layout = &layout_;
    ctx_.songs = songs_.get();
    settings_.load();
    ctx_.settings = &settings_;
    document_.setLaterLinesFollow(settings_.laterLinesFollow);
    history_ = std::make_unique<EditHistory>(document_, [this] { lyricRestored(); });
    ctx_.history = history_.get();

    editor_ = std::make_unique<LineEditor>(ctx_);
    ctx_.editor = editor_.get();
    controls_ = std::make_unique<EditorControls>(this, [this](int delta) { editor_->changePlacement(delta); });
    ctx_.controls = controls_.get();
    controls_->lineBox()->installEventFilter(this);
    panel_ = std::make_unique<TransportPanel>(ctx_);
    ctx_.panel = panel_.get();
    clock_ = std::make_unique<SongClock>(ctx_);
    ctx_.clock = clock_.get();
    lines_ = std::make_unique<LineDisplay>(ctx_);
    ctx_.lines = lines_.get();
    files_ = std::make_unique<LyricFiles>(ctx_);
    ctx_.files = files_.get();
    hints_ = std::make_unique<HintStrip>(ctx_);
    ctx_.hints = hints_.get();
    timeline_ = std::make_unique<TimelineView>(this, *editor_, transport_, document_, noteList_);
    ctx_.timeline = timeline_.get();
    songs_->computeAreas();
    subtitle_ = new SubtitleWindow(this, timeline_->subtitleArea(), kSubtitleId);
    subtitle_->setSizePercent(settings_.subtitleSizePercent);
    ctx_.subtitle = subtitle_;
    timeline_->setSubtitleWindow(subtitle_);
    show_ = std::make_unique<ShowBridge>(ctx_);
    ctx_.show = show_.get();
    subtitle_->setHelpHandler([this] { show_->showHelpDialog(); });
    lines_->place();

    connectButtons();
    panel_->connectControls();
    editor_->connectControls();
    songs_->connectTransport();
    // The save button follows the lyric.
    document_.addListener([this] { files_->updateSaveButton(); });
    addKeyboardActions();
    keys_ = std::make_unique<EditorKeys>(ctx_, settings_);
    qApp->installEventFilter(keys_.get());
    // Every move over the window starts a new run of the sync button.
    setMouseTracking(true);
    tipWatcher_ = new TipWatcher(hints_.get(), this);
    transport_.bindSettingsFile(dataFolder() + "/" + kPlaybackSettingsFileName);
    ctx_.key = new KeyControl(this, controls_->control(idImport), transport_);
    postCommand(this, kCmdFinishStartup);
}

EditorDialog::~EditorDialog() {
    show_.reset();
    clock_->stop();
    transport_.close();
}

void EditorDialog::connectButtons() {
    // After a button's action the resume timer is off and the pause button
    // has the focus back.
    auto onClick = [this](int id, auto fn) {
        connect(controls_->button(id), &QAbstractButton::clicked, this, [this, fn] {
            panel_->stopResume();
            fn();
            editor_->buttonAction();
        });
    };
    onClick(idPause, [this] { panel_->playOrPause(); });
    onClick(idSave, [this] { files_->save(); });
    onClick(idImport, [this] { files_->import(); });
    onClick(idOpenFile, [this] { files_->openSongFile(); });
    onClick(idOpenList, [this] { files_->openSongList(); });
    onClick(idMute, [this] { panel_->toggleMute(); });
    onClick(idVocal, [this] { panel_->toggleVocal(); });
    onClick(idHelp, [this] { show_->showHelpDialog(); });
    connect(controls_->button(idExit), &QAbstractButton::clicked, this, [this] { close(); });
    const std::pair<int, ViewButton> views[] = {{idViewLeftFar, ViewButton::FarLeft},
                                                 {idViewLeft, ViewButton::Left},
                                                 {idViewRight, ViewButton::Right},
                                                 {idViewRightFar, ViewButton::FarRight}};
    for (const auto& [id, b] : views) {
        connect(controls_->button(id), &QAbstractButton::clicked, this, [this, b = b] {
            timeline_->viewButton(b);
            editor_->buttonAction();
        });
    }
    connect(controls_->hints(), &QCheckBox::toggled, this, [this](bool on) { state_.showHints = on ? 1 : 0; });
    connect(controls_->button(idPresent), &QAbstractButton::clicked, this, [this] {
        panel_->stopResume();
        show_->presentByUser();
    });
    connect(controls_->button(idTracks), &QAbstractButton::clicked, this, [this] {
        panel_->stopResume();
        // After OK the player has rebuilt the note list (muted tracks left it).
        auto* midi = dynamic_cast<MidiSongEngine*>(transport_.engine());
        if (midi && midi->player().RunTrackDialog([this](MidiStreamPlayer& p) { return TrackDialog::run(this, p); }))
            timeline_->redraw();
        editor_->buttonAction();
    });
}

void EditorDialog::addKeyboardActions() {
    auto add = [this](const QList<QKeySequence>& keys, auto fn) {
        auto* a = new QAction(this);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        connect(a, &QAction::triggered, this, fn);
        addAction(a);
        keyActions_ << a;
    };
    // A key does what its button does, when its button may be used.
    auto viaButton = [this](int id) {
        return [this, id] {
            if (controls_->button(id)->isEnabled() && controls_->button(id)->isVisible()) controls_->button(id)->click();
        };
    };
    add({QKeySequence(Qt::CTRL | Qt::Key_S)}, viaButton(idSave));
    add({QKeySequence(Qt::CTRL | Qt::Key_O)}, viaButton(idOpenFile));
    add({QKeySequence(Qt::Key_F1)}, viaButton(idHelp));
    add({QKeySequence(Qt::Key_F5)}, viaButton(idPresent));
    add({QKeySequence(Qt::CTRL | Qt::Key_Q)}, [this] { close(); });
    add({QKeySequence(Qt::CTRL | Qt::Key_Z)}, [this] { undo(); });
    add({QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, [this] { redo(); });
}

QAction* EditorDialog::action(const QString& shortcut) const {
    const QKeySequence wanted(shortcut);
    for (QAction* a : keyActions_)
        if (a->shortcuts().contains(wanted)) return a;
    return nullptr;
}

bool EditorDialog::undo() { return editor_->mode() == EditMode::None && history_->undo(); }

bool EditorDialog::redo() { return editor_->mode() == EditMode::None && history_->redo(); }

void EditorDialog::lyricRestored() {
    // The lyric changed under the sync run: the next tap starts a new one.
    editor_->startSyncRun();
    editor_->refillLineList();
    lines_->invalidate();
    lines_->showAt(transport_.positionUnits());
    editor_->updateActionButtons();
    timeline_->redraw();
    update();
}

void EditorDialog::askShift(bool wholeLyric, int sign) {
    int step = settings_.shiftStepCs;
    const QString title = wholeLyric ? EditorText::tr("整体移动歌词") : EditorText::tr("移动本句及以后的歌词");
    // Any amount up to an hour is taken whole; the shift itself stops where
    // the time rules say and the hint strip tells why.
    constexpr int kLongestShiftCs = 360000;
    if (!prompts_->askNumber(this, title, sign < 0 ? EditorText::tr("提前多少 (1/100 秒):") : EditorText::tr("推后多少 (1/100 秒):"), step, 1,
                             kLongestShiftCs))
        return;
    settings_.shiftStepCs = step;
    settings_.save();
    editor_->shiftLines(wholeLyric, sign < 0 ? -step : step);
}

void EditorDialog::setSyncKey(int key) {
    settings_.syncKey = key;
    settings_.save();
}

void EditorDialog::setLaterLinesFollow(bool on) {
    settings_.laterLinesFollow = on;
    settings_.save();
    document_.setLaterLinesFollow(on);
}

QString EditorDialog::hintText() const { return hints_->text(); }

void EditorDialog::flashHint(const QString& text) { hints_->flash(text); }

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
        case kCmdHandOver: handOver(); break;
        case kCmdResumeTimer: panel_->play(); break;
        case kCmdSlowReplayEnd: panel_->slowReplayTimeUp(); break;
        case kCmdClockLoop: clock_->start(); break;
        case kCmdPendingRequest: clock_->runPendingRequest(); break;
        case kCmdSliderDown: panel_->sliderDown(); break;
        case kCmdSliderDrag: panel_->sliderDrag(); break;
        case kCmdSliderUp: panel_->sliderUp(); break;
        case kCmdWaveEnded:
        case kCmdMidiPlayedOff: songs_->songEnded(); break;
        case kCmdAfterFailedSong: songs_->afterFailedSong(); break;
        case kCmdVolumeUp: panel_->stepVolume(kVolumeStep); break;
        case kCmdVolumeDown: panel_->stepVolume(-kVolumeStep); break;
        case kCmdSubtitleFont: lines_->chooseFont(); break;
        case kCmdStartPresentation: show_->startRequested(); break;
        case kCmdTogglePause: show_->togglePause(); break;
        case kCmdRestartSong: show_->restartSong(); break;
        case kCmdBackToEditor: show_->backToEditor(); break;
        case kCmdEscape: show_->escape(); break;
        case kCmdChooseSong: show_->chooseSong(); break;
        case kCmdExportVideo: show_->runOutsideShow([this] { exportVideo(); }); break;
        case kCmdExit: show_->exitProgram(); break;
        case kCmdOtherPictures: show_->otherPictures(); break;
        case kCmdKeyUp: ctx_.key->step(+1); break;
        case kCmdKeyDown: ctx_.key->step(-1); break;
        case kCmdKeyReset: ctx_.key->reset(); break;
        case kCmdExchange: files_->exchange(); break;
        default: break;
    }
}

void EditorDialog::systemCommand(int id) {
    switch (id) {
        case kSysAbout: prompts_->about(this); break;
        case kSysSubtitleFont: lines_->chooseFont(); break;
        default: break;
    }
}

void EditorDialog::openNamedFile(const std::string& path) { files_->openNamedFile(path); }

void EditorDialog::exportVideo() {
    VideoExportRequest request =
        editorExportRequest(state_, sheet(), lines_->face());
    // The look of the show: its letters' size and its background colour.
    request.show.sizePercent = settings_.subtitleSizePercent;
    request.show.background = PictureWindow::backColour();
    ExportChoices choices{settings_.exportSize, settings_.exportQuality, settings_.exportFolder};
    runVideoExport(this, *prompts_, std::move(request), &choices);
    if (choices.size != settings_.exportSize || choices.quality != settings_.exportQuality ||
        choices.folder != settings_.exportFolder) {
        settings_.exportSize = choices.size;
        settings_.exportQuality = choices.quality;
        settings_.exportFolder = choices.folder;
        settings_.save();
    }
}

void EditorDialog::exportCdg() {
    CdgExportRequest request;
    request.song = state_.list.current.songPath;
    request.sheet = sheet();
    request.face = lines_->face();
    panel_->stopResume();
    runCdgExport(this, *prompts_, std::move(request));
}

void EditorDialog::autoTime(bool fromCurrentLine) {
    if (!transport_.hasEngine() || document_.sheet().empty() || editor_->mode() != EditMode::None) return;
    panel_->stopResume();
    panel_->pause();
    const int first = fromCurrentLine ? std::max(0, std::min(editor_->lineAtPosition(), sheet().lineCount() - 1)) : 0;
    if (transport_.kind() == SongKind::Midi) {
        // Each line from its first character on the melody's next notes.
        document_.change(QT_TRANSLATE_NOOP("EditHistory", "自动定时"), [&](LyricSheet& s) {
            bool changed = false;
            for (int i = first; i < s.lineCount(); ++i)
                changed |= timeFromMelody(s, s.lineAt(i)->startTime * transport_.timeScale(), transport_.timeScale(),
                                          noteList_)
                               .modified;
            return changed;
        });
        editor_->refillLineList();
        hints_->flash(EditorText::tr("自动定时完成"));
        update();
        return;
    }
    QString error;
    const std::optional<DraftResult> draft = draftTimingOf(this, state_.list.current.songPath, sheet(), error);
    if (!draft) {
        if (!error.isEmpty()) prompts_->error(this, error, EditorText::tr("自动定时失败"));
        return;
    }
    document_.change(QT_TRANSLATE_NOOP("EditHistory", "自动定时"), [&](LyricSheet& s) {
        applyDraft(s, *draft, first);
        return true;
    });
    std::vector<int> weak;
    for (int i = first; i < static_cast<int>(draft->lines.size()); ++i)
        if (draft->lines[static_cast<size_t>(i)].weak) weak.push_back(i);
    editor_->markWeakLines(weak);
    QStringList numbers;
    for (int i : weak) numbers << QString::number(i + 1);
    hints_->flash(weak.empty() ? EditorText::tr("自动定时完成")
                               : EditorText::tr("自动定时完成, 请先检查第 %1 句").arg(numbers.join(", ")));
    update();
}

void EditorDialog::finishStartup() {
    layout_.Take(this, QRect(0, 0, width(), control(idSeparator)->y() - 2));
    session_.loadStateAndOpen(programFolder_, argument_, demoSong_);
    if (!session_.stateKeptAs().empty()) {
        // Nothing of the old list is lost: the file stays for the user, and
        // the list goes on from what could be read.
        QTimer::singleShot(0, this, [this] {
            prompts_->warning(this,
                              tr("歌曲列表文件不能完整读出，已原样保留为：\n%1\n程序从能读出的部分继续。")
                                  .arg(QString::fromStdString(session_.stateKeptAs())),
                              QStringLiteral("Melnix"));
        });
    }
    session_.addSongs(moreStartFiles_, false);
    // Saves killed on the way (a crash, a power cut) left temporary files
    // beside their targets; they go now, off the interface thread, as a slow
    // mount must not hold up the start.
    std::thread([folders = saveFolders(state_, dataFolder())] {
        for (const std::string& f : folders) removeSaveLeftoversIn(f);
    }).detach();
    PictureWindow::restoreSetting(state_.pictureWindowSetting);
    controls_->hints()->setChecked(state_.showHints != 0);
    if (!state_.subtitleFont.empty()) lines_->setFace(fromGbk(state_.subtitleFont));
    document_.loaded();
    // A portable start, the first start with the demonstration song and a
    // start asked to resume the show go straight into the show.
    const std::string& current = state_.list.current.songPath;
    const bool demo = session_.source() == StateSource::Demo && fileNameOf(current) == kDemoSongName;
    if (!current.empty() && (session_.source() == StateSource::Portable || demo || state_.resume))
        show_->requestShow(true);
}

// A dialog over the editor finishes first: a save in progress must not find
// another song under it.
void EditorDialog::handOver() {
    if (QApplication::activeModalWidget() && QApplication::activeModalWidget() != this) {
        QTimer::singleShot(kHandOverRetryMs, this, [this] { postCommand(this, kCmdHandOver); });
        return;
    }
    std::vector<std::string> paths;
    for (std::string& p : handedOver_)
        if (std::find(paths.begin(), paths.end(), p) == paths.end()) paths.push_back(std::move(p));
    handedOver_.clear();
    if (!paths.empty()) {
        openNamedFile(paths.front());
        session_.addSongs({paths.begin() + 1, paths.end()}, false);
    }
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void EditorDialog::queueHandOver(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    handedOver_.insert(handedOver_.end(), paths.begin(), paths.end());
    postCommand(this, kCmdHandOver);
}

bool EditorDialog::shutdown() {
    panel_->stopResume();
    if (clock_->running()) {
        // The clock step ends first and then runs the exit.
        clock_->requestExit();
        clock_->stop();
        return false;
    }
    if (!files_->confirmUnsavedLyrics()) return false;
    saveStateAndRelease();
    return true;
}

void EditorDialog::saveStateAndRelease() {
    state_.position = transport_.positionUnits() / transport_.timeScale();
    state_.subtitleFont = toGbk(lines_->face());
    state_.pictureWindowSetting = PictureWindow::keptSetting();
    transport_.close();
    session_.saveState();
}

void EditorDialog::terminate() {
    if (exiting_) return;
    exiting_ = true;
    // Menus and dialogs run loops of their own; none of them may hold the
    // end up, and none may ask anything on the way out.
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* dialog = qobject_cast<QDialog*>(w); dialog && dialog != this && dialog->isVisible()) dialog->reject();
    if (show_->running()) show_->leave();
    panel_->stopResume();
    clock_->stop();
    saveStateAndRelease();
    // Every running loop ends, the nested ones of dialogs too.
    QCoreApplication::exit(0);
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

// Esc leaves the show, or cancels a pending edit as the line box does; the
// editor is the main window and ends only through "退出", its close button
// or "关闭" of its menu.
void EditorDialog::reject() {
    if (show_->running()) {
        show_->escape();
        return;
    }
    if (editor_->mode() != EditMode::None) {
        editor_->cancel();
        editor_->buttonAction();
    }
}

void EditorDialog::relayout() {
    layout_.Relayout(this);
    songs_->computeAreas();
    lines_->place();
}

void EditorDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange || (show_ && show_->running())) return;
    relayout();
    update();
    if (panel_->playing()) postCommand(this, kCmdClockLoop);
}

void EditorDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (show_ && show_->running()) {
        show_->stageResized();
        return;
    }
    if (layout_.taken()) relayout();
}

// The window manager owns the title bar's menu here, so the window's own
// items come up on a right click outside the areas that use that button.
void EditorDialog::contextMenuEvent(QContextMenuEvent* event) {
    const QPoint at = event->pos();
    if (subtitleArea().contains(at) || waveformArea().contains(at) || adjustArea().contains(at)) {
        event->ignore();
        return;
    }
    QMenu menu(this);
    QUndoStack& steps = history_->stack();
    const bool editing = editor_->mode() != EditMode::None;
    QAction* undoItem = menu.addAction(EditorText::tr("撤销") + " " + steps.undoText(), this, [this] { undo(); });
    undoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z));
    undoItem->setEnabled(steps.canUndo() && !editing);
    QAction* redoItem = menu.addAction(EditorText::tr("重做") + " " + steps.redoText(), this, [this] { redo(); });
    redoItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
    redoItem->setEnabled(steps.canRedo() && !editing);
    menu.addSeparator();
    QMenu* shift = menu.addMenu(EditorText::tr("移动歌词时间"));
    shift->setEnabled(!document_.sheet().empty() && !editing);
    shift->addAction(EditorText::tr("整体提前..."), this, [this] { askShift(true, -1); });
    shift->addAction(EditorText::tr("整体推后..."), this, [this] { askShift(true, +1); });
    shift->addAction(EditorText::tr("本句及以后提前...") + "\tCtrl+Left", this, [this] { askShift(false, -1); });
    shift->addAction(EditorText::tr("本句及以后推后...") + "\tCtrl+Right", this, [this] { askShift(false, +1); });
    QAction* follow = menu.addAction(EditorText::tr("后续歌词跟随"), this, [this](bool on) { setLaterLinesFollow(on); });
    follow->setCheckable(true);
    follow->setChecked(settings_.laterLinesFollow);
    if (ctx_.key) ctx_.key->addItems(*menu.addMenu(EditorText::tr("升降调")));
    QMenu* keys = menu.addMenu(EditorText::tr("同步键"));
    for (const SyncKeyChoice& c : syncKeyChoices()) {
        QAction* a = keys->addAction(EditorText::tr(c.name), this, [this, key = c.key] { setSyncKey(key); });
        a->setCheckable(true);
        a->setChecked(settings_.syncKey == c.key);
    }
    menu.addSeparator();
    menu.addAction(EditorText::tr("关闭"), this, [this] { close(); });
    menu.addSeparator();
    menu.addAction(EditorText::tr("关于 Melnix"), this, [this] { systemCommand(kSysAbout); });
    menu.addAction(EditorText::tr("选择字幕字体"), this, [this] { systemCommand(kSysSubtitleFont); });
    menu.addAction(EditorText::tr("导出视频"), this, [this] { exportVideo(); });
    menu.addAction(EditorText::tr("导出 CD+G (MP3+G)"), this, [this] { exportCdg(); })->setEnabled(!editing);
    QMenu* autoTiming = menu.addMenu(EditorText::tr("自动定时"));
    autoTiming->setEnabled(transport_.hasEngine() && !document_.sheet().empty() && !editing);
    autoTiming->addAction(EditorText::tr("全部歌词"), this, [this] { autoTime(false); });
    autoTiming->addAction(EditorText::tr("本句及以后"), this, [this] { autoTime(true); });
    QAction* quality = menu.addAction(EditorText::tr("慢放与快放不变调时用高质量变速"), this,
                                      [this](bool on) { transport_.setStretchQuality(on); });
    quality->setCheckable(true);
    quality->setChecked(transport_.stretchQuality());
    menu.exec(event->globalPos());
    // The press that opened the menu held the actions back; its release went to the menu.
    editor_->updateActionButtons();
}

void EditorDialog::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    const QRegion& dirty = event->region();
    QRegion around = dirty;
    for (const QRect& area : {subtitleArea(), waveformArea(), adjustArea()}) around -= area;
    for (const QRect& r : around) p.fillRect(r, palette().window());
    if (dirty.intersects(subtitleArea())) p.fillRect(subtitleArea(), colorFromColorRef(kSubtitleAreaFill));
    for (const QRect& r : dirty) timeline_->paint(p, r);
    // The etched edges lie just outside the areas; most frames of the clock
    // touch neither.
    for (const QRect& area : {subtitleArea(), waveformArea()}) {
        const QRect edge = area.adjusted(-2, -2, 2, 2);
        if (dirty.intersects(edge) && !area.contains(dirty.boundingRect())) qDrawShadePanel(&p, edge, palette(), true, 1);
    }
}

QString EditorDialog::tipTextAt(const QPoint& point) const { return hints_->tipTextAt(point); }

bool EditorDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == controls_->lineBox() && event->type() == QEvent::KeyPress &&
        editor_->lineBoxKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

void EditorDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) editor_->updateActionButtons();
    // While the right button is held the actions wait: it may be holding a line.
    if (event->button() == Qt::RightButton && editor_->mode() == EditMode::None) controls_->holdLineActions();
    if (!timeline_->mousePress(event)) QDialog::mousePressEvent(event);
}

void EditorDialog::mouseMoveEvent(QMouseEvent* event) {
    editor_->startSyncRun();
    if (!timeline_->mouseMove(event)) QDialog::mouseMoveEvent(event);
}

void EditorDialog::mouseReleaseEvent(QMouseEvent* event) {
    const bool taken = timeline_->mouseRelease(event);
    if (event->button() == Qt::RightButton) editor_->updateActionButtons();
    if (!taken) QDialog::mouseReleaseEvent(event);
}

QWidget* EditorDialog::control(int id) const { return controls_->control(id); }
EditMode EditorDialog::editMode() const { return editor_->mode(); }
bool EditorDialog::clockRunning() const { return clock_->running(); }
bool EditorDialog::slowReplayPending() const { return panel_->slowReplayPending(); }
Presentation& EditorDialog::presentation() { return show_->presentation(); }
QRect EditorDialog::subtitleArea() const { return timeline_->subtitleArea(); }
QRect EditorDialog::waveformArea() const { return timeline_->waveformArea(); }
QRect EditorDialog::adjustArea() const { return timeline_->adjustArea(); }

}  // namespace melnix
