// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/exchange_dialog.h"

#include "support/quiet_prompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>

#include "dialogs/core/exchange_setup.h"
#include "common/paths.h"
#include "lyrics/lyric_store.h"
#include "mail/mail_test_support.h"
#include "support/gbk_text.h"

namespace melnix {
namespace {

using test::g;

const QString kSent = QString::fromUtf8("发送成功！恭喜你。\r\n\r\n如果你通过拨号上网，别忘了断线呀！");
const QString kFailed = QString::fromUtf8(
    "抱歉，发送失败！\r\n\r\n你可能没有拨号，或者没有填写你正确的Email地址。\r\n\r\n如果你通过拨号上网，别忘了断线呀！");
const QString kNoDialUp =
    QString::fromUtf8("本机尚未拨号! 你有局域网可发送邮件吗？\n\n如果你选择‘是’，但又不能发送，可能导致死机.");

class ExchangeDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::unsetenv(kExchangeEnvironment);
        // A small song with its lyric in its tail: it is sent itself.
        song_ = files_.file("xiaocheng.wav");
        test::writeBytes(song_, std::string(5000, 'w'));
        LyricSheet tail;
        tail.appendLine(g("小城故事多"));
        ASSERT_TRUE(storeInSongTail(song_, tail));
        state_.list.current.songPath = song_;
        state_.list.current.lyricRef = "@" + g("小城故事多");
        state_.senderAge = 31;
        state_.senderMale = 0;
        state_.profile = {g("小李"), g("北京"), "12345", "http://li.example.org", "li@example.org", "", g("你好")};
    }
    void TearDown() override { ::unsetenv(kExchangeEnvironment); }

    ExchangeDialog& dialog() {
        if (!dialog_) dialog_ = std::make_unique<ExchangeDialog>(state_, sheet_, 3000, nullptr, &prompts_);
        return *dialog_;
    }
    QString text(int id) { return qobject_cast<QLineEdit*>(dialog().control(id))->text(); }
    void type(int id, const QString& t) { qobject_cast<QLineEdit*>(dialog().control(id))->setText(t); }
    void click(int id) { qobject_cast<QPushButton*>(dialog().control(id))->click(); }
    void sendTo(const std::string& destinations) {
        ::setenv(kExchangeEnvironment, destinations.c_str(), 1);
        click(ExchangeDialog::idSend);
    }

    test::TempDir files_;  // in the data folder the test runs with
    std::string song_;
    AppState state_;
    LyricSheet sheet_;
    test::QuietPrompts prompts_;
    std::unique_ptr<ExchangeDialog> dialog_;
};

TEST_F(ExchangeDialogTest, OpensWithTheSongAndTheKeptProfile) {
    EXPECT_EQ(dialog().windowTitle(), QString::fromUtf8("同步歌词交换对话框"));
    EXPECT_EQ(dialog().fileToSend(), song_);
    EXPECT_EQ(text(ExchangeDialog::idFile), QString::fromStdString(song_));
    EXPECT_EQ(text(ExchangeDialog::idSongName), QString::fromUtf8("小城故事多"));
    EXPECT_EQ(text(ExchangeDialog::idDownload), "http://");
    EXPECT_EQ(text(ExchangeDialog::idName), QString::fromUtf8("小李"));
    EXPECT_EQ(text(ExchangeDialog::idAge), "31");
    EXPECT_EQ(text(ExchangeDialog::idArea), QString::fromUtf8("北京"));
    EXPECT_EQ(text(ExchangeDialog::idEmail), "li@example.org");
    EXPECT_TRUE(qobject_cast<QRadioButton*>(dialog().control(ExchangeDialog::idFemale))->isChecked());
    EXPECT_EQ(qobject_cast<QPlainTextEdit*>(dialog().control(ExchangeDialog::idMessageToFriends))->toPlainText(),
              QString::fromUtf8("你好"));
    const std::pair<const char*, const char*> captions[] = {
        {"label1113", "你要发送的歌词文件是:"}, {"label1112", "其歌曲名称是:"},
        {"label1038", "原文件(如.MP3)可在网站"}, {"label1038After", "里下载。"},
        {"label1089", "网(姓)名:"}, {"label1092", "年龄:"}, {"label1091", "地域:"}, {"label1090", "QQ号码:"},
        {"label1094", "主页:"}, {"label1036", "EMail:"}, {"label1036After", "(此项必须填写正确)"},
        {"label1087", "给网友的留言:"}, {"control1110", "我已熟知上述条款，我要"},
        {"control1111", "我不想发送，我要"},
    };
    for (const auto& [name, caption] : captions) {
        const auto* label = dialog().findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name;
        EXPECT_EQ(label->text(), QString::fromUtf8(caption)) << name;
    }
    EXPECT_EQ(qobject_cast<QPushButton*>(dialog().control(ExchangeDialog::idSend))->text(), QString::fromUtf8("发送"));
    EXPECT_EQ(qobject_cast<QPushButton*>(dialog().control(ExchangeDialog::idCancel))->text(),
              QString::fromUtf8("取消"));
    EXPECT_EQ(qobject_cast<QRadioButton*>(dialog().control(ExchangeDialog::idMale))->text(), QString::fromUtf8("男"));
}

