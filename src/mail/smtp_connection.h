// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small SMTP client: one connection, one message, no authentication and no
// encryption. Every step reports true or false; lastResponse() and
// lastError() tell why a step failed.

#include <cstdint>
#include <string>
#include <string_view>

#include "mail/mail_message.h"
#include "mail/socket_channel.h"

namespace melnix {

// A command the server refused (a reply code other than the expected one).
// The number is that system's ERROR_BAD_COMMAND, as the other codes keep the
// Windows numbering too.
constexpr int kErrorBadCommand = 22;

class CSMTPConnection : public SocketChannel {
public:
    static constexpr uint16_t kDefaultPort = 25;
    static constexpr int kDefaultReplyTimeoutMs = 2000;
    // A reply is read into a buffer of this size, terminator included.
    static constexpr size_t kReplyBufferSize = 1000;

    CSMTPConnection() = default;
    ~CSMTPConnection() override;

    // Connects, reads the 220 greeting and introduces this host with HELO.
    // On failure the connection is given up (QUIT when it stood), and
    // lastResponse() and lastError() still tell why it failed.
    bool connect(const std::string& host, uint16_t port = kDefaultPort);
    // QUIT when connected (expecting 221); the socket is closed in any case.
    bool disconnect();
    bool sendMessage(const MailMessage& message);

    bool isConnected() const { return connected_; }
    const std::string& lastResponse() const { return lastResponse_; }
    int lastReplyCode() const { return lastReplyCode_; }
    // The longest silence a reply may keep before it counts as lost.
    void setReplyTimeout(int ms) { replyTimeoutMs_ = ms; }
    // However the bytes trickle in, a reply that has not come whole in this
    // long has timed out.
    static constexpr int kDefaultReplyDeadlineMs = 30000;
    void setReplyDeadline(int ms) { replyDeadlineMs_ = ms; }
    int replyTimeout() const { return replyTimeoutMs_; }

private:
    // Reads one whole reply (the lines of a multi-line reply included) and
    // checks its code.
    bool readReply(int expectedCode);
    // Sends a command and reads its reply; a wrong code becomes
    // kErrorBadCommand.
    bool command(std::string_view text, int expectedCode);
    // Disconnects after a failed step, keeping the failure's reply and code.
    void abandon();

    bool connected_ = false;
    std::string lastResponse_;
    int lastReplyCode_ = 0;
    int replyTimeoutMs_ = kDefaultReplyTimeoutMs;
    int replyDeadlineMs_ = kDefaultReplyDeadlineMs;
    // Bytes that arrived after the end of the last reply.
    std::string pending_;
};

}  // namespace melnix
