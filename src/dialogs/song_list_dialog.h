// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The list of remembered songs: add song files, open, remove, choose a
// song's background pictures or video, or open a song to match a lyric to it
// or to mail its lyric.

#include <QDialog>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

#include "songlist/song_session.h"

class QPushButton;
class QTableWidget;

#include <memory>

#include "ui/prompts.h"

namespace melnix {

class PictureScrambler;

// Lets the user choose the song's background pictures, video or music and
// stores the choice as its picture list. False when he cancels.
// With a scrambler, choosing a single picture offers to scramble (or
// unscramble) the whole folder.
bool chooseBackgroundFor(SongEntry& song, AppState& state, QWidget* parent, Prompts& prompts,
                         PictureScrambler* scrambler = nullptr);

// "常见音乐类型 (...);;所有音像类型 (...)" for the song file dialogs.
QString songOpenFilter();

class SongListDialog : public QDialog {
    Q_OBJECT
public:
    enum Column { ColName, ColType, ColLyric, ColLength, ColFolder, ColLyricRef, ColPictures, ColumnCount };

    SongListDialog(AppState& state, SongSession& session, QWidget* parent = nullptr, Prompts* prompts = nullptr,
                   PictureScrambler* scrambler = nullptr);
    ~SongListDialog() override;

    // After OK: the user asked to match a lyric to the chosen song.
    bool matchLyrics() const { return matchLyrics_; }
    // After OK: the index of the song whose lyric the user wants to mail, or -1.
    int mailedSong() const { return mailedSong_; }

    QTableWidget* list() const { return list_; }
    // The singer's key of the songs that have one, shown beside their type.
    void setSongKeys(std::map<std::string, int> keys);
    QPushButton* button(int id) const;

    // The buttons' work, also for tests.
    void addSongFiles();
    void openSelected();
    void removeSelected();
    void chooseBackground();
    void matchSelected();
    void mailSelected();

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
    Prompts* prompts_;
    std::unique_ptr<Prompts> ownPrompts_;
    PictureScrambler* scrambler_ = nullptr;
    QTableWidget* list_ = nullptr;
    bool matchLyrics_ = false;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    int mailedSong_ = -1;
    std::map<std::string, int> keys_;
};

}  // namespace melnix