TEST_F(ExchangeDialogTest, CancelKeepsWhatWasTyped) {
    type(ExchangeDialog::idName, QString::fromUtf8("老王"));
    type(ExchangeDialog::idAge, "abc");
    qobject_cast<QRadioButton*>(dialog().control(ExchangeDialog::idMale))->setChecked(true);
    qobject_cast<QPlainTextEdit*>(dialog().control(ExchangeDialog::idMessageToAuthor))->setPlainText("hi\nthere");
    click(ExchangeDialog::idCancel);
    EXPECT_EQ(dialog().result(), QDialog::Rejected);
    EXPECT_EQ(state_.profile[0], g("老王"));
    EXPECT_EQ(state_.senderAge, 0);
    EXPECT_EQ(state_.senderMale, 1);
    EXPECT_EQ(state_.profile[5], "hi\nthere");
    EXPECT_TRUE(prompts_.infos.isEmpty());
}

TEST_F(ExchangeDialogTest, WithoutANetworkOnlyYesSends) {
    test::SmtpSink sink;
    ASSERT_EQ(sink.startError(), "");
    const std::string destination = "127.0.0.1:" + std::to_string(sink.port()) + " lyrics@exchange.example.org";
    prompts_.connected = false;
    type(ExchangeDialog::idName, QString::fromUtf8("老王"));

    prompts_.answer = Answer::No;
    sendTo(destination);
    EXPECT_EQ(prompts_.questions, QStringList{kNoDialUp});
    EXPECT_TRUE(prompts_.infos.isEmpty());
    EXPECT_EQ(dialog().result(), 0);  // still open
    EXPECT_EQ(state_.profile[0], g("小李"));
    EXPECT_FALSE(sink.message(1).found);

    prompts_.answer = Answer::Yes;
    sendTo(destination);
    EXPECT_EQ(prompts_.questions.size(), 2);
    EXPECT_EQ(prompts_.infos, QStringList{kSent});
    EXPECT_EQ(state_.profile[0], g("老王"));
    EXPECT_TRUE(sink.message(1).found);
}

