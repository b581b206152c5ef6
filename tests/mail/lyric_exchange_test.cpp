// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/lyric_exchange.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "common/gbk.h"
#include "common/paths.h"
#include "mail/mail_test_support.h"

namespace melnix {
namespace {

using test::ReceivedMail;
using test::ScriptedPeer;
using test::SmtpSink;
using test::TempDir;
using test::writeBytes;

std::string g(const char* utf8) { return utf8ToGbk(utf8); }

SenderProfile womanProfile() {
    SenderProfile p;
    p.name = g("小李");
    p.isFemale = true;
    p.age = 27;
    p.area = g("北京");
    p.qqNumber = "12345";
    p.homePage = "http://li.example.org";
    p.email = "li@example.org";
    p.messageToAuthor = "thanks";
    p.messageToFriends = g("你好");
    return p;
}

TEST(ExchangeMail, BodyLinesAreRightAlignedAndUnterminated) {
    SenderProfile man;
    man.age = parseSenderAge("abc");  // no digits
    man.email = "he@example.org";
    struct Case {
        const char* what;
        SenderProfile profile;
        std::string download;
        std::string body;
    };
    const Case cases[] = {
        {"a woman", womanProfile(), "http://songs.example.org/a.mp3",
         "       DownLoad =   http://songs.example.org/a.mp3\r\n"
         "           NAME =   " + g("小李") + "\r\n"
         "            SEX =   F\r\n"
         "            AGE =   27\r\n"
         "           AREA =   " + g("北京") + "\r\n"
         "         QQ/ICQ =   12345\r\n"
         "           HTTP =   http://li.example.org\r\n"
         "         EMail1 =   li@example.org\r\n"
         "   MessageToTVQ =   thanks\r\n"
         "MessageToFriend =   " + g("你好")},
        {"a man of no age", man, "http://",
         "       DownLoad =   http://\r\n"
         "           NAME =   \r\n"
         "            SEX =   M\r\n"
         "            AGE =   0\r\n"
         "           AREA =   \r\n"
         "         QQ/ICQ =   \r\n"
         "           HTTP =   \r\n"
         "         EMail1 =   he@example.org\r\n"
         "   MessageToTVQ =   \r\n"
         "MessageToFriend =   "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(exchangeMailBody(c.download, c.profile), c.body);
    }
    EXPECT_EQ(exchangeSubject(g("月亮代表我的心")), "LYRIC_of " + g("月亮代表我的心"));
}

TEST(ExchangeMail, AgeIsTheLeadingNumberWithinTheStoredRange) {
    const std::pair<const char*, int> cases[] = {
        {"", 0}, {"abc", 0}, {"27", 27}, {" 27 years", 27}, {"007", 7}, {"120", 120}, {"121", 120},
        {"999999999999", 120}, {"-5", 0},
    };
    for (const auto& [text, age] : cases) EXPECT_EQ(parseSenderAge(text), age) << text;
}

TEST(ExchangeMail, DestinationsAreReadFromEntries) {
    using D = ExchangeDestination;
    struct Case {
        const char* text;
        std::vector<D> expect;
    };
    const Case cases[] = {
        {"", {}},
        {"smtp.example.org lyrics@example.org", {{"smtp.example.org", 25, "lyrics@example.org"}}},
        {"127.0.0.1:2525 a@x;  10.0.0.2  b@y  ", {{"127.0.0.1", 2525, "a@x"}, {"10.0.0.2", 25, "b@y"}}},
        {"# the exchange\r\nmail.a.org box@a.org\r\n\r\nmail.b.org:587 box@b.org\r\nmail.c.org box@c.org\r\n",
         {{"mail.a.org", 25, "box@a.org"}, {"mail.b.org", 587, "box@b.org"}}},
        // Entries that do not read are passed over.
        {"no-mailbox\nhost:0 a@x\nhost:70000 a@x\nhost:2x a@x\n:25 a@x\nhost a@x extra\nok.org c@d",
         {{"ok.org", 25, "c@d"}}},
    };
    for (const Case& c : cases) EXPECT_EQ(parseExchangeDestinations(c.text), c.expect) << c.text;
}

TEST(ExchangeMail, TheEnvironmentComesBeforeTheSettingsFile) {
    const std::string settings = dataFolder() + "/" + kExchangeSettingsFile;
    writeBytes(settings, "file.example.org box@file.example.org\n");
    ::setenv(kExchangeEnvironment, "env.example.org:26 box@env.example.org", 1);
    EXPECT_EQ(configuredExchangeDestinations(),
              (std::vector<ExchangeDestination>{{"env.example.org", 26, "box@env.example.org"}}));
    ::setenv(kExchangeEnvironment, "", 1);  // set but empty: none, whatever the file says
    EXPECT_TRUE(configuredExchangeDestinations().empty());
    ::unsetenv(kExchangeEnvironment);
    EXPECT_EQ(configuredExchangeDestinations(),
              (std::vector<ExchangeDestination>{{"file.example.org", 25, "box@file.example.org"}}));
    std::filesystem::remove(settings);
    EXPECT_TRUE(configuredExchangeDestinations().empty());
}

class ExchangeSendTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(first.startError(), "");
        ASSERT_EQ(second.startError(), "");
        closed = test::closedLocalPort();
        ASSERT_NE(closed, 0);
        writeBytes(dir.file("song.MLX"), lyric);
        mail.profile = womanProfile();
        mail.downloadAddress = "http://songs.example.org/song.mp3";
        mail.songName = g("小城故事");
        mail.filePath = dir.file("song.MLX");
    }

