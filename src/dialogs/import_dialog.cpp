// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/import_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QVBoxLayout>
#include <functional>

#include "common/gbk.h"
#include "lyrics/lyric_file_kinds.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// Wide enough for a 30-byte line and a few bytes more, so that a line that
// is too long shows as such.
constexpr int kEditColumns = 36;
constexpr int kEditRows = 16;
constexpr int kSideWidth = 196;
// Lines of the monospaced CJK face: a Chinese character is two columns wide,
// as it is two bytes long.
const char* const kEditFace = "Noto Sans Mono CJK SC";


QString textFileFilter() {
    return ImportDialog::tr("歌词文本") + " (" + QString::fromLatin1(lyricFilePatterns(true, true)) + ");;" +
           ImportDialog::tr("所有文件") + " (*)";
}

QString saveFilter() {
    return ImportDialog::tr("文本文件") + " (" + QString::fromLatin1(lyricFilePatterns(false, true)) + ");;" +
           ImportDialog::tr("所有文件") + " (*)";
}

}  // namespace

ImportDialog::ImportDialog(LyricSheet& sheet, Prompts& prompts, const QString& textFile, QWidget* parent)
    : QDialog(parent), sheet_(sheet), prompts_(prompts) {
    setWindowTitle(tr("导入同步歌词∕歌词文本"));
    buildControls();
    setDependentsEnabled(false);
    connect(edit_, &QPlainTextEdit::textChanged, this, [this] { setDependentsEnabled(true); });
    if (!textFile.isEmpty()) appendTextFile(textFile);
}

void ImportDialog::buildControls() {
    auto button = [this](int id, const QString& caption, const std::function<void()>& action) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString("control%1").arg(id));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, action);
        controls_[id] = b;
        return b;
    };
    auto row = [](QWidget* a, QWidget* b) {
        auto* l = new QHBoxLayout;
        l->addWidget(a);
        l->addWidget(b);
        return l;
    };

    edit_ = new QPlainTextEdit(this);
    edit_->setObjectName(QString("control%1").arg(idEditBox));
    edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont face(kEditFace);
    face.setStyleHint(QFont::Monospace);
    edit_->setFont(face);
    const QFontMetrics metrics(face);
    edit_->setMinimumSize(metrics.horizontalAdvance(QString(kEditColumns, 'M')) + 24, metrics.lineSpacing() * kEditRows);
    controls_[idEditBox] = edit_;

    auto* side = new QVBoxLayout;
    side->addWidget(button(idOpenLyricFile, tr("直接打开同步\n歌词文件(.MLX)"), [this] { leave(idOpenLyricFile); }));
    side->addLayout(row(button(idFromFile, tr("从\n文本文件\n导入"), [this] { chooseTextFile(); }),
                        button(idFromClipboard, tr("从\n剪贴板\n导入"), [this] { pasteClipboard(); })));
    auto* hint = new QLabel(
        tr("   点击下面的“确定使用”之前，请在左边的编辑框中预处理歌词，要求每行不超过15个汉字，建议不要标点。"), this);
    hint->setObjectName(QString("control%1").arg(idHint));
    hint->setWordWrap(true);
    // The hint wraps to the width the buttons give the side, not the other way round.
    QSizePolicy wrapping(QSizePolicy::Ignored, QSizePolicy::Preferred);
    wrapping.setHeightForWidth(true);
    hint->setSizePolicy(wrapping);
    controls_[idHint] = hint;
    side->addWidget(hint);
    side->addLayout(row(button(idRemovePunctuation, tr("去标点"), [this] { removePunctuation(); }),
                        button(idBreakLines, tr("自动断行"), [this] { breakLines(); })));
    side->addStretch();
    side->addWidget(button(idTake, tr("确定使用\n编辑框中的歌词"), [this] { takeLines(); }));

    auto* way = new QLabel(tr("方式:"), this);
    way->setObjectName(QString("control%1").arg(idWayLabel));
    controls_[idWayLabel] = way;
    auto* append = new QRadioButton(tr("追加"), this);
    append->setObjectName(QString("control%1").arg(idAppend));
    append->setChecked(true);
    controls_[idAppend] = append;
    replace_ = new QRadioButton(tr("替换"), this);
    replace_->setObjectName(QString("control%1").arg(idReplace));
    controls_[idReplace] = replace_;
    auto* ways = new QHBoxLayout;
    ways->addWidget(way);
    ways->addWidget(append);
    ways->addWidget(replace_);
    ways->addStretch();
    side->addLayout(ways);
    side->addSpacing(8);
    side->addLayout(row(button(idSave, tr("保存编辑框"), [this] { saveEditBox(); }),
                        button(idLeave, tr("放弃"), [this] { leave(idLeave); })));

    auto* sideBox = new QWidget(this);
    sideBox->setLayout(side);
    // At least the usual width; wider when a translation's captions need it.
    sideBox->setMinimumWidth(kSideWidth);
    sideBox->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(edit_, 1);
    layout->addWidget(sideBox);
}

QWidget* ImportDialog::control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void ImportDialog::setDependentsEnabled(bool on) {
    for (int id : {idHint, idTake, idWayLabel, idAppend, idReplace, idSave, idRemovePunctuation, idBreakLines})
        controls_[id]->setEnabled(on);
}

std::vector<std::string> ImportDialog::editLines() const {
    std::vector<std::string> lines;
    const QTextDocument* doc = edit_->document();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        if (b == doc->lastBlock() && b.text().isEmpty() && b != doc->firstBlock()) break;
        // Pasted web text brings no-break spaces, which GBK cannot hold.
        lines.push_back(toGbk(b.text().replace(QChar::Nbsp, QLatin1Char(' '))));
    }
    return lines;
}