TEST_F(ExchangeDialogTest, OneDestinationTakingTheMailIsASuccess) {
    test::SmtpSink sink;
    ASSERT_EQ(sink.startError(), "");
    const uint16_t closed = test::closedLocalPort();
    type(ExchangeDialog::idDownload, "http://songs.example.org/a.wav");
    type(ExchangeDialog::idAge, "45");
    sendTo("127.0.0.1:" + std::to_string(closed) + " gone@exchange.example.org;127.0.0.1:" +
           std::to_string(sink.port()) + " lyrics@exchange.example.org");
    EXPECT_TRUE(prompts_.questions.isEmpty());
    EXPECT_EQ(prompts_.infos, QStringList{kSent});
    EXPECT_EQ(dialog().result(), QDialog::Accepted);
    EXPECT_EQ(state_.senderAge, 45);

    const test::ReceivedMail got = sink.message(1);
    ASSERT_TRUE(got.found);
    EXPECT_EQ(got.defects, "");
    EXPECT_EQ(got.mailFrom, "li@example.org");
    EXPECT_EQ(got.rcptTo, std::vector<std::string>{"lyrics@exchange.example.org"});
    EXPECT_EQ(got.header("Subject"), std::vector<std::string>{"LYRIC_of " + g("小城故事多")});
    ASSERT_EQ(got.parts.size(), 2u);
    EXPECT_EQ(got.parts[0].content, exchangeMailBody("http://songs.example.org/a.wav", senderProfileOf(state_)) + "\r\n");
    EXPECT_NE(got.parts[0].content.find("            SEX =   F\r\n            AGE =   45\r\n"), std::string::npos);
    EXPECT_EQ(got.parts[1].filename, fileNameOf(song_));
    EXPECT_EQ(got.parts[1].content, test::readBytes(song_));
}

TEST_F(ExchangeDialogTest, FailingEverywhereLeavesTheDialogOpen) {
    const std::string closed = "127.0.0.1:" + std::to_string(test::closedLocalPort());
    const std::string cases[] = {closed + " a@x.org;" + closed + " b@x.org", ""};  // refused; none configured
    for (const std::string& destinations : cases) {
        SCOPED_TRACE(destinations);
        prompts_.infos.clear();
        sendTo(destinations);
        EXPECT_EQ(prompts_.infos, QStringList{kFailed});
        EXPECT_EQ(dialog().result(), 0);
    }
}

// The servers answer on a thread of their own: the window keeps working,
// and the progress dialog's cancel ends the send at once, keeping the
// dialog open and the profile as typed.
TEST_F(ExchangeDialogTest, CancellingASlowSendKeepsTheDialogOpen) {
    // A peer that never greets (it gives up when the client hangs up).
    test::ScriptedPeer peer({test::ScriptedPeer::pause(60000)});
    type(ExchangeDialog::idName, QString::fromUtf8("老李"));
    QElapsedTimer clock;
    qint64 cancelledAt = -1;
    // Looks for the progress dialog until it shows, however loaded the
    // machine; the cancel comes 300 ms after it does.
    QTimer look;
    look.setInterval(20);
    QObject::connect(&look, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* progress = qobject_cast<QProgressDialog*>(w); progress && progress->isVisible()) {
                look.stop();
                QTimer::singleShot(300, progress, [&, progress] {
                    cancelledAt = clock.elapsed();
                    progress->cancel();
                });
            }
    });
    look.start();
    clock.start();
    sendTo("127.0.0.1:" + std::to_string(peer.port()) + " a@x.org");
    ASSERT_GE(cancelledAt, 0) << "no progress dialog was shown";
    EXPECT_LT(clock.elapsed() - cancelledAt, 2000);
    EXPECT_TRUE(prompts_.infos.isEmpty());
    EXPECT_EQ(dialog().result(), 0);
    EXPECT_EQ(state_.profile[0], g("老李"));
}

TEST_F(ExchangeDialogTest, ALargeSongSendsItsLyricWrittenIntoTheDataFolder) {
    test::writeBytes(song_, std::string(kSmallSongBytes + 1, 'w'));
    state_.list.current.lyricRef.clear();
    sheet_.appendLine(g("小城故事多"));
    EXPECT_EQ(dialog().fileToSend(), dataFolder() + "/xiaocheng.MLX");
    LyricSheet back;
    ASSERT_TRUE(openLyricFile(dialog().fileToSend(), back));
    EXPECT_EQ(back.lineCount(), 1);
    EXPECT_EQ(text(ExchangeDialog::idSongName), "xiaocheng");
}

}  // namespace
}  // namespace melnix
