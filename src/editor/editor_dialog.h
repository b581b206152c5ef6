// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor window: it builds its parts, wires them to each other and to
// the controls, and routes Qt's events to them. The song list, the
// transport, the lyric document, the timing operations and the subtitle
// window do the work.

#include <QDialog>
#include <QList>
#include <memory>
#include <string>
#include <vector>

#include "editor/core/lyric_document.h"
#include "editor/editor_context.h"
#include "editor/editor_settings.h"
#include "editor/editor_ids.h"
#include "editor/layout_snapshot.h"
#include "playback/core/transport.h"
#include "songlist/song_session.h"
#include "songlist/state_file.h"
#include "ui/prompts.h"
#include "ui/tip_text.h"

class QAction;

namespace melnix {

class EditHistory;
class EditorControls;
class EditorKeys;
class HintStrip;
class LineDisplay;
class LineEditor;
class LyricFiles;
class Presentation;
class ShowBridge;
class SongClock;
class SongSwitch;
class SubtitleWindow;
class TimelineView;
class TipWatcher;
class TransportPanel;

class EditorDialog : public QDialog, public TipTextSource {
    Q_OBJECT
public:
    // programFolder holds a portable "Melnix.ini"; argument is the file named
    // on the command line; demoSong the demonstration MIDI file. Without
    // prompts the desktop's own boxes and dialogs ask.
    EditorDialog(std::string programFolder, std::string argument, std::string demoSong,
                 std::unique_ptr<Prompts> prompts = nullptr);
    ~EditorDialog() override;

    // Runs a command as if it had been posted (tests, and the second copy).
    void runCommand(uint32_t id);
    // The items of the window menu.
    void systemCommand(int id);
    // Opens a file named by the user or a second copy as the current song.
    void openNamedFile(const std::string& path);
    // Renders the show of the open song into a video file, asking where.
    void exportVideo();
    // Writes the open song's lyric as CD+G graphics (and an MP3 beside it).
    void exportCdg();
    // "自动定时": times the lyric (from the current line on, or all of it)
    // from the song's voice, or a MIDI song's lines from its melody; one step.
    void autoTime(bool fromCurrentLine);
    // Songs started with after the first file: they join the song list once
    // the saved one is read, behind the song that opens.
    void addToSongListAtStart(std::vector<std::string> paths) { moreStartFiles_ = std::move(paths); }
    // Files another start handed over: the first of those waiting opens, the
    // rest join the song list, in the order they came.
    void queueHandOver(const std::vector<std::string>& paths);
    // A terminate signal (a logout, kill): every dialog and menu closes, the
    // state is saved without asking, and the program ends.
    void terminate();

    QString tipTextAt(const QPoint& point) const override;

    // Undo and redo of the lyric's steps; false when there is nothing to do.
    bool undo();
    bool redo();
    EditHistory& history() { return *history_; }
    EditorSettings& settings() { return settings_; }
    // The window's keyboard commands (Ctrl+S, Ctrl+O, F1, F5, Ctrl+Q, Ctrl+Z,
    // Ctrl+Y), by their shortcut's text, for tests.
    QAction* action(const QString& shortcut) const;
    // Moves the whole lyric, or the current line and those after it, by a
    // step the user types.
    void askShift(bool wholeLyric, int sign);
    void setSyncKey(int key);
    // "后续歌词跟随": whether later lines follow a change of one line.
    void setLaterLinesFollow(bool on);
    QString hintText() const;
    void flashHint(const QString& text);

    // The parts, for tests.
    QWidget* control(int id) const;
    LyricDocument& document() { return document_; }
    LyricSheet& sheet() { return document_.sheet(); }
    bool modified() const { return document_.modified(); }
    Transport& transport() { return transport_; }
    AppState& state() { return state_; }
    RecordArray<NoteSpan>& noteList() { return noteList_; }
    EditMode editMode() const;
    bool clockRunning() const;
    bool slowReplayPending() const;
    TimelineView& timeline() { return *timeline_; }
    SubtitleWindow* subtitleWindow() const { return subtitle_; }
    Presentation& presentation();
    QRect subtitleArea() const;
    QRect waveformArea() const;
    QRect adjustArea() const;

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
    void connectButtons();
    void addKeyboardActions();
    // The lyric came back from the history: every view shows it again.
    void lyricRestored();
    void finishStartup();
    void handOver();
    bool shutdown();  // false when the user stays
    void saveStateAndRelease();
    // The window was resized or changed state: the parts follow.
    void relayout();

    std::string programFolder_;
    std::string argument_;
    std::string demoSong_;
    std::vector<std::string> moreStartFiles_;
    std::vector<std::string> handedOver_;  // handed over by other starts, not yet taken
    std::unique_ptr<Prompts> prompts_;

    AppState state_;
    LyricDocument document_;
    Transport transport_;
    RecordArray<NoteSpan> noteList_{1000};
    LayoutSnapshot layout_;
    EditorSettings settings_;
    EditorContext ctx_;
    // The song list opens songs through it, so it comes before the session.
    std::unique_ptr<SongSwitch> songs_;
    SongSession session_;

    std::unique_ptr<EditorControls> controls_;
    std::unique_ptr<TimelineView> timeline_;
    SubtitleWindow* subtitle_ = nullptr;
    std::unique_ptr<TransportPanel> panel_;
    std::unique_ptr<SongClock> clock_;
    std::unique_ptr<LineDisplay> lines_;
    std::unique_ptr<LineEditor> editor_;
    std::unique_ptr<LyricFiles> files_;
    std::unique_ptr<ShowBridge> show_;
    std::unique_ptr<HintStrip> hints_;
    std::unique_ptr<EditHistory> history_;
    std::unique_ptr<EditorKeys> keys_;
    QList<QAction*> keyActions_;
    TipWatcher* tipWatcher_ = nullptr;
    bool exiting_ = false;
};

}  // namespace melnix
