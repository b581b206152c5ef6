// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/track_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>

#include "midi/gm_program_names.h"
#include "midi/midi_stream_player.h"

namespace melnix {
namespace {

// The window is laid out in dialog units of the classic 8-point dialog font:
// four units to its 6-pixel average character width, eight to its 13-pixel
// line.
QRect fromDialogUnits(const QRect& r) {
    return QRect(r.x() * 3 / 2, r.y() * 13 / 8, r.width() * 3 / 2, r.height() * 13 / 8);
}

constexpr QSize kDialogUnits(380, 221);
const QRect kListUnits(7, 7, 366, 164);
const QRect kHintUnits(7, 176, 366, 10);
constexpr int kButtonTop = 194;
constexpr int kButtonHeight = 16;

const QColor kListText(0x00, 0x80, 0x00);
const QColor kListBackground(0xE4, 0xE4, 0xE4);

// Pixel widths of the first six columns; the two instrument columns share
// what is left of the list's width, two fifths and three fifths.
constexpr int kFixedColumnWidths[] = {48, 80, 64, 120, 64, 48};
constexpr int kFixedColumnsTotal = 434;  // the six plus room for the frame and scroll bar

// The in-place editors sit over the cell: the edit box a little taller, the
// combo box a little higher, so their frames do not hide the text.
constexpr int kEditOverhang = 2;
constexpr int kComboLift = 3;

void setId(QWidget* w, int id) { w->setObjectName(QString("control%1").arg(id)); }

}  // namespace

TrackDialog::TrackDialog(QWidget* parent, MidiSongFile& song, int& playingTrackCount)
    : QDialog(parent), table_(song, playingTrackCount) {
    setWindowTitle(tr("MIDI音轨"));
    setFixedSize(fromDialogUnits(QRect(QPoint(), kDialogUnits)).size());

    words_.playing = tr("  播放").toStdString();
    words_.muted = tr(" 不播放").toStdString();
    words_.melody = tr("主旋律").toStdString();
    words_.maybeMelody = tr("可能是").toStdString();
    words_.defaultVolume = tr("默认").toStdString();
    for (const GmProgramName& n : GmProgramNames)
        words_.instruments.push_back(QCoreApplication::translate("GmProgramNames", n.chinese).toStdString());

    list_ = new QTableWidget(this);
    setId(list_, idTrackList);
    list_->setGeometry(fromDialogUnits(kListUnits));
    list_->setColumnCount(kTrackColumnCount);
    list_->setHorizontalHeaderLabels({tr("轨号"), tr("播放状态"), tr("主旋律"), tr("音轨名称"), tr("音符数"),
                                      tr("音量"), tr("乐器中文名"), tr("乐器英文名")});
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 4);
    list_->horizontalHeader()->setHighlightSections(false);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->setShowGrid(true);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setWordWrap(false);
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Base, kListBackground);
    palette.setColor(QPalette::Text, kListText);
    list_->setPalette(palette);
    const int w = list_->width();
    for (int c = 0; c < kColChineseInstrument; ++c) list_->setColumnWidth(c, kFixedColumnWidths[c]);
    list_->setColumnWidth(kColChineseInstrument, (w - kFixedColumnsTotal) * 2 / 5);
    list_->setColumnWidth(kColEnglishInstrument, (w - kFixedColumnsTotal) * 3 / 5);
    connect(list_, &QTableWidget::cellDoubleClicked, this, &TrackDialog::activateCell);

    hint_ = new QLabel(tr("在下列列表中双击“播放状态”、“主旋律”、“音量”、“乐器名称”可改变其值。"), this);
    hint_->setGeometry(fromDialogUnits(kHintUnits));

    // Each button takes an edit still open in the list before it acts.
    const auto then = [this](void (TrackTable::*edit)(), bool close) {
        return [this, edit, close] {
            commitEditors();
            (table_.*edit)();
            if (close) accept();
            else fill();
        };
    };
    addButton(idTrackOk, tr("确 定"), QRect(20, kButtonTop, 60, kButtonHeight), then(&TrackTable::confirm, true))
        ->setDefault(true);
    addButton(idTrackInvert, tr("反选播放状态"), QRect(108, kButtonTop, 70, kButtonHeight),
              then(&TrackTable::invertMuted, false));
    addButton(idTrackReset, tr("复 位"), QRect(206, kButtonTop, 60, kButtonHeight), then(&TrackTable::reset, false));
    addButton(idTrackMelodyAlone, tr("只播主旋律"), QRect(294, kButtonTop, 66, kButtonHeight),
              then(&TrackTable::playMelodyAlone, true));
    addButton(idTrackCancel, tr("取 消"), QRect(294, kButtonTop, 66, kButtonHeight), [this] { reject(); })->hide();

    volumeEdit_ = new QLineEdit(this);
    setId(volumeEdit_, idTrackVolumeEdit);
    volumeEdit_->hide();
    volumeEdit_->installEventFilter(this);
    instrumentBox_ = new QComboBox(this);
    setId(instrumentBox_, idTrackInstrumentBox);
    instrumentBox_->setMaxVisibleItems(16);
    instrumentBox_->hide();
    instrumentBox_->installEventFilter(this);

    fill();
}

bool TrackDialog::run(QWidget* parent, MidiStreamPlayer& player) {
    TrackDialog dialog(parent, player, player.playingTrackCount);
    return dialog.exec() == QDialog::Accepted;
}

