// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/song_list_dialog.h"

#include "dialogs/desktop_prompts.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "dialogs/thumbnail_file_dialog.h"
#include "common/gbk.h"
#include "present/core/picture_scrambler.h"
#include "present/core/pik_file.h"
#include "ui/prompt_dialog.h"
#include "songlist/media_kind.h"
#include "songlist/song_rows.h"
#include "ui/qt_text.h"

namespace melnix {

namespace {

constexpr int idList = 1056;
constexpr int idAdd = 1;
constexpr int idOpen = 1057;
constexpr int idRemove = 1058;
constexpr int idBackground = 1059;
constexpr int idMatch = 1008;
constexpr int idExchange = 1060;
constexpr int idBack = 2;
constexpr int kPathRole = Qt::UserRole;

QString patterns(MediaTable table, bool firstAudioOnly = false) {
    return QString::fromStdString(mediaFilter(table, firstAudioOnly)).replace(';', ' ');
}
std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// A cell's key for sorting, where its text is not (the lyric column).
constexpr int kSortRole = Qt::UserRole + 7;

// Rows sort by their text, letters compared without regard to case, or by
// their sort key when they have one.
class TextItem : public QTableWidgetItem {
public:
    explicit TextItem(const QString& text) : QTableWidgetItem(text) {}
    bool operator<(const QTableWidgetItem& other) const override {
        const QVariant a = data(kSortRole), b = other.data(kSortRole);
        if (a.isValid() && b.isValid() && a.toInt() != b.toInt()) return a.toInt() < b.toInt();
        return text().compare(other.text(), Qt::CaseInsensitive) < 0;
    }
};

}  // namespace

// Every kind the program plays comes first, so that no song needs another
// filter; the file dialog matches the patterns whatever the letters' case.
QString songOpenFilter() {
    return QCoreApplication::translate("melnix::SongListDialog", "所有音像类型") + " (" + patterns(MediaTable::Audio) +
           " " + patterns(MediaTable::Video) + ");;" +
           QCoreApplication::translate("melnix::SongListDialog", "常见音乐类型") +
           " (*.MP3 *.WAV *.MID *.KAR *.WMA *.CDA *.MPG *.WMF *.RM *.SWF *.FLAC *.M4A *.AAC *.OGG *.OPUS *.MP4 *.MKV "
           "*.WEBM *.MOV *.AVI);;" +
           QCoreApplication::translate("melnix::SongListDialog", "所有文件") + " (*)";
}

SongListDialog::SongListDialog(AppState& state, SongSession& session, QWidget* parent, Prompts* prompts,
                               PictureScrambler* scrambler)
    : QDialog(parent), state_(state), session_(session), prompts_(prompts), scrambler_(scrambler) {
    if (!prompts_) {
        ownPrompts_ = std::make_unique<DesktopPrompts>();
        prompts_ = ownPrompts_.get();
    }
    setObjectName("SongListDialog");
    setWindowTitle(tr("打开你想听的歌曲吧"));
    setWindowFlags(Qt::Dialog | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint);
    resize(640, 400);

    list_ = new QTableWidget(0, ColumnCount, this);
    list_->setObjectName(QString("control%1").arg(idList));
    list_->setHorizontalHeaderLabels({tr("歌曲文件名"), tr("类型"), tr("歌词"), tr("长度"), tr("所在目录"),
                                      tr("另配的同步歌词"), tr("图片文件目录")});
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(true);
    list_->verticalHeader()->hide();
    list_->verticalHeader()->setDefaultSectionSize(list_->fontMetrics().height() + 6);
    list_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    list_->horizontalHeader()->setSectionsClickable(true);
    list_->setStyleSheet("QTableWidget { color: #008000; background: #E4E4E4; }");
    // A second click on a title reverses the order; the title shows which.
    list_->horizontalHeader()->setSortIndicatorShown(false);
    connect(list_->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        sortOrder_ = column == sortColumn_ && sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
        sortColumn_ = column;
        list_->horizontalHeader()->setSortIndicatorShown(true);
        list_->horizontalHeader()->setSortIndicator(column, sortOrder_);
        list_->sortItems(column, sortOrder_);
    });
    connect(list_, &QTableWidget::itemSelectionChanged, this, &SongListDialog::updateButtons);
    connect(list_, &QTableWidget::cellDoubleClicked, this, [this](int row, int) {
        if (entryAt(row) < 0) return;
        list_->clearSelection();
        list_->selectRow(row);
        openSelected();
    });

