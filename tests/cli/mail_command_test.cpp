// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool mail send, run as a program against the real SMTP server.

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include "common/gbk.h"
#include "mail/mail_test_support.h"

namespace melnix {
namespace {

using test::ProgramResult;
using test::runProgram;
using test::SmtpSink;
using test::TempDir;
using test::writeBytes;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

class MailCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(sink.startError(), "");
        writeBytes(dir.file("body.txt"), "NAME =   \xD5\xC5\xC8\xFD\r\n.dot line\r\n");
        writeBytes(dir.file("Song.MLX"), std::string("MLX\0\x01\xFF", 6));
    }

    std::vector<std::string> command(std::vector<std::string> extra) const {
        std::vector<std::string> args{MELNIX_TOOL,         "mail",      "send", "--server", "127.0.0.1", "--port",
                                      std::to_string(sink.port()), "--from", "ann@example.org", "--to",
                                      "box@example.org",   "--subject", "LYRIC_of 歌", "--body-file",
                                      dir.file("body.txt")};
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    }

    SmtpSink sink;
    TempDir dir;
};

TEST_F(MailCommandTest, SendsTheMessageAndPrintsTheServersAnswer) {
    const ProgramResult r = runProgram(command({"--attach", dir.file("Song.MLX")}));
    ASSERT_EQ(r.exitCode, kExitOk) << r.err;
    EXPECT_EQ(r.out, "250 Message accepted\n");
    const test::ReceivedMail got = sink.message(1);
    ASSERT_TRUE(got.found);
    EXPECT_EQ(got.rcptTo, std::vector<std::string>{"box@example.org"});
    EXPECT_EQ(got.header("Subject"), std::vector<std::string>{utf8ToGbk("LYRIC_of 歌")});
    ASSERT_EQ(got.parts.size(), 2u);
    EXPECT_EQ(got.parts[0].content, "NAME =   \xD5\xC5\xC8\xFD\r\n.dot line\r\n");
    EXPECT_EQ(got.parts[1].filename, "Song.MLX");
    EXPECT_EQ(got.parts[1].content, std::string("MLX\0\x01\xFF", 6));
}

TEST_F(MailCommandTest, FailuresGiveTheirReason) {
    int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    ASSERT_EQ(::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len), 0);
    ::close(s);  // nobody listens there now
    std::vector<std::string> refused = command({});
    refused[6] = std::to_string(ntohs(addr.sin_port));
    std::vector<std::string> noBody = command({});
    noBody.back() = dir.file("missing.txt");

    struct Case {
        const char* what;
        std::vector<std::string> args;
        int exitCode;
        std::string says;
    };
    const Case cases[] = {
        {"refused", refused, kExitFailed, "connection refused"},
        {"rejected sender", command({"--from", "@"}), kExitFailed, "(server said: 553 "},
        {"missing body", noBody, kExitFailed, "missing.txt"},
        {"missing attachment", command({"--attach", dir.file("none.MLX")}), kExitFailed, "none.MLX"},
        {"no recipient", {MELNIX_TOOL, "mail", "send", "--server", "127.0.0.1", "--from", "a@b", "--subject", "s",
                          "--body-file", dir.file("body.txt")}, kExitUsage, "usage"},
        {"bad port", command({"--port", "70000"}), kExitUsage, "usage"},
        {"unknown option", command({"--cc", "x@y"}), kExitUsage, "usage"},
    };
    for (const Case& c : cases) {
        const ProgramResult r = runProgram(c.args);
        EXPECT_EQ(r.exitCode, c.exitCode) << c.what << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.what;
    }
    EXPECT_FALSE(sink.message(1).found);
}

}  // namespace
}  // namespace melnix