    void expectDelivered(const ReceivedMail& got, const std::string& mailbox, const std::string& file,
                         const std::string& fileName) {
        ASSERT_TRUE(got.found);
        EXPECT_EQ(got.defects, "");
        EXPECT_EQ(got.mailFrom, "li@example.org");
        EXPECT_EQ(got.rcptTo, std::vector<std::string>{mailbox});
        EXPECT_EQ(got.header("From"), std::vector<std::string>{"li@example.org"});
        EXPECT_EQ(got.header("To"), std::vector<std::string>{mailbox});
        EXPECT_EQ(got.header("Subject"), std::vector<std::string>{"LYRIC_of " + g("小城故事")});
        ASSERT_EQ(got.parts.size(), 2u);
        // The reader ends the text's last line.
        EXPECT_EQ(got.parts[0].content, exchangeMailBody(mail.downloadAddress, mail.profile) + "\r\n");
        EXPECT_EQ(got.parts[1].content, file);
        EXPECT_EQ(got.parts[1].filename, fileName);
        EXPECT_EQ(got.parts[1].type, "application/octet-stream");
    }

    SmtpSink first, second;
    uint16_t closed = 0;
    TempDir dir;
    const std::string lyric = std::string("MLX\x00\x01\xFF", 6) + g("歌词");
    ExchangeMail mail;
};

TEST_F(ExchangeSendTest, EveryDestinationGetsItsOwnCopy) {
    const std::vector<ExchangeDestination> both = {{"127.0.0.1", first.port(), "one@lyrics.example.org"},
                                                   {"127.0.0.1", second.port(), "two@lyrics.example.org"}};
    EXPECT_EQ(sendExchangeMail(both, mail), 2);
    expectDelivered(first.message(1), "one@lyrics.example.org", lyric, "song.MLX");
    expectDelivered(second.message(1), "two@lyrics.example.org", lyric, "song.MLX");
}

TEST_F(ExchangeSendTest, AFailedDestinationDoesNotKeepTheOtherFromTrying) {
    // Refused first, then delivered.
    EXPECT_EQ(sendExchangeMail({{"127.0.0.1", closed, "gone@x.org"}, {"127.0.0.1", second.port(), "two@x.org"}}, mail),
              1);
    expectDelivered(second.message(1), "two@x.org", lyric, "song.MLX");

    // Delivered first, then a server that turns the client away.
    using S = ScriptedPeer;
    ScriptedPeer refusing({S::say("554 no service\r\n"), S::hear(), S::say("221 bye\r\n")});
    EXPECT_EQ(sendExchangeMail({{"127.0.0.1", first.port(), "one@x.org"}, {"127.0.0.1", refusing.port(), "r@x.org"}},
                               mail),
              1);
    expectDelivered(first.message(1), "one@x.org", lyric, "song.MLX");
    EXPECT_EQ(refusing.heard(), std::vector<std::string>{"QUIT"});
}

TEST_F(ExchangeSendTest, NothingTakenWhenEveryDestinationFails) {
    using S = ScriptedPeer;
    ScriptedPeer refusing({S::say("554 no service\r\n"), S::hear(), S::say("221 bye\r\n")});
    EXPECT_EQ(sendExchangeMail({{"127.0.0.1", closed, "a@x.org"}, {"127.0.0.1", refusing.port(), "b@x.org"}}, mail), 0);
    EXPECT_EQ(sendExchangeMail({}, mail), 0);
}

TEST_F(ExchangeSendTest, AnUnreadableFileGoesAsAnEmptyPartWithoutAName) {
    mail.filePath = dir.file("missing.MLX");
    EXPECT_EQ(sendExchangeMail({{"127.0.0.1", first.port(), "one@x.org"}}, mail), 1);
    expectDelivered(first.message(1), "one@x.org", "", "");
}

}  // namespace
}  // namespace melnix