    auto makeButton = [this](int id, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString("control%1").arg(id));
        b->setAutoDefault(false);
        return b;
    };
    QPushButton* add = makeButton(idAdd, tr("我 要 打 开 新 的 歌 曲 文 件"));
    QPushButton* open = makeButton(idOpen, tr("开  听"));
    QPushButton* remove = makeButton(idRemove, tr("从列表中删除"));
    QPushButton* background = makeButton(idBackground, tr("背景图像/音乐"));
    QPushButton* match = makeButton(idMatch, tr("匹配歌词"));
    QPushButton* exchange = makeButton(idExchange, tr("交流同步歌词"));
    QPushButton* back = makeButton(idBack, tr("返回"));
    open->setDefault(true);
    connect(add, &QPushButton::clicked, this, &SongListDialog::addSongFiles);
    connect(open, &QPushButton::clicked, this, &SongListDialog::openSelected);
    connect(remove, &QPushButton::clicked, this, &SongListDialog::removeSelected);
    connect(background, &QPushButton::clicked, this, &SongListDialog::chooseBackground);
    connect(match, &QPushButton::clicked, this, &SongListDialog::matchSelected);
    connect(exchange, &QPushButton::clicked, this, &SongListDialog::mailSelected);
    connect(back, &QPushButton::clicked, this, &QDialog::reject);

    auto* label = new QLabel(tr("以前打开的文件列表: (单击项目标题可排序)"), this);
    label->setObjectName("control1013");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {open, remove, background, match, exchange}) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(back);
    auto* all = new QVBoxLayout(this);
    all->addWidget(add);
    all->addWidget(label);
    all->addWidget(list_, 1);
    all->addLayout(buttons);

    fill();
    updateButtons();
}

SongListDialog::~SongListDialog() = default;

QPushButton* SongListDialog::button(int id) const { return findChild<QPushButton*>(QString("control%1").arg(id)); }

void SongListDialog::fill() {
    list_->setRowCount(0);
    const SongList& songs = state_.list;
    int currentRow = -1;
    // Newest first.
    for (int i = songs.lastIndex(); i >= 0; --i) {
        const SongEntry& e = *songs.at(i);
        const SongRow r = songRow(e);
        const QString lyric = r.lyric == SongLyricState::Unknown ? tr("未知")
                              : r.lyric == SongLyricState::Own   ? tr("自带")
                                                                 : tr("不带");
        const QString texts[ColumnCount] = {
            displayPath(r.name),   displayPath(r.type),     lyric, r.length.empty() ? tr("未知") : QString::fromStdString(r.length),
            displayPath(r.folder), displayPath(r.lyricRef), displayPath(r.pictures)};
        const int row = list_->rowCount();
        list_->insertRow(row);
        for (int c = 0; c < ColumnCount; ++c) list_->setItem(row, c, new TextItem(texts[c]));
        // 自带, 不带, 未知: by meaning, not by the characters.
        list_->item(row, ColLyric)->setData(kSortRole, r.lyric == SongLyricState::Own   ? 0
                                                       : r.lyric == SongLyricState::Unknown ? 2
                                                                                            : 1);
        list_->item(row, ColName)->setData(kPathRole, QByteArray::fromStdString(e.songPath));
        if (const auto key = keys_.find(e.songPath); key != keys_.end() && key->second != 0) {
            QTableWidgetItem* type = list_->item(row, ColType);
            type->setText(QStringLiteral("%1 %2").arg(type->text(), QString::asprintf("%+d", key->second)));
            type->setToolTip(tr("升降调 %1 个半音").arg(QString::asprintf("%+d", key->second)));
        }
        if (samePath(e.songPath, songs.current.songPath)) currentRow = row;
    }
    if (currentRow >= 0) {
        list_->selectRow(currentRow);
        list_->scrollToItem(list_->item(currentRow, ColName));
    }
}

