// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool mail send: one message through the program's own SMTP client,
// to try a server or a collecting mailbox from the command line.

#include "cli/mail_command.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/file.h"
#include "common/gbk.h"
#include "mail/mail_message.h"
#include "mail/smtp_connection.h"

namespace {

using namespace melnix;

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;
constexpr int64_t kMaxBodyBytes = 1 << 20;

int usage() {
    std::fputs(
        "usage: melnix-tool mail send --server HOST [--port 25] --from ADDR --to ADDR [--to ADDR ...]\n"
        "                             --subject TEXT --body-file FILE [--attach FILE ...]\n",
        stderr);
    return kExitUsage;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "melnix-tool: %s\n", message.c_str());
    return kExitFailed;
}

struct SendOptions {
    std::string server;
    uint16_t port = CSMTPConnection::kDefaultPort;
    std::string from;
    std::vector<std::string> to;
    std::string subject;
    std::string bodyFile;
    std::vector<std::string> attachments;
};

bool parsePort(const std::string& s, uint16_t& port) {
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(s.c_str(), &end, 10);
    if (errno || end == s.c_str() || *end || v < 1 || v > 65535) return false;
    port = static_cast<uint16_t>(v);
    return true;
}

bool parseOptions(const std::vector<std::string>& args, SendOptions& o) {
    bool haveSubject = false;
    for (size_t i = 1; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return false;
        const std::string& key = args[i];
        const std::string& value = args[i + 1];
        if (key == "--server") o.server = value;
        else if (key == "--port") {
            if (!parsePort(value, o.port)) return false;
        } else if (key == "--from") o.from = value;
        else if (key == "--to") o.to.push_back(value);
        else if (key == "--subject") {
            o.subject = value;
            haveSubject = true;
        } else if (key == "--body-file") o.bodyFile = value;
        else if (key == "--attach") o.attachments.push_back(value);
        else return false;
    }
    return !o.server.empty() && !o.from.empty() && !o.to.empty() && haveSubject && !o.bodyFile.empty();
}

// The reason of a failed step, with the server's own words when it said any.
std::string reason(const CSMTPConnection& c) {
    std::string text = c.lastError() == kErrorBadCommand ? "the server refused the command"
                                                         : describeSocketError(c.lastError());
    if (!c.lastResponse().empty()) text += " (server said: " + c.lastResponse() + ")";
    return text;
}

int sendMail(const SendOptions& o) {
    MailMessage message;
    message.setFrom(MailAddress(o.from));
    for (const std::string& to : o.to) message.addRecipient(MailAddress(to));
    // The terminal speaks UTF-8; the program's mails carry GBK.
    message.setSubject(utf8ToGbk(o.subject));
    std::string body;
    errno = 0;
    if (!readWholeFile(o.bodyFile, body, kMaxBodyBytes))
        return fail(o.bodyFile + ": cannot read the body (" +
                    (errno ? std::strerror(errno) : "larger than 1 MiB") + ")");
    message.setBody(body);
    for (const std::string& path : o.attachments) {
        MailAttachment attachment;
        if (!attachment.attachFile(path)) return fail(path + ": cannot read the file to attach");
        message.addAttachment(std::move(attachment));
    }

    CSMTPConnection connection;
    const std::string where = o.server + ":" + std::to_string(o.port);
    if (!connection.connect(o.server, o.port)) return fail("cannot connect to " + where + ": " + reason(connection));
    if (!connection.sendMessage(message)) {
        const std::string why = reason(connection);
        connection.disconnect();
        return fail(where + " did not take the message: " + why);
    }
    // The server's answer to the message is what the user wants to see.
    std::printf("%s\n", connection.lastResponse().c_str());
    if (!connection.disconnect())
        std::fprintf(stderr, "melnix-tool: the message was sent, but QUIT was not answered: %s\n",
                     reason(connection).c_str());
    return kExitOk;
}

}  // namespace

int runMailCommand(const std::vector<std::string>& args) {
    if (args.empty() || args[0] != "send") return usage();
    SendOptions options;
    if (!parseOptions(args, options)) return usage();
    return sendMail(options);
}
