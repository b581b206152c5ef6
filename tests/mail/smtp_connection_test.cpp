// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/smtp_connection.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <netinet/in.h>
#include <random>
#include <regex>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

#include "mail/mime_text.h"
#include "mail/mail_test_support.h"

namespace melnix {
namespace {

using test::ReceivedMail;
using test::ScriptedPeer;
using test::SmtpSink;
using test::TempDir;
using test::writeBytes;
using Clock = std::chrono::steady_clock;

constexpr const char* kLocalhost = "127.0.0.1";

MailMessage basicMessage() {
    MailMessage m;
    m.setFrom(MailAddress("Ann", "ann@example.org"));
    m.addRecipient(MailAddress("bob@example.org"));
    m.addRecipient(MailAddress("Cid", "cid@example.org"));
    m.setSubject("LYRIC_of \xB8\xE8");  // GBK, as song names are
    m.setReplyTo(MailAddress("reply@example.org"));
    return m;
}

// What a reader of the received message sees as the text: CR LF line ends,
// and the last line ended.
std::string receivedText(const std::string& body) {
    std::string text = withCrLfLineEnds(body);
    if (!text.empty() && !text.ends_with("\r\n")) text += "\r\n";
    return text;
}

std::string allByteValues(int rounds) {
    std::string bytes;
    std::mt19937 random(7);
    for (int r = 0; r < rounds; ++r)
        for (int b = 0; b < 256; ++b) bytes += static_cast<char>((b + static_cast<int>(random() % 256)) & 0xFF);
    return bytes;
}

class SmtpServerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(sink.startError(), ""); }

    bool send(const MailMessage& m, std::string* response = nullptr) {
        CSMTPConnection connection;
        if (!connection.connect(kLocalhost, sink.port())) {
            ADD_FAILURE() << "connect: " << connection.lastError() << " " << connection.lastResponse();
            return false;
        }
        const bool sent = connection.sendMessage(m);
        if (response) *response = connection.lastResponse();
        EXPECT_TRUE(connection.disconnect()) << connection.lastResponse();
        return sent;
    }

    SmtpSink sink;
    TempDir dir;
};

TEST_F(SmtpServerTest, MessagesArriveWithTheirHeadersTextAndFiles) {
    struct Case {
        const char* what;
        std::string body;
        std::vector<std::string> files;  // contents of the attached files
    };
    std::string longGbk;
    for (int i = 0; i < 120; ++i) longGbk += i % 7 ? "\xC4\xE3" : "= ";
    const std::string dotted = "DownLoad =   http://\r\n.starts with a dot\r\n.\r\n..two dots\r\nlast line";
    const std::string lfLines = ".first line\nunix line ends\n.\n";
    const Case cases[] = {
        {"dot lines", dotted, {}},
        {"dot lines, attached", dotted, {"M"}},
        {"LF line ends", lfLines, {}},
        {"LF line ends, attached", lfLines, {std::string(57, 'q')}},
        {"long GBK lines", longGbk + "  \r\n" + longGbk, {}},
        {"long GBK lines, attached", longGbk + "  \r\n" + longGbk, {allByteValues(40)}},
        {"empty body", "", {}},
        {"empty body, two files", "", {"", std::string(58, '\xFF')}},
    };
    int k = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MailMessage m = basicMessage();
        m.setBody(c.body);
        for (size_t i = 0; i < c.files.size(); ++i) {
            const std::string path = dir.file("file" + std::to_string(i) + ".MLX");
            writeBytes(path, c.files[i]);
            MailAttachment a;
            ASSERT_TRUE(a.attachFile(path));
            m.addAttachment(a);
        }
        std::string response;
        ASSERT_TRUE(send(m, &response));
        EXPECT_EQ(response, "250 Message accepted");

        const ReceivedMail got = sink.message(++k);
        ASSERT_TRUE(got.found);
        EXPECT_EQ(got.defects, "");
        EXPECT_EQ(got.mailFrom, "ann@example.org");
        EXPECT_EQ(got.rcptTo, (std::vector<std::string>{"bob@example.org", "cid@example.org"}));
        EXPECT_EQ(got.header("From"), std::vector<std::string>{"Ann <ann@example.org>"});
        EXPECT_EQ(got.header("To"), std::vector<std::string>{"bob@example.org,Cid <cid@example.org>"});
        EXPECT_EQ(got.header("Subject"), std::vector<std::string>{"LYRIC_of \xB8\xE8"});
        EXPECT_EQ(got.header("X-Mailer"), std::vector<std::string>{"CSMTPConnection v1.21"});
        EXPECT_EQ(got.header("Reply-To"), std::vector<std::string>{"reply@example.org"});
        ASSERT_EQ(got.header("Date").size(), 1u);
        EXPECT_TRUE(std::regex_match(got.header("Date")[0],
                                     std::regex(R"([A-Z][a-z]{2}, \d\d [A-Z][a-z]{2} \d{4} \d\d:\d\d:\d\d \S+)")))
            << got.header("Date")[0];

        ASSERT_EQ(got.parts.size(), 1 + c.files.size());
        EXPECT_EQ(got.parts[0].content, receivedText(c.body));
        if (c.files.empty()) {
            EXPECT_TRUE(got.header("MIME-Version").empty());
            EXPECT_EQ(got.raw.find("#BOUNDARY#"), std::string::npos);
            continue;
        }
        EXPECT_EQ(got.header("MIME-Version"), std::vector<std::string>{"1.0"});
        for (size_t i = 0; i < c.files.size(); ++i) {
            EXPECT_EQ(got.parts[i + 1].content, c.files[i]) << "file " << i;
            EXPECT_EQ(got.parts[i + 1].filename, "file" + std::to_string(i) + ".MLX");
            EXPECT_EQ(got.parts[i + 1].type, "application/octet-stream");
        }
    }
}