void SongListDialog::setSongKeys(std::map<std::string, int> keys) {
    keys_ = std::move(keys);
    fill();
    sizeColumns();
}

std::vector<int> SongListDialog::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

std::string SongListDialog::pathAt(int row) const {
    const QTableWidgetItem* item = list_->item(row, ColName);
    return item ? item->data(kPathRole).toByteArray().toStdString() : std::string();
}

int SongListDialog::entryAt(int row) const {
    const std::string path = pathAt(row);
    return path.empty() ? -1 : state_.list.findSong(path);
}

void SongListDialog::updateButtons() {
    const std::vector<int> rows = selectedRows();
    const int one = rows.size() == 1 ? entryAt(rows.front()) : -1;
    const SongListButtons b = songListButtons(static_cast<int>(rows.size()), one >= 0 && songHasLyric(*state_.list.at(one)));
    button(idOpen)->setEnabled(b.open);
    button(idRemove)->setEnabled(b.remove);
    button(idBackground)->setEnabled(b.background);
    button(idMatch)->setEnabled(b.match);
    button(idExchange)->setEnabled(b.exchange);
}

void SongListDialog::addSongFiles() {
    const QStringList chosen =
        prompts_->openFileNames(this, tr("请打开一个或一组音像文件"), displayPath(state_.lastSongFolder), songOpenFilter());
    // A cancelled file dialog leaves the list as it was, open.
    if (chosen.isEmpty()) return;
    std::vector<std::string> paths;
    for (const QString& f : chosen) paths.push_back(localPath(f));
    state_.lastSongFolder = folderOf(paths.front());
    if (session_.addSongs(paths) > 0) {
        accept();
    } else {
        reject();
    }
}

void SongListDialog::openSelected() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) return;
    std::vector<std::string> paths;
    for (int row : rows) paths.push_back(pathAt(row));
    SongList& songs = state_.list;
    if (songs.findSong(paths.front()) < 0) return;
    // The chosen songs become the newest (the top of the list), the first
    // of them last.
    for (auto p = paths.rbegin(); p != paths.rend(); ++p) {
        const int entry = songs.findSong(*p);
        if (entry >= 0) songs.moveToEnd(entry);
    }
    songs.selectSong(songs.findSong(paths.front()));
    accept();
}

void SongListDialog::matchSelected() {
    if (selectedRows().size() != 1) return;
    matchLyrics_ = true;
    openSelected();
}

void SongListDialog::mailSelected() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1) return;
    const int entry = entryAt(rows.front());
    if (entry < 0 || !songHasLyric(*state_.list.at(entry))) return;
    state_.list.selectSong(entry);
    mailedSong_ = entry;
    accept();
}

void SongListDialog::removeSelected() {
    const std::vector<int> rows = selectedRows();
    for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
        state_.list.removeSong(pathAt(*row));
        list_->removeRow(*row);
    }
    updateButtons();
}

