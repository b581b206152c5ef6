// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mail_message.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <sys/stat.h>

#include "mail/mail_test_support.h"

namespace melnix {
namespace {

using test::TempDir;
using test::writeBytes;

constexpr std::time_t kNewYear2004 = 1072915200;  // a Thursday, 00:00:00 UTC
constexpr const char* kNewYearDate = "Thu, 01 Jan 2004 00:00:00 UTC";

class MailMessageTest : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("TZ", "UTC", 1);
        ::tzset();
    }

    MailAttachment attach(const std::string& name, const std::string& content) {
        writeBytes(dir.file(name), content);
        MailAttachment a;
        EXPECT_TRUE(a.attachFile(dir.file(name)));
        return a;
    }

    static MailMessage message() {
        MailMessage m;
        m.setFrom(MailAddress("Ann", "ann@example.org"));
        m.addRecipient(MailAddress("bob@example.org"));
        m.addRecipient(MailAddress("Cid", "cid@example.org"));
        m.setSubject("LYRIC_of song");
        return m;
    }

    TempDir dir;
};

TEST_F(MailMessageTest, DateUsesTheCLibraryFormatInLocalTime) {
    EXPECT_EQ(formatMailDate(kNewYear2004), kNewYearDate);
}

TEST_F(MailMessageTest, PlainMessageIsHeaderAndStuffedBodyWithoutMime) {
    MailMessage m = message();
    m.setBody(".first\nsecond\r\n.\r\nlast");
    EXPECT_EQ(m.dataText(kNewYear2004),
              std::string("From: Ann <ann@example.org>\r\n"
                          "To: bob@example.org,Cid <cid@example.org>\r\n"
                          "Subject: LYRIC_of song\r\n"
                          "Date: ") +
                  kNewYearDate +
                  "\r\n"
                  "X-Mailer: CSMTPConnection v1.21\r\n"
                  "\r\n"
                  "..first\r\nsecond\r\n..\r\nlast");
}

TEST_F(MailMessageTest, AttachmentMakesATwoPartMimeBody) {
    MailMessage m = message();
    m.setReplyTo(MailAddress("reply@example.org"));
    m.setBody("Hi =\r\n.dot");
    m.addAttachment(attach("a.MLX", "M"));
    EXPECT_EQ(m.dataText(kNewYear2004),
              std::string("From: Ann <ann@example.org>\r\n"
                          "To: bob@example.org,Cid <cid@example.org>\r\n"
                          "Subject: LYRIC_of song\r\n"
                          "Date: ") +
                  kNewYearDate +
                  "\r\n"
                  "X-Mailer: CSMTPConnection v1.21\r\n"
                  "Reply-To: reply@example.org\r\n"
                  "MIME-Version: 1.0\r\n"
                  "Content-type: multipart/mixed; boundary=\"#BOUNDARY#\"\r\n"
                  "\r\n"
                  "\r\n--#BOUNDARY#\r\n"
                  "Content-Type: text/plain; charset=us-ascii\r\n"
                  "Content-Transfer-Encoding: quoted-printable\r\n"
                  "\r\n"
                  "Hi =3D\r\n=2Edot"
                  "\r\n\r\n--#BOUNDARY#\r\n"
                  "Content-Type: application/octet-stream; name=a.MLX\r\n"
                  "Content-Transfer-Encoding: base64\r\n"
                  "Content-Disposition: attachment; filename=a.MLX\r\n"
                  "\r\n"
                  "TQ==\r\n"
                  "\r\n--#BOUNDARY#--");
}

TEST_F(MailMessageTest, PartHeadersDescribeTextAndNamesTruly) {
    struct Case {
        std::string body;
        std::string fileName;
        std::string expectText;  // lines that must be in the data
    };
    const Case cases[] = {
        // GBK text is labelled as such, not as ASCII.
        {"\xC4\xE3\xBA\xC3", "a.MLX", "Content-Type: text/plain; charset=gbk\r\n"},
        // A name with a space or a separator is quoted so that it arrives whole.
        {"x", "my song.MLX", "; name=\"my song.MLX\"\r\n"},
        {"x", "a;b=c.MLX", "filename=\"a;b=c.MLX\"\r\n"},
        // A text that ends its line gains no empty line before the boundary.
        {"x\r\n", "a.MLX", "\r\n\r\nx\r\n\r\n--#BOUNDARY#\r\nContent-Type: application"},
    };
    for (const Case& c : cases) {
        MailMessage m = message();
        m.setBody(c.body);
        m.addAttachment(attach(c.fileName, "data"));
        EXPECT_NE(m.dataText(kNewYear2004).find(c.expectText), std::string::npos) << c.expectText;
    }
}

TEST_F(MailMessageTest, LineBreaksInNamesSubjectAndFileNameCannotStartAHeader) {
    MailMessage m;
    m.setFrom(MailAddress("Eve\r\nBcc: spy@example.org", "eve@example.org"));
    m.addRecipient(MailAddress("Bob\nX-Injected: 1", "bob@example.org"));
    m.setSubject("Hello\r\nBcc: spy@example.org");
    m.setReplyTo(MailAddress("r@example.org\r\nX-Injected: 2"));
    m.addAttachment(attach("a\r\nX-Injected: 3.MLX", "data"));
    const std::string data = m.dataText(kNewYear2004);
    for (const char* forged : {"\nBcc:", "\nX-Injected:", "\rBcc:", "\rX-Injected:"})
        EXPECT_EQ(data.find(forged), std::string::npos) << forged;
    EXPECT_NE(data.find("Subject: Hello  Bcc: spy@example.org\r\n"), std::string::npos);
    EXPECT_NE(data.find("name=\"a  X-Injected: 3.MLX\"\r\n"), std::string::npos);
}

TEST_F(MailMessageTest, AttachFileTakesTheFileNameAndItsBase64Text) {
    writeBytes(dir.file("Song.MLX"), std::string(57, 'x') + "y");
    MailAttachment a;
    ASSERT_TRUE(a.attachFile(dir.file("Song.MLX")));
    EXPECT_EQ(a.title(), "Song.MLX");
    std::string line;
    for (int i = 0; i < 19; ++i) line += "eHh4";  // "xxx"
    EXPECT_EQ(a.base64Text(), line + "\r\neQ==\r\n");
    EXPECT_EQ(a.length(), a.base64Text().size());
}

TEST_F(MailMessageTest, AttachFileRefusesWhatIsNotAReadableFile) {
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0600), 0);  // opening it would wait for a writer
    ::mkdir(dir.file("folder").c_str(), 0700);
    writeBytes(dir.file("Good.MLX"), "data");
    for (const std::string name : {"missing.MLX", "folder", "pipe"}) {
        MailAttachment a;
        ASSERT_TRUE(a.attachFile(dir.file("Good.MLX")));
        EXPECT_FALSE(a.attachFile(dir.file(name))) << name;
        // What is left is an empty part without a name.
        EXPECT_EQ(a.title(), "") << name;
        EXPECT_EQ(a.base64Text(), "") << name;
    }
}

}  // namespace
}  // namespace melnix
