// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/smtp_connection.h"

#include <algorithm>

#include <cctype>
#include <chrono>
#include <ctime>
#include <unistd.h>

#include "mail/mime_text.h"

namespace melnix {
namespace {

using Clock = std::chrono::steady_clock;

// The number in a reply's first three characters; 0 when they are not digits.
int replyCode(std::string_view text) {
    int code = 0;
    for (size_t i = 0; i < 3; ++i) {
        if (i >= text.size() || !std::isdigit(static_cast<unsigned char>(text[i]))) return 0;
        code = code * 10 + (text[i] - '0');
    }
    return code;
}

// The length of the first complete reply in text, through the CR LF of its
// last line, or 0 while the reply is incomplete. A line "ddd-..." continues
// the reply; any other line ends it.
size_t replyLength(std::string_view text) {
    size_t start = 0;
    while (true) {
        size_t end = text.find("\r\n", start);
        if (end == std::string_view::npos) return 0;
        std::string_view line = text.substr(start, end - start);
        const bool continues = line.size() >= 4 && line[3] == '-' && replyCode(line) != 0;
        if (!continues) return end + 2;
        start = end + 2;
    }
}

std::string localHostName() {
    // At most 100 bytes of the name are sent.
    char name[101] = {};
    if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "localhost";
    return name;
}

}  // namespace

CSMTPConnection::~CSMTPConnection() {
    if (connected_) disconnect();
}

bool CSMTPConnection::readReply(int expectedCode) {
    std::string text = std::move(pending_);
    pending_.clear();
    char buffer[kReplyBufferSize];
    const auto started = Clock::now();
    auto lastArrival = started;
    size_t length = 0;
    while ((length = replyLength(text)) == 0) {
        if (text.size() >= kReplyBufferSize - 1) {
            // No room left for the rest of the reply: it cannot be read.
            lastResponse_ = text;
            lastReplyCode_ = replyCode(text);
            setLastError(kErrorUnexpectedReply);
            return false;
        }
        const auto now = Clock::now();
        const auto silent = std::chrono::duration_cast<std::chrono::milliseconds>(now - lastArrival).count();
        const auto taken = std::chrono::duration_cast<std::chrono::milliseconds>(now - started).count();
        // Silence ends a reply, and so does a whole that never comes: a
        // server trickling a byte at a time would otherwise hold on for ever.
        if (silent > replyTimeoutMs_ || taken > replyDeadlineMs_) {
            lastResponse_ = text;
            lastReplyCode_ = replyCode(text);
            setLastError(kErrorTimedOut);
            return false;
        }
        // Sleeps until a byte arrives or the silence has lasted long enough.
        const auto wait = std::min<long long>(replyTimeoutMs_ - silent, replyDeadlineMs_ - taken);
        if (!waitReadable(static_cast<int>(std::max<long long>(wait, 0)) + 1)) {
            if (!cancelled()) continue;
            lastResponse_ = text;
            lastReplyCode_ = replyCode(text);
            return false;
        }
        const long n = receive(buffer, kReplyBufferSize - 1 - text.size());
        if (n <= 0) {
            if (n == 0) setLastError(kErrorConnectionReset);
            lastResponse_ = text;
            lastReplyCode_ = replyCode(text);
            return false;
        }
        text.append(buffer, static_cast<size_t>(n));
        lastArrival = Clock::now();
    }
    pending_ = text.substr(length);
    text.resize(length - 2);
    lastResponse_ = std::move(text);
    lastReplyCode_ = replyCode(lastResponse_);
    if (lastReplyCode_ != expectedCode) {
        setLastError(kErrorUnexpectedReply);
        return false;
    }
    return true;
}

bool CSMTPConnection::command(std::string_view text, int expectedCode) {
    if (!send(text)) return false;
    if (readReply(expectedCode)) return true;
    if (lastError() == kErrorUnexpectedReply) setLastError(kErrorBadCommand);
    return false;
}

void CSMTPConnection::abandon() {
    std::string response = lastResponse_;
    const int code = lastReplyCode_;
    const int error = lastError();
    disconnect();
    lastResponse_ = std::move(response);
    lastReplyCode_ = code;
    setLastError(error);
}

bool CSMTPConnection::connect(const std::string& host, uint16_t port) {
    if (connected_) disconnect();
    pending_.clear();
    lastResponse_.clear();
    lastReplyCode_ = 0;
    if (!create()) return false;
    if (!SocketChannel::connect(host, port)) {
        close();
        return false;
    }
    connected_ = true;
    if (!readReply(220)) {
        abandon();
        return false;
    }
    if (!send("HELO " + localHostName() + "\r\n") || !readReply(250)) {
        abandon();
        return false;
    }
    return true;
}

bool CSMTPConnection::disconnect() {
    bool ok = true;
    if (connected_) {
        ok = send("QUIT\r\n") && readReply(221);
        if (!ok) setLastError(kErrorBadCommand);
        connected_ = false;
    }
    close();
    pending_.clear();
    return ok;
}

bool CSMTPConnection::sendMessage(const MailMessage& message) {
    if (!connected_) {
        setLastError(kErrorNotConnected);
        return false;
    }
    // Built before the dialogue: a large message takes a while to encode,
    // and a server waiting after DATA may give up meanwhile.
    std::string data = message.dataText(std::time(nullptr));
    // The end mark is CR LF "." CR LF; data that already ends a line needs
    // only the rest, or the message would gain an empty last line.
    const bool endsLine = data.size() >= 2 && data.compare(data.size() - 2, 2, "\r\n") == 0;
    data += endsLine ? ".\r\n" : "\r\n.\r\n";
    if (!command("MAIL FROM:<" + singleLine(message.from().address) + ">\r\n", 250)) return false;
    for (const MailAddress& r : message.recipients())
        if (!command("RCPT TO:<" + singleLine(r.address) + ">\r\n", 250)) return false;
    if (!command("DATA\r\n", 354)) return false;
    return command(data, 250);
}

}  // namespace melnix