TEST_F(SmtpServerTest, OneConnectionCarriesOneMessageAndEndsWithQuit) {
    CSMTPConnection connection;
    ASSERT_TRUE(connection.connect(kLocalhost, sink.port()));
    EXPECT_TRUE(connection.isConnected());
    EXPECT_EQ(connection.lastReplyCode(), 250);  // the reply to HELO
    MailMessage m = basicMessage();
    m.setBody("x");
    EXPECT_TRUE(connection.sendMessage(m));
    EXPECT_TRUE(connection.disconnect());
    EXPECT_EQ(connection.lastReplyCode(), 221);
    EXPECT_FALSE(connection.isConnected());
    EXPECT_FALSE(connection.isOpen());
    EXPECT_FALSE(connection.sendMessage(m));
    EXPECT_EQ(connection.lastError(), kErrorNotConnected);
}

// The scripted peer's greeting and the replies up to DATA.
std::vector<ScriptedPeer::Step> upToData() {
    using S = ScriptedPeer;
    return {S::say("220 peer ready\r\n"), S::hear(), S::say("250 hello\r\n"), S::hear(), S::say("250 sender ok\r\n"),
            S::hear(),  S::say("250 recipient ok\r\n"), S::hear(), S::say("354 go ahead\r\n")};
}

MailMessage simpleMessage() {
    MailMessage m;
    m.setFrom(MailAddress("ann@example.org"));
    m.addRecipient(MailAddress("bob@example.org"));
    m.setBody("hi");
    return m;
}

TEST(SmtpDialogue, RefusedGreetingFailsAfterSayingQuit) {
    using S = ScriptedPeer;
    ScriptedPeer peer({S::say("554 no service here\r\n"), S::hear(), S::say("221 bye\r\n")});
    {
        CSMTPConnection connection;
        EXPECT_FALSE(connection.connect(kLocalhost, peer.port()));
        EXPECT_FALSE(connection.isConnected());
        EXPECT_EQ(connection.lastError(), kErrorUnexpectedReply);
        EXPECT_EQ(connection.lastResponse(), "554 no service here");
        EXPECT_EQ(connection.lastReplyCode(), 554);
    }
    EXPECT_EQ(peer.heard(), std::vector<std::string>{"QUIT"});
}