QPushButton* TrackDialog::addButton(int id, const QString& caption, const QRect& dialogUnits,
                                    const std::function<void()>& action) {
    auto* b = new QPushButton(caption, this);
    setId(b, id);
    b->setAutoDefault(false);
    b->setGeometry(fromDialogUnits(dialogUnits));
    connect(b, &QPushButton::clicked, this, action);
    return b;
}

QWidget* TrackDialog::control(int id) const { return findChild<QWidget*>(QString("control%1").arg(id)); }

void TrackDialog::fill() {
    table_.refresh();
    list_->setRowCount(table_.rowCount());
    for (int r = 0; r < table_.rowCount(); ++r) {
        for (int c = 0; c < kTrackColumnCount; ++c) {
            const QString text = QString::fromStdString(table_.cellText(r, c, words_));
            if (QTableWidgetItem* item = list_->item(r, c)) {
                item->setText(text);
            } else {
                item = new QTableWidgetItem(text);
                item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
                list_->setItem(r, c, item);
            }
        }
    }
    fitColumns();
}

// Every column as wide as its title and its widest cell; the dialog grows
// (never shrinks) so that the list shows them all side by side.
void TrackDialog::fitColumns() {
    constexpr int kCellPadding = 12;
    int total = 2 * list_->frameWidth() + list_->verticalScrollBar()->sizeHint().width();
    for (int c = 0; c < kTrackColumnCount; ++c) {
        const int before = list_->columnWidth(c);
        list_->resizeColumnToContents(c);  // the title and the cells
        const int width = std::max(before, list_->columnWidth(c) + kCellPadding);
        list_->setColumnWidth(c, width);
        total += width;
    }
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const int room = screen ? screen->availableGeometry().width() - 40 - (width() - list_->width()) : total;
    const int grow = std::min(total, room) - list_->width();
    if (grow <= 0) return;
    setFixedSize(width() + grow, height());
    list_->resize(list_->width() + grow, list_->height());
    if (hint_) hint_->resize(hint_->width() + grow, hint_->height());
}

void TrackDialog::activateCell(int row, int column) {
    commitEditors();
    switch (table_.activate(row, column)) {
        case TrackCellAction::Refill: fill(); break;
        case TrackCellAction::EditVolume: openVolumeEditor(row); break;
        case TrackCellAction::ChooseChineseInstrument: openInstrumentEditor(row, true); break;
        case TrackCellAction::ChooseEnglishInstrument: openInstrumentEditor(row, false); break;
        case TrackCellAction::None: break;
    }
}

// A cell's rectangle in the dialog's coordinates.
QRect TrackDialog::cellRect(int row, int column) const {
    const QRect r = list_->visualRect(list_->model()->index(row, column));
    return QRect(list_->viewport()->mapTo(this, r.topLeft()), r.size());
}

void TrackDialog::openVolumeEditor(int row) {
    list_->scrollTo(list_->model()->index(row, kColVolume));
    editRow_ = row;
    volumeEdit_->setGeometry(cellRect(row, kColVolume).adjusted(0, -kEditOverhang, 0, kEditOverhang));
    volumeEdit_->setText(QString::number(table_.volume(row)));
    volumeEdit_->selectAll();
    volumeEdit_->show();
    volumeEdit_->raise();
    volumeEdit_->setFocus();
}

void TrackDialog::openInstrumentEditor(int row, bool chinese) {
    const int column = chinese ? kColChineseInstrument : kColEnglishInstrument;
    list_->scrollTo(list_->model()->index(row, column));
    editRow_ = row;
    instrumentBox_->clear();
    for (const GmProgramName& n : GmProgramNames) instrumentBox_->addItem(chinese ? QCoreApplication::translate("GmProgramNames", n.chinese) : QString::fromUtf8(n.english));
    instrumentBox_->setCurrentIndex(table_.program(row));
    const QRect cell = cellRect(row, column).translated(0, -kComboLift);
    instrumentBox_->setGeometry(cell.x(), cell.y(), cell.width(), std::max(cell.height(), instrumentBox_->sizeHint().height()));
    instrumentBox_->show();
    instrumentBox_->raise();
    instrumentBox_->setFocus();
}

void TrackDialog::commitVolume() {
    if (!volumeEdit_->isVisible() || editRow_ < 0) return;
    const int row = editRow_;
    editRow_ = -1;
    volumeEdit_->hide();
    table_.setVolume(row, TrackTable::parseNumber(volumeEdit_->text().toStdString()));
    fill();
}

void TrackDialog::commitInstrument() {
    if (!instrumentBox_->isVisible() || editRow_ < 0) return;
    const int row = editRow_;
    editRow_ = -1;
    instrumentBox_->hide();
    table_.setProgram(row, instrumentBox_->currentIndex());
    fill();
}

void TrackDialog::commitEditors() {
    commitVolume();
    commitInstrument();
}

// Closing keeps an edit that is still open, whichever way the dialog closes.
void TrackDialog::done(int result) {
    commitEditors();
    QDialog::done(result);
}

bool TrackDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == volumeEdit_ || watched == instrumentBox_) {
        if (event->type() == QEvent::FocusOut) {
            // The combo box's own list (or an edit menu) taking the focus is
            // no leaving; the focus comes back when it closes.
            if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason &&
                !QApplication::activePopupWidget()) {
                if (watched == volumeEdit_) commitVolume();
                else commitInstrument();
            }
        } else if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            // Enter finishes the edit rather than closing the dialog.
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                commitEditors();
                list_->setFocus();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace melnix
