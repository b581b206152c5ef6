// The dialogs in both languages: in English no Chinese text is left, and in
// either language no caption is cut off by the dialog's geometry.

#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <memory>

#include "dialogs/about_box.h"
#include "dialogs/exchange_dialog.h"
#include "dialogs/help_dialog.h"
#include "dialogs/import_dialog.h"
#include "dialogs/save_dialog.h"
#include "dialogs/song_list_dialog.h"
#include "lyrics/lyric_sheet.h"
#include "songlist/song_session.h"
#include "support/quiet_prompts.h"
#include "support/test_files.h"
#include "ui/prompt_dialog.h"
#include "ui/ui_language.h"

namespace melnix {
namespace {

bool hasChinese(const QString& text) {
    static const QRegularExpression cjk(QStringLiteral("[\\x{3000}-\\x{303f}\\x{4e00}-\\x{9fff}\\x{ff00}-\\x{ffef}]"));
    return text.contains(cjk);
}

// Every text the dialog shows.
QStringList shownTexts(QWidget& dialog) {
    QStringList texts{dialog.windowTitle()};
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        texts << w->toolTip();
        if (auto* l = qobject_cast<QLabel*>(w)) texts << l->text();
        if (auto* b = qobject_cast<QAbstractButton*>(w)) texts << b->text();
        if (auto* g = qobject_cast<QGroupBox*>(w)) texts << g->title();
        if (auto* e = qobject_cast<QPlainTextEdit*>(w)) texts << e->toPlainText();
        if (auto* t = qobject_cast<QTableWidget*>(w))
            for (int c = 0; c < t->columnCount(); ++c)
                if (t->horizontalHeaderItem(c)) texts << t->horizontalHeaderItem(c)->text();
    }
    return texts;
}

// Captions that do not fit the widget showing them.
QStringList cutOff(QWidget& dialog) {
    QStringList cut;
    for (QWidget* w : dialog.findChildren<QWidget*>()) {
        if (!w->isVisible()) continue;
        const QFontMetrics fm = w->fontMetrics();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            if (l->text().isEmpty() || l->textFormat() == Qt::RichText ||
                (l->textFormat() == Qt::AutoText && Qt::mightBeRichText(l->text())))
                continue;
            const QRect room = l->contentsRect();
            const bool fits = l->wordWrap()
                                  ? l->heightForWidth(l->width()) <= l->height()
                                  : fm.size(Qt::TextShowMnemonic, l->text()).width() <= room.width() &&
                                        fm.size(Qt::TextShowMnemonic, l->text()).height() <= room.height() + 2;
            if (!fits) cut << l->text();
        } else if (auto* t = qobject_cast<QTableWidget*>(w)) {
            // Titles, and the words of the cells (paths may be shortened).
            QFont bold = t->horizontalHeader()->font();
            bold.setBold(true);
            const QFontMetrics title(bold);
            for (int c = 0; c < t->columnCount(); ++c) {
                const QTableWidgetItem* head = t->horizontalHeaderItem(c);
                if (head && title.horizontalAdvance(head->text()) + 8 > t->columnWidth(c)) cut << head->text();
                for (int r = 0; r < t->rowCount(); ++r) {
                    const QTableWidgetItem* item = t->item(r, c);
                    if (item && !item->text().contains('/') &&
                        fm.horizontalAdvance(item->text()) + 6 > t->columnWidth(c))
                        cut << item->text();
                }
            }
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (b->text().isEmpty()) continue;
            const QSize text = fm.size(Qt::TextShowMnemonic, b->text());
            // Radio buttons and check boxes draw their mark before the text,
            // as much as the style asks for.
            const int mark = qobject_cast<QPushButton*>(b) ? 4 : b->sizeHint().width() - text.width();
            if (text.width() + mark > b->width() || text.height() > b->height()) cut << b->text();
        }
    }
    return cut;
}

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<QWidget>()> make;
};

void PrintTo(const DialogCase& c, std::ostream* out) { *out << c.name; }

class Dialogs : public ::testing::TestWithParam<DialogCase> {
protected:
    void SetUp() override { ::setenv("MELNIX_HOME", home_.path().c_str(), 1); }
    void TearDown() override {
        if (translator_) QCoreApplication::removeTranslator(translator_);
        delete translator_;
    }
    void english() {
        translator_ = installUiLanguage(*QCoreApplication::instance(), UiLanguage::English);
        ASSERT_NE(translator_, nullptr) << "the English translation is not linked in";
    }
    std::unique_ptr<QWidget> shown() {
        auto dialog = GetParam().make();
        dialog->show();
        // The offscreen screen is small, and a window opens at most at two
        // thirds of it; on a desktop it gets its size hint.
        dialog->resize(dialog->size().expandedTo(dialog->sizeHint()));
        QApplication::processEvents();
        return dialog;
    }

    test::TempDir home_;
    QTranslator* translator_ = nullptr;
};

TEST_P(Dialogs, EnglishLeavesNoChineseText) {
    english();
    auto dialog = shown();
    for (const QString& text : shownTexts(*dialog)) EXPECT_FALSE(hasChinese(text)) << text.toStdString();
}

TEST_P(Dialogs, ChineseStaysChinese) {
    auto dialog = shown();
    EXPECT_TRUE(hasChinese(shownTexts(*dialog).join('\n')));
}

TEST_P(Dialogs, NoCaptionIsCutOffInEitherLanguage) {
    {
        auto dialog = shown();
        EXPECT_EQ(cutOff(*dialog).join(" | ").toStdString(), "") << "Chinese";
    }
    english();
    auto dialog = shown();
    EXPECT_EQ(cutOff(*dialog).join(" | ").toStdString(), "") << "English";
}

// The state and songs the dialogs work on, one for the whole program.
struct World {
    AppState state;
    LyricSheet sheet;
    NoWindowSongHost host;
    SongSession session{state, sheet, host};
    test::QuietPrompts prompts;
    World() {
        state.list.addOrUpdateSong("/music/Beta.mp3", 54000, kLyricFlagHas, nullptr);
        state.list.addOrUpdateSong("/music/alpha.wav", 60000, 0, nullptr);
        state.list.selectSong(1);
        state.list.current.songPath = "/music/alpha.wav";
    }
};

World& world() {
    static World w;
    return w;
}

INSTANTIATE_TEST_SUITE_P(
    All, Dialogs,
    ::testing::Values(
        DialogCase{"Help", [] { return std::make_unique<HelpDialog>(nullptr, [] {}); }},
        DialogCase{"About", [] { return std::make_unique<AboutBox>(); }},
        DialogCase{"Save", [] { return std::make_unique<SaveDialog>(nullptr, "/music/alpha.wav", "/music/alpha.MLX"); }},
        DialogCase{"Import", [] { return std::make_unique<ImportDialog>(world().sheet, world().prompts); }},
        DialogCase{"SongList",
                   [] { return std::make_unique<SongListDialog>(world().state, world().session, nullptr, &world().prompts); }},
        DialogCase{"Exchange",
                   [] {
                       return std::make_unique<ExchangeDialog>(world().state, world().sheet, 3000, nullptr,
                                                               &world().prompts);
                   }},
        DialogCase{"Password",
                   [] {
                       PromptRequest r;
                       r.firstLine = "/pictures/a.pik";
                       r.secondLine = PromptDialog::tr("的密码:");
                       r.passwordMode = true;
                       r.caption = PromptDialog::tr("请你输入");
                       return std::make_unique<PromptDialog>(r, nullptr);
                   }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace melnix