TEST(SmtpDialogue, RepliesArrivingInPiecesOrOverSeveralLinesReadAsOne) {
    using S = ScriptedPeer;
    struct Case {
        const char* what;
        std::vector<S::Step> script;  // after HELO
        std::string expect;
    };
    const Case cases[] = {
        {"code split", {S::say("25"), S::pause(300), S::say("0 welcome\r\n")}, "250 welcome"},
        {"CR LF split", {S::say("250 welcome\r"), S::pause(300), S::say("\n")}, "250 welcome"},
        {"several lines", {S::say("250-first\r\n250-second\r\n"), S::pause(300), S::say("250 last\r\n")},
         "250-first\r\n250-second\r\n250 last"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<S::Step> script{S::say("220-peer\r\n220 ready\r\n"), S::hear()};
        script.insert(script.end(), c.script.begin(), c.script.end());
        script.insert(script.end(), {S::hear(), S::say("221 bye\r\n")});
        ScriptedPeer peer(script);
        CSMTPConnection connection;
        ASSERT_TRUE(connection.connect(kLocalhost, peer.port())) << connection.lastResponse();
        EXPECT_EQ(connection.lastReplyCode(), 250);
        EXPECT_EQ(connection.lastResponse(), c.expect);
        EXPECT_TRUE(connection.disconnect());
        const std::vector<std::string> heard = peer.heard();
        ASSERT_EQ(heard.size(), 2u);
        EXPECT_EQ(heard[0].rfind("HELO ", 0), 0u) << heard[0];
        EXPECT_GT(heard[0].size(), 5u);
        EXPECT_EQ(heard[1], "QUIT");
    }
}

TEST(SmtpDialogue, SilentServerTimesOutAfterTwoSeconds) {
    using S = ScriptedPeer;
    ScriptedPeer peer({S::say("220 ready\r\n"), S::hear(), S::say("250 hello\r\n"), S::hear(), S::pause(2600),
                       S::hear(), S::say("221 bye\r\n")});
    CSMTPConnection connection;
    ASSERT_TRUE(connection.connect(kLocalhost, peer.port()));
    const auto start = Clock::now();
    EXPECT_FALSE(connection.sendMessage(simpleMessage()));
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
    EXPECT_EQ(connection.lastError(), kErrorTimedOut);
    EXPECT_GE(waited, 2000);
    EXPECT_LT(waited, 20000);
    connection.disconnect();
    const std::vector<std::string> heard = peer.heard();
    ASSERT_EQ(heard.size(), 3u);
    EXPECT_EQ(heard[1], "MAIL FROM:<ann@example.org>");
    EXPECT_EQ(heard[2], "QUIT");
}

TEST(SmtpDialogue, RefusedCommandFailsWithTheServersReply) {
    using S = ScriptedPeer;
    ScriptedPeer peer({S::say("220 ready\r\n"), S::hear(), S::say("250 hello\r\n"), S::hear(),
                       S::say("250 sender ok\r\n"), S::hear(), S::say("550 no such user\r\n"), S::hear(),
                       S::say("221 bye\r\n")});
    CSMTPConnection connection;
    ASSERT_TRUE(connection.connect(kLocalhost, peer.port()));
    EXPECT_FALSE(connection.sendMessage(simpleMessage()));
    EXPECT_EQ(connection.lastError(), kErrorBadCommand);
    EXPECT_EQ(connection.lastResponse(), "550 no such user");
    EXPECT_TRUE(connection.disconnect());
    const std::vector<std::string> heard = peer.heard();
    ASSERT_EQ(heard.size(), 4u);
    EXPECT_EQ(heard[2], "RCPT TO:<bob@example.org>");
    EXPECT_EQ(heard[3], "QUIT");
}

// Refusals at the two steps of the data phase: the DATA command itself, and
// the message once its final dot has gone.
TEST(SmtpDialogue, RefusalsInTheDataPhaseFailTheSend) {
    using S = ScriptedPeer;
    std::vector<S::Step> atData = upToData();
    atData.back() = S::say("554 no data today\r\n");
    atData.push_back(S::hear());
    atData.push_back(S::say("221 bye\r\n"));
    std::vector<S::Step> afterDot = upToData();
    // Said at once, read by the client only after its final dot.
    afterDot.push_back(S::say("552 message too big\r\n"));
    afterDot.push_back(S::pause(500));
    afterDot.push_back(S::hangup());
    const struct {
        const char* what;
        std::vector<S::Step> script;
        const char* reply;
    } cases[] = {{"at DATA", atData, "554 no data today"}, {"after the final dot", afterDot, "552 message too big"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPeer peer(c.script);
        CSMTPConnection connection;
        ASSERT_TRUE(connection.connect(kLocalhost, peer.port()));
        EXPECT_FALSE(connection.sendMessage(simpleMessage()));
        EXPECT_EQ(connection.lastError(), kErrorBadCommand);
        EXPECT_EQ(connection.lastResponse(), c.reply);
    }
}

TEST(SmtpDialogue, AddressWithALineBreakCannotAddACommand) {
    using S = ScriptedPeer;
    ScriptedPeer peer({S::say("220 ready\r\n"), S::hear(), S::say("250 hello\r\n"), S::hear(),
                       S::say("501 bad address\r\n"), S::hear(), S::say("221 bye\r\n")});
    {
        CSMTPConnection connection;
        ASSERT_TRUE(connection.connect(kLocalhost, peer.port()));
        MailMessage m = simpleMessage();
        m.setFrom(MailAddress("ann@example.org>\r\nRCPT TO:<spy@example.org"));
        EXPECT_FALSE(connection.sendMessage(m));
    }
    const std::vector<std::string> heard = peer.heard();
    ASSERT_GE(heard.size(), 2u);
    EXPECT_EQ(heard[1], "MAIL FROM:<ann@example.org>  RCPT TO:<spy@example.org>");
    for (const std::string& line : heard) EXPECT_NE(line.rfind("RCPT", 0), 0u) << line;
    EXPECT_EQ(heard.back(), "QUIT");  // said by the connection as it was destroyed
}

TEST(SmtpDialogue, BrokenServersFailWithoutWaiting) {
    using S = ScriptedPeer;
    struct Case {
        const char* what;
        std::vector<S::Step> script;
        int error;
    };
    const Case cases[] = {
        {"hangs up after the greeting", {S::say("220 ready\r\n"), S::hear(), S::hangup()}, kErrorConnectionReset},
        {"hangs up mid-reply", {S::say("220 rea"), S::hangup()}, kErrorConnectionReset},
        // A reply that would not fit the reply buffer, without a line end.
        {"endless reply", {S::say(std::string(1500, '2')), S::hear(), S::say("221 bye\r\n")}, kErrorUnexpectedReply},
        {"not a reply", {S::say("hello there\r\n"), S::hear(), S::say("221 bye\r\n")}, kErrorUnexpectedReply},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPeer peer(c.script);
        CSMTPConnection connection;
        // Long enough that a failure by time-out would show in the error.
        connection.setReplyTimeout(60000);
        EXPECT_FALSE(connection.connect(kLocalhost, peer.port()));
        EXPECT_EQ(connection.lastError(), c.error) << connection.lastResponse();
        EXPECT_FALSE(connection.isOpen());
    }
}

// A server that sends its reply a byte at a time, never silent for long:
// the reply still has its deadline.
TEST(SmtpDialogue, ATricklingReplyEndsAtItsDeadline) {
    std::vector<ScriptedPeer::Step> script = {ScriptedPeer::say("22")};
    for (int i = 0; i < 40; ++i) {
        script.push_back(ScriptedPeer::pause(100));
        script.push_back(ScriptedPeer::say("0"));
    }
    script.push_back(ScriptedPeer::say(" ready\r\n"));
    ScriptedPeer peer(script);
    CSMTPConnection connection;
    connection.setReplyDeadline(1000);
    // Without the deadline the greeting would come whole after four seconds
    // and the dialogue would end otherwise (the script ends there).
    EXPECT_FALSE(connection.connect(kLocalhost, peer.port()));
    EXPECT_EQ(connection.lastError(), kErrorTimedOut);
}

TEST(SmtpDialogue, ServerThatStopsReadingCannotBlockTheSend) {
    std::vector<ScriptedPeer::Step> script = upToData();
    script.push_back(ScriptedPeer::pause(3000));
    ScriptedPeer peer(script);
    CSMTPConnection connection;
    connection.setSendTimeout(300);
    // Only the send may run out of time here.
    connection.setReplyTimeout(60000);
    ASSERT_TRUE(connection.connect(kLocalhost, peer.port()));
    MailMessage m = simpleMessage();
    // Far more than the socket buffers of both ends hold.
    m.setBody(std::string(16 << 20, 'x'));
    EXPECT_FALSE(connection.sendMessage(m));
    EXPECT_EQ(connection.lastError(), kErrorTimedOut);
    connection.disconnect();
    EXPECT_FALSE(connection.isOpen());
}

// The exchange dialog's cancel button: another thread sets the flag, and
// whatever the client waits for (a greeting, a peer that stopped reading)
// it gives up at once.
TEST(SmtpDialogue, ACancelFromAnotherThreadEndsEveryWait) {
    using S = ScriptedPeer;
    // The peer stalls for longer than any test should take; the cancel
    // comes while the client waits there, however long it took to get there
    // (building a 16 MB message is slow on a loaded machine).
    constexpr int kStallMs = 30000;
    std::vector<S::Step> stalledSend = upToData();
    stalledSend.push_back(S::pause(kStallMs));
    struct Case {
        const char* name;
        std::vector<S::Step> script;
        bool waitsInSend;
    };
    const Case cases[] = {
        {"no greeting", {S::pause(kStallMs), S::say("220 late\r\n")}, false},
        {"peer stopped reading", stalledSend, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedPeer peer(c.script);
        std::atomic<bool> cancel{false};
        std::atomic<Clock::rep> cancelledAt{0};
        CSMTPConnection connection;
        connection.setCancel(&cancel);
        connection.setReplyTimeout(60000);
        connection.setSendTimeout(60000);
        std::thread canceller([&] {
            peer.waitUntilAt(c.script.size() - (c.waitsInSend ? 1 : 2), 60000);
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            cancelledAt = Clock::now().time_since_epoch().count();
            cancel = true;
        });
        MailMessage m = simpleMessage();
        m.setBody(std::string(16 << 20, 'x'));
        bool ok = connection.connect(kLocalhost, peer.port());
        if (c.waitsInSend) {
            EXPECT_TRUE(ok);
            if (ok) ok = connection.sendMessage(m);
        }
        const auto end = Clock::now();
        canceller.join();
        const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(
                                end - Clock::time_point(Clock::duration(cancelledAt.load())))
                                .count();
        EXPECT_FALSE(ok);
        EXPECT_EQ(connection.lastError(), kErrorInterrupted);
        EXPECT_LT(waited, 2000);
        connection.disconnect();
        EXPECT_FALSE(connection.isOpen());
    }
}

TEST(SmtpDialogue, UnreachableServersFailAtConnect) {
    // A port nobody listens on: bound, then closed again.
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    ::close(s);
    const uint16_t closedPort = ntohs(addr.sin_port);

    struct Case {
        std::string host;
        uint16_t port;
        int error;
    };
    const Case cases[] = {
        {kLocalhost, closedPort, kErrorConnectionRefused},
        {"localhost", closedPort, kErrorConnectionRefused},  // resolved by name
        {"no-such-host.invalid", 25, kErrorInvalidArgument},
        {"", 25, kErrorInvalidArgument},
    };
    for (const Case& c : cases) {
        CSMTPConnection connection;
        EXPECT_FALSE(connection.connect(c.host, c.port)) << c.host;
        EXPECT_EQ(connection.lastError(), c.error) << c.host;
        EXPECT_FALSE(connection.isConnected());
        EXPECT_FALSE(connection.isOpen());
    }
}

}  // namespace
}  // namespace melnix