bool ImportDialog::checkEditLines(bool stopAtLongLine, bool showMessages) {
    const EditLinesCheck check = melnix::checkEditLines(editLines(), stopAtLongLine);
    if (check.longLine >= 0) {
        selectLine(check.longLine);
        if (showMessages) prompts_.warning(this, tr("编辑框中有的行太长！"), tr("Melnix"));
        return false;
    }
    if (check.ok) return true;
    if (showMessages) prompts_.warning(this, tr("编辑框中无内容！"), tr("Melnix"));
    setDependentsEnabled(false);
    edit_->document()->setModified(false);
    return false;
}

QTextCursor ImportDialog::cursorOnNewLastLine() {
    QTextCursor cursor(edit_->document());
    cursor.movePosition(QTextCursor::End);
    // Text typed or pasted without a final line break must not run on into
    // the first new line.
    if (!cursor.block().text().isEmpty()) cursor.insertBlock();
    return cursor;
}

bool ImportDialog::appendTextFile(const QString& path) {
    std::vector<std::string> lines;
    if (!readTextFileLines(localPath(path), lines)) {
        prompts_.error(this, path, tr("下列文件打开失败"));
        return false;
    }
    lastTextFile_ = path;
    const bool wasEmpty = edit_->document()->isEmpty();
    QString text;
    for (const std::string& line : lines) text += fromGbk(line) + '\n';
    QTextCursor cursor = cursorOnNewLastLine();
    cursor.insertText(text);
    edit_->setTextCursor(cursor);
    edit_->ensureCursorVisible();
    // A file loaded into an empty box is the file itself: nothing to save yet.
    if (wasEmpty) edit_->document()->setModified(false);
    return true;
}

void ImportDialog::chooseTextFile() {
    const QString chosen = prompts_.openFileName(this, tr("请打开相应的歌词文件"), lastTextFile_, textFileFilter());
    if (!chosen.isEmpty()) appendTextFile(chosen);
}

void ImportDialog::pasteClipboard() {
    if (QApplication::clipboard()->text().isEmpty()) return;
    edit_->setTextCursor(cursorOnNewLastLine());
    edit_->paste();
    edit_->ensureCursorVisible();
}

void ImportDialog::replaceLine(int index, const std::string& gbkText) {
    const QTextBlock block = edit_->document()->findBlockByNumber(index);
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(fromGbk(gbkText));
}

void ImportDialog::selectLine(int index) {
    QTextCursor cursor(edit_->document()->findBlockByNumber(index));
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    edit_->setTextCursor(cursor);
    edit_->ensureCursorVisible();
    edit_->setFocus();
}

void ImportDialog::removePunctuation() {
    const std::vector<std::string> before = editLines();
    std::vector<std::string> after = before;
    punctuation_.apply(after);
    // Line by line, in one step the user can undo.
    QTextCursor edit(edit_->document());
    edit.beginEditBlock();
    for (size_t i = 0; i < after.size(); ++i)
        if (after[i] != before[i]) replaceLine(static_cast<int>(i), after[i]);
    edit.endEditBlock();
}

void ImportDialog::breakLines() {
    const std::vector<std::string> lines = editLines();
    QTextCursor edit(edit_->document());
    edit.beginEditBlock();
    // From the last line up, so that the lines still to do keep their numbers.
    for (int i = static_cast<int>(lines.size()) - 1; i >= 0; --i) {
        const std::vector<std::string> pieces = breakLongLine(lines[static_cast<size_t>(i)]);
        std::string joined;
        for (const std::string& piece : pieces) joined += (joined.empty() ? "" : "\n") + piece;
        if (joined != lines[static_cast<size_t>(i)]) replaceLine(i, joined);
    }
    edit.endEditBlock();
}

void ImportDialog::takeLines() {
    if (!checkEditLines(true, true)) return;
    const bool replace = replace_->isChecked() || placeholder_;
    takeEditLines(sheet_, editLines(), replace);
    result_ = replace ? ImportResult::Replaced : ImportResult::Appended;
    accept();
}

bool ImportDialog::saveEditBox() {
    if (!checkEditLines(false, true)) return false;
    for (;;) {
        if (savePath_.isEmpty()) {
            // The text file it came from, but never a lyric file by default.
            QString start = lastTextFile_;
            const QFileInfo from(lastTextFile_);
            const std::string name = localPath(lastTextFile_);
            if (!start.isEmpty() && (isTimedLyricFileName(name) || !isLyricFileName(name)))
                start = from.dir().filePath(from.completeBaseName() + ".TXT");
            savePath_ = prompts_.saveFileName(this, tr("保存编辑框"), start, saveFilter(), "TXT");
            if (savePath_.isEmpty()) return false;
        }
        if (writeTextFileLines(localPath(savePath_), editLines())) break;
        prompts_.error(this, savePath_, tr("保存到下列文件时，出现错误，保存失败!"));
        savePath_.clear();
    }
    edit_->document()->setModified(false);
    return true;
}

void ImportDialog::leave(int button) {
    if (edit_->document()->isModified() && melnix::checkEditLines(editLines(), false).ok) {
        const bool save = prompts_.ask(this, tr("编辑框中内容更改后尚未保存!\n\n你需要保存吗？"), tr("警告"), false,
                                       Answer::Yes, true) == Answer::Yes;
        // A save the user cancelled keeps him here with his text.
        if (save && !saveEditBox()) return;
    }
    if (button == idOpenLyricFile) {
        result_ = ImportResult::OpenLyricFile;
        accept();
    } else {
        QDialog::reject();
    }
}

void ImportDialog::reject() { leave(idLeave); }

}  // namespace melnix
