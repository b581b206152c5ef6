// SPDX-License-Identifier: GPL-3.0-or-later
#include "present/password_prompt.h"
#include "ui/prompt_dialog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <thread>

#include "common/gbk.h"
#include "present/core/pik_file.h"
#include "support/qt_wait.h"
#include "support/test_files.h"

namespace melnix {
namespace {

const QString kAgain = QStringLiteral("为了复核,请你再输入一遍");
const QString kMismatch = QStringLiteral("复核不成功,请你输入");

PromptRequest request(bool password, bool confirmation = false, int timeoutMs = 0, const QString& initial = {}) {
    return {QStringLiteral("/pictures/a.jpg"), QStringLiteral("的加密密码:"), password, confirmation, timeoutMs,
            initial, QStringLiteral("请你输入")};
}

// Key presses carrying any character, Chinese ones included.
void typeInto(QWidget* w, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A dialog opened without blocking, as a user would see it.
struct OpenPrompt {
    explicit OpenPrompt(const PromptRequest& r) : dialog(r, nullptr) {
        dialog.open();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
    void type(const QString& text) { typeInto(dialog.edit(), text); }
    void ok() { QTest::mouseClick(static_cast<QPushButton*>(dialog.control(idPromptOk)), Qt::LeftButton); }
    bool closed() const { return !dialog.isVisible(); }

    PromptDialog dialog;
};

TEST(PromptDialog, PasswordModeHidesTheTextAndUpperCasesIt) {
    OpenPrompt p(request(true));
    EXPECT_EQ(p.dialog.windowTitle(), QStringLiteral("请你输入"));
    EXPECT_EQ(static_cast<QLabel*>(p.dialog.control(idPromptFirstLine))->text(), QStringLiteral("/pictures/a.jpg"));
    EXPECT_EQ(static_cast<QLabel*>(p.dialog.control(idPromptSecondLine))->text(), QStringLiteral("的加密密码:"));
    EXPECT_EQ(static_cast<QPushButton*>(p.dialog.control(idPromptOk))->text(), QStringLiteral("确定(&O)"));
    EXPECT_EQ(static_cast<QPushButton*>(p.dialog.control(idPromptCancel))->text(), QStringLiteral("取消(&C)"));
    EXPECT_TRUE(p.dialog.control(idPromptHiddenEdit)->isVisible());
    EXPECT_FALSE(p.dialog.control(idPromptEdit)->isVisible());
    EXPECT_EQ(p.dialog.edit(), p.dialog.control(idPromptHiddenEdit));
    EXPECT_EQ(p.dialog.edit()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(p.dialog.edit()->hasFocus());

    p.type(QStringLiteral(" abc密ｚ "));
    p.ok();
    EXPECT_TRUE(p.closed());
    EXPECT_EQ(p.dialog.result(), QDialog::Accepted);
    EXPECT_EQ(p.dialog.text(), QStringLiteral("ABC密ｚ"));
}

TEST(PromptDialog, PlainModeShowsTheInitialTextAndKeepsItsCase) {
    OpenPrompt p(request(false, false, 0, QStringLiteral("  Hello world ")));
    EXPECT_TRUE(p.dialog.control(idPromptEdit)->isVisible());
    EXPECT_FALSE(p.dialog.control(idPromptHiddenEdit)->isVisible());
    EXPECT_EQ(p.dialog.edit()->text(), QStringLiteral("  Hello world "));
    QTest::keyClick(p.dialog.edit(), Qt::Key_Return);
    EXPECT_TRUE(p.closed());
    EXPECT_EQ(p.dialog.text(), QStringLiteral("Hello world"));
}

TEST(PromptDialog, EmptyEntryAndCancelGiveNothing) {
    {
        OpenPrompt p(request(true));
        p.type(QStringLiteral("   "));
        p.ok();
        EXPECT_TRUE(p.closed());
        EXPECT_EQ(p.dialog.result(), QDialog::Rejected);
        EXPECT_EQ(p.dialog.text(), QString());
    }
    {
        OpenPrompt p(request(false));
        p.type(QStringLiteral("typed"));
        QTest::mouseClick(static_cast<QPushButton*>(p.dialog.control(idPromptCancel)), Qt::LeftButton);
        EXPECT_TRUE(p.closed());
        EXPECT_EQ(p.dialog.text(), QString());
    }
}

TEST(PromptDialog, ConfirmationAcceptsTheSameTextTwice) {
    OpenPrompt p(request(true, true));
    p.type(QStringLiteral("secret"));
    p.ok();
    EXPECT_FALSE(p.closed());
    EXPECT_EQ(p.dialog.windowTitle(), kAgain);
    EXPECT_EQ(p.dialog.edit()->text(), QString());
    EXPECT_TRUE(p.dialog.edit()->hasFocus());
    // Case does not matter in password mode.
    p.type(QStringLiteral("SECRET"));
    p.ok();
    EXPECT_TRUE(p.closed());
    EXPECT_EQ(p.dialog.text(), QStringLiteral("SECRET"));
}

TEST(PromptDialog, FailedConfirmationStartsOver) {
    OpenPrompt p(request(false, true));
    p.type(QStringLiteral("one"));
    p.ok();
    p.type(QStringLiteral("two"));
    p.ok();
    EXPECT_FALSE(p.closed());
    EXPECT_EQ(p.dialog.windowTitle(), kMismatch);
    EXPECT_EQ(p.dialog.edit()->text(), QString());
    // "two" was not kept as a first entry: this is a first entry again.
    p.type(QStringLiteral("two"));
    p.ok();
    EXPECT_FALSE(p.closed());
    EXPECT_EQ(p.dialog.windowTitle(), kAgain);
    p.type(QStringLiteral("two"));
    p.ok();
    EXPECT_TRUE(p.closed());
    EXPECT_EQ(p.dialog.text(), QStringLiteral("two"));
}

TEST(PromptDialog, TimeoutClosesAsCancelled) {
    EXPECT_EQ(promptText(QStringLiteral("a"), QStringLiteral("b"), true, false, 1, QStringLiteral("SEED"),
                         QStringLiteral("c"), nullptr),
              QString());

    OpenPrompt p(request(false, false, 1, QStringLiteral("initial")));
    EXPECT_TRUE(test::waitUntil([&] { return p.closed(); }));
    EXPECT_EQ(p.dialog.result(), QDialog::Rejected);
    EXPECT_EQ(p.dialog.text(), QString());
}

TEST(PromptDialog, TypingStopsTheTimeout) {
    OpenPrompt p(request(true, false, 60000));
    EXPECT_TRUE(p.dialog.timeoutRunning());
    p.type(QStringLiteral("x"));
    EXPECT_FALSE(p.dialog.timeoutRunning());

    OpenPrompt none(request(true));
    EXPECT_FALSE(none.dialog.timeoutRunning());
}

// The unscrambling question, answered without a window.
struct RecordingRunner {
    QString answer;
    std::vector<PromptRequest> asked;
    PromptRunner runner() {
        return [this](const PromptRequest& r, QWidget*) {
            asked.push_back(r);
            return answer;
        };
    }
};

TEST(UnscramblePasswordPrompt, AsksWithTheFileAndSaysWhenThePasswordWasWrong) {
    RecordingRunner user;
    user.answer = QStringLiteral("密码");
    PasswordPrompt prompt = unscramblePasswordPrompt(nullptr, user.runner());

    EXPECT_EQ(prompt({"/图片/a.PIK", 1, 5000}), utf8ToGbk("密码"));
    EXPECT_EQ(prompt({"/图片/a.PIK", 2, 5000}), utf8ToGbk("密码"));
    ASSERT_EQ(user.asked.size(), 2u);
    const PromptRequest& first = user.asked[0];
    EXPECT_EQ(first.firstLine, QStringLiteral("/图片/a.PIK"));
    EXPECT_EQ(first.secondLine, QStringLiteral("的密码:"));
    EXPECT_TRUE(first.passwordMode);
    EXPECT_FALSE(first.confirmation);
    EXPECT_EQ(first.timeoutMs, 5000);
    EXPECT_EQ(first.caption, QStringLiteral("请你输入"));
    EXPECT_EQ(user.asked[1].caption, QStringLiteral("密码不正确,请再输入一遍"));

    user.answer.clear();
    EXPECT_EQ(prompt({"/a.PIK", 1, 5000}), std::nullopt);
}

TEST(UnscramblePasswordPrompt, OpensNoWindowOffTheUserInterfaceThread) {
    RecordingRunner user;
    user.answer = QStringLiteral("PW");
    PasswordPrompt prompt = unscramblePasswordPrompt(nullptr, user.runner());
    std::optional<std::string> answer = "unset";
    std::thread([&] { answer = prompt({"/a.PIK", 1, 5000}); }).join();
    EXPECT_EQ(answer, std::nullopt);
    EXPECT_TRUE(user.asked.empty());
}

// The library and the real dialog together.
class PromptedUnscramble : public ::testing::Test {
protected:
    void SetUp() override {
        test::writeFile(dir.file("a.jpg"), plain);
        PictureScrambler maker;
        pik = maker.scramblePicture(dir.file("a.jpg"), "OPEN");
        ASSERT_FALSE(pik.empty());
    }

    // Types into the prompt once it is up, and presses Enter.
    void answerWhenAsked(const QString& text) {
        auto* poll = new QTimer(qApp);
        QObject::connect(poll, &QTimer::timeout, [poll, text] {
            auto* dialog = qobject_cast<PromptDialog*>(QApplication::activeModalWidget());
            if (!dialog) return;
            poll->stop();
            poll->deleteLater();
            typeInto(dialog->edit(), text);
            QTest::keyClick(dialog->edit(), Qt::Key_Return);
        });
        poll->start(5);
    }

    test::TempDir dir;
    const std::string plain = "picture bytes";
    std::string pik;
};

TEST_F(PromptedUnscramble, AnswerTypedIntoTheDialogOpensThePicture) {
    PictureScrambler scrambler(unscramblePasswordPrompt(nullptr));
    MayAskScope ask(scrambler);
    answerWhenAsked(QStringLiteral("open"));
    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), dir.file("a.jpg"));
    EXPECT_EQ(out, plain);
    EXPECT_EQ(scrambler.knownPasswords().list(), std::vector<std::string>{"OPEN"});
}

TEST_F(PromptedUnscramble, UnansweredDialogTimesOutAndEndsPrompting) {
    // The same dialog with its wait cut short.
    PictureScrambler scrambler(unscramblePasswordPrompt(nullptr, [](PromptRequest r, QWidget* owner) {
        EXPECT_EQ(r.timeoutMs, kPikPasswordTimeoutMs);
        r.timeoutMs = 1;
        return runPromptDialog(r, owner);
    }));
    scrambler.setMayAsk(true);
    std::string out;
    EXPECT_EQ(scrambler.unscramblePicture(pik, &out), "");
    EXPECT_FALSE(scrambler.mayAsk());
}

}  // namespace
}  // namespace melnix
