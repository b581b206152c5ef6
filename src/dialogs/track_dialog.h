// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The MIDI track dialog: the tracks of the open song in a list, where the
// user mutes tracks, marks the melody track and changes a track's volume and
// instrument by double-clicking its cells. The work is the track table's;
// this window shows it and places the in-place editors.

#include <QDialog>
#include <functional>

#include "midi/track_table.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace melnix {

class MidiStreamPlayer;

// Control ids.
constexpr int idTrackOk = 1;
constexpr int idTrackCancel = 2;  // hidden: Escape
constexpr int idTrackReset = 3;
constexpr int idTrackInvert = 12;
constexpr int idTrackMelodyAlone = 13;
constexpr int idTrackVolumeEdit = 1035;
constexpr int idTrackList = 1056;
constexpr int idTrackInstrumentBox = 1162;

class TrackDialog : public QDialog {
    Q_OBJECT
public:
    TrackDialog(QWidget* parent, MidiSongFile& song, int& playingTrackCount);

    // Runs the dialog modally on the player's song; true when it was closed
    // with OK or with the melody-alone button.
    static bool run(QWidget* parent, MidiStreamPlayer& player);

    QWidget* control(int id) const;
    QTableWidget* list() const { return list_; }
    // What a double-click on a cell does.
    void activateCell(int row, int column);

protected:
    void done(int result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fitColumns();
    void fill();
    void openVolumeEditor(int row);
    void openInstrumentEditor(int row, bool chinese);
    QRect cellRect(int row, int column) const;
    void commitVolume();
    void commitInstrument();
    void commitEditors();
    QPushButton* addButton(int id, const QString& caption, const QRect& dialogUnits,
                           const std::function<void()>& action);

    TrackTable table_;
    TrackWords words_;
    QLabel* hint_ = nullptr;
    QTableWidget* list_ = nullptr;
    QLineEdit* volumeEdit_ = nullptr;
    QComboBox* instrumentBox_ = nullptr;
    int editRow_ = -1;  // the row of the open in-place editor
};

}  // namespace melnix