bool chooseBackgroundFor(SongEntry& song, AppState& state, QWidget* parent, Prompts& prompts,
                         PictureScrambler* scrambler) {
    const bool video = mediaKind(song.songPath, MediaTable::Audio) == 0;
    const QString title =
        video ? SongListDialog::tr("媒体本身是电影，可以选一个或一组音乐做背景")
              : SongListDialog::tr("可选一组图片或一组电影做背景 (如果只选一个图片,等于选择该目录下所有图片)");
    const QString filter = video ? SongListDialog::tr("音乐文件") + " (" + patterns(MediaTable::Audio, true) + ")"
                                 : SongListDialog::tr("图片文件") + " (" + patterns(MediaTable::Picture) + ");;" +
                                       SongListDialog::tr("视频文件") + " (" + patterns(MediaTable::Video) + ")";
    const QStringList chosen = prompts.openFileNames(parent, title, displayPath(state.lastPictureFolder), filter, !video);
    if (chosen.isEmpty()) return false;
    std::vector<std::string> paths;
    for (const QString& f : chosen) paths.push_back(localPath(f));
    const std::string folder = folderOf(paths.front());
    state.lastPictureFolder = folder;
    const bool wholeFolder = paths.size() == 1 && mediaKind(paths.front(), MediaTable::Picture) > 0;
    FolderScrambling action = FolderScrambling::None;
    std::string password;
    if (wholeFolder && scrambler) {
        // The folder's pictures may be scrambled, or a scrambled folder opened up.
        const bool scrambled = isPikPath(paths.front());
        // Whole sentences, so that a translation need not build them.
        const QString question = scrambled ? SongListDialog::tr("如果只选一个文件，则表示选择了该目录下所有图片!\n\n"
                                                                "你选择的文件是已加密的，你现在有机会\n\n"
                                                                "将该目录下所有已加密的图片文件 解密。\n\n"
                                                                "你 需 要 这 样 做 吗 ？")
                                           : SongListDialog::tr("如果只选一个文件，则表示选择了该目录下所有图片!\n\n"
                                                                "你选择的文件是未加密的，你现在有机会\n\n"
                                                                "将该目录下所有未加密的图片文件 加密。\n\n"
                                                                "你 需 要 这 样 做 吗 ？");
        const Answer answer = prompts.ask(parent, question, QStringLiteral("Melnix"), true, Answer::No);
        if (answer == Answer::Cancel) return false;
        if (answer == Answer::Yes && scrambled) {
            action = FolderScrambling::Unscramble;
        } else if (answer == Answer::Yes) {
            const QString typed = prompts.newPassword(parent, chosen.front());
            if (!typed.isEmpty()) {
                password = toGbk(typed);
                scrambler->knownPasswords().add(password);
                action = FolderScrambling::Scramble;
            }
        }
    }
    std::function<std::string(const std::string&)> convert;
    std::unique_ptr<PikFolderRun> run;
    if (action != FolderScrambling::None) {
        run = std::make_unique<PikFolderRun>(*scrambler, action, password);
        convert = [&run](const std::string& path) { return run->convert(path); };
    }
    song.pictureList =
        buildBackgroundSpec(paths, wholeFolder ? listFolderPictures(folder) : std::vector<std::string>{}, convert);
    return true;
}

void SongListDialog::chooseBackground() {
    const std::vector<int> rows = selectedRows();
    if (rows.size() != 1) return;
    const int entry = entryAt(rows.front());
    if (entry < 0) return;
    SongEntry& song = *state_.list.at(entry);
    if (!chooseBackgroundFor(song, state_, this, *prompts_, scrambler_)) return;
    if (samePath(song.songPath, state_.list.current.songPath)) state_.list.current.pictureList = song.pictureList;
    list_->item(rows.front(), ColPictures)->setText(displayPath(song.pictureList));
    session_.dropDemoMarker();
}

void SongListDialog::sizeColumns() {
    const int w = list_->viewport()->width();
    int widths[ColumnCount] = {3 * w / 16, w / 16, w / 16, w / 10, w / 5, w / 6, 3 * w};
    // The short columns show their title and their words whole: a
    // translation's may be longer than their share.
    constexpr int kPadding = 14;
    QFont titleFont = list_->horizontalHeader()->font();
    titleFont.setBold(true);
    const QFontMetrics title(titleFont), cells(list_->font());
    for (int c : {ColType, ColLyric, ColLength}) {
        int need = title.horizontalAdvance(list_->horizontalHeaderItem(c)->text()) + kPadding;
        for (int r = 0; r < list_->rowCount(); ++r)
            if (const QTableWidgetItem* item = list_->item(r, c))
                need = std::max(need, cells.horizontalAdvance(item->text()) + kPadding);
        widths[c] = std::max(widths[c], need);
    }
    for (int c = 0; c < ColumnCount; ++c) list_->setColumnWidth(c, widths[c]);
}

void SongListDialog::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    sizeColumns();
}

void SongListDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    sizeColumns();
}

}  // namespace melnix
