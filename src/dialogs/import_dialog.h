// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "导入同步歌词∕歌词文本": the editor's door for lyric text. The user gathers
// text from text files and the clipboard in an edit box, cleans it into lines
// of at most 30 GBK bytes, may save it as a text file, and then takes the
// lines into the sheet; or he leaves to open a synchronized lyric file.
//
// The edit box shows Unicode; its lines become GBK where they are measured,
// cleaned, saved or taken, as the lyric model holds GBK.

#include <QDialog>
#include <QString>
#include <map>
#include <string>
#include <vector>

#include "lyrics/lyric_import.h"
#include "lyrics/lyric_sheet.h"

class QPlainTextEdit;
class QRadioButton;
class QTextCursor;

#include "ui/prompts.h"

namespace melnix {

// What the dialog ended with, besides leaving without importing.
enum class ImportResult { None, OpenLyricFile, Replaced, Appended };

class ImportDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int idOpenLyricFile = 1;
    static constexpr int idLeave = 2;
    static constexpr int idSave = 3;
    static constexpr int idWayLabel = 1013;
    static constexpr int idEditBox = 1035;
    static constexpr int idFromFile = 1045;
    static constexpr int idFromClipboard = 1046;
    static constexpr int idAppend = 1047;
    static constexpr int idReplace = 1048;
    static constexpr int idTake = 1049;
    static constexpr int idHint = 1051;
    static constexpr int idRemovePunctuation = 1052;
    static constexpr int idBreakLines = 1053;

    // textFile, when given, is loaded into the edit box as the dialog opens.
    ImportDialog(LyricSheet& sheet, Prompts& prompts, const QString& textFile = QString(),
                 QWidget* parent = nullptr);

    // What the accepted dialog did; None while it has not been accepted.
    ImportResult importResult() const { return result_; }
    // The lyric only stands in for one (the song's name or tag when it has
    // none): "追加" replaces it rather than keeping it as a first line.
    void setLyricIsPlaceholder(bool placeholder) { placeholder_ = placeholder; }
    QWidget* control(int id) const;
    QPlainTextEdit* editBox() const { return edit_; }

    // The edit box's lines as GBK. The empty line after the last line break
    // is not a line of its own, so a saved and reloaded text stays the same.
    std::vector<std::string> editLines() const;
    // False when a line is too long (stopAtLongLine: it is selected) or no
    // line has text (the dependent controls are disabled).
    bool checkEditLines(bool stopAtLongLine, bool showMessages);
    // Adds a text file's lines at the end of the edit box.
    bool appendTextFile(const QString& path);
    // True when the edit box was written to a file.
    bool saveEditBox();

protected:
    // Escape and the close box leave as "放弃" does.
    void reject() override;

private:
    void buildControls();
    void chooseTextFile();
    void pasteClipboard();
    void removePunctuation();
    void breakLines();
    void takeLines();
    void leave(int button);
    void setDependentsEnabled(bool on);
    // A cursor at the end of the text, on a line of its own.
    QTextCursor cursorOnNewLastLine();
    void replaceLine(int index, const std::string& gbkText);
    void selectLine(int index);

    LyricSheet& sheet_;
    Prompts& prompts_;
    QPlainTextEdit* edit_ = nullptr;
    QRadioButton* replace_ = nullptr;
    bool placeholder_ = false;
    std::map<int, QWidget*> controls_;
    PunctuationRemover punctuation_;
    QString lastTextFile_;  // where the next file choice starts
    QString savePath_;      // remembered after the first save
    ImportResult result_ = ImportResult::None;
};

}  // namespace melnix
