#pragma once
// The list of remembered songs: add song files, open, remove, choose a
// song's background pictures or video, or open a song to match a lyric to it.

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "songlist/song_session.h"

class QPushButton;
class QTableWidget;

namespace melnix {

// File dialogs of the song list, answered by tests without a window.
class SongListFiles {
public:
    virtual ~SongListFiles() = default;
    // Several existing files, or none when the user cancels; pictures are
    // chosen from thumbnails.
    virtual QStringList openFiles(QWidget* parent, const QString& title, const QString& folder, const QString& filter,
                                  bool thumbnails = false);
};

// Lets the user choose the song's background pictures, video or music and
// stores the choice as its picture list. False when he cancels.
bool chooseBackgroundFor(SongEntry& song, AppState& state, QWidget* parent, SongListFiles& files);

// "常见音乐类型 (...);;所有音像类型 (...)" for the song file dialogs.
QString songOpenFilter();

class SongListDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { ColName, ColType, ColLyric, ColLength, ColFolder, ColLyricRef, ColPictures, ColumnCount };

    SongListDialog(AppState& state, SongSession& session, QWidget* parent = nullptr, SongListFiles* files = nullptr);
    ~SongListDialog() override;

    // After OK: the user asked to match a lyric to the chosen song.
    bool matchLyrics() const { return matchLyrics_; }

    QTableWidget* list() const { return list_; }
    QPushButton* button(int id) const;

    // The buttons' work, also for tests.
    void addSongFiles();
    void openSelected();
    void removeSelected();
    void chooseBackground();
    void matchSelected();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void fill();
    void updateButtons();
    void sizeColumns();
    // Selected rows, top to bottom.
    std::vector<int> selectedRows() const;
    std::string pathAt(int row) const;
    int entryAt(int row) const;  // index in the song list, or -1

    AppState& state_;
    SongSession& session_;
    SongListFiles* files_;
    SongListFiles ownFiles_;
    QTableWidget* list_ = nullptr;
    bool matchLyrics_ = false;
};

}  // namespace melnix
