// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One blocking TCP socket of the Internet family. Failures are reported as
// false (or -1) with a code in lastError(). Codes use the Windows Sockets
// numbering (10000 plus the Berkeley error number), so a code means the same
// whatever system the program runs on.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace melnix {

constexpr int kErrorInterrupted = 10004;
constexpr int kErrorAccessDenied = 10013;
constexpr int kErrorInvalidArgument = 10022;  // also: a host name that does not resolve
constexpr int kErrorTooManySockets = 10024;
constexpr int kErrorNotASocket = 10038;
// The SMTP client reports a reply with an unexpected code under this number.
constexpr int kErrorUnexpectedReply = 10043;
constexpr int kErrorAddressNotAvailable = 10049;
constexpr int kErrorNetworkDown = 10050;
constexpr int kErrorNetworkUnreachable = 10051;
constexpr int kErrorConnectionAborted = 10053;
constexpr int kErrorConnectionReset = 10054;  // also: the peer closed the connection
constexpr int kErrorNoBuffers = 10055;
constexpr int kErrorNotConnected = 10057;
constexpr int kErrorTimedOut = 10060;
constexpr int kErrorConnectionRefused = 10061;
constexpr int kErrorHostUnreachable = 10065;
// A system error without a counterpart above.
constexpr int kErrorOther = 10000;

// The code for a system error number.
int socketErrorFromErrno(int err);

// A short English sentence for a code, for diagnostics.
std::string describeSocketError(int code);

class SocketChannel {
public:
    // A peer that stops reading must not block a send (or a connect) for
    // ever.
    static constexpr int kDefaultSendTimeoutMs = 30000;

    SocketChannel() = default;
    virtual ~SocketChannel();
    SocketChannel(const SocketChannel&) = delete;
    SocketChannel& operator=(const SocketChannel&) = delete;

    // A new stream socket; a socket that is open is closed first.
    bool create();
    // host: a dotted IPv4 address, else a name whose first IPv4 address is
    // used; a name that does not resolve fails with kErrorInvalidArgument.
    bool connect(const std::string& host, uint16_t port);
    // Sends all bytes (several system sends when needed).
    bool send(const char* data, size_t length);
    bool send(std::string_view text) { return send(text.data(), text.size()); }
    // The count received, 0 when the peer has closed the connection, -1 on
    // an error.
    long receive(char* buffer, size_t size);
    // Whether a receive would return at once; never waits.
    bool isReadable();
    // Whether a receive would return at once, waiting up to timeoutMs for it.
    bool waitReadable(int timeoutMs);
    void close();

    bool isOpen() const { return fd_ >= 0; }
    int lastError() const { return lastError_; }
    void setLastError(int code) { lastError_ = code; }
    // Applies to sockets created afterwards.
    void setSendTimeout(int ms) { sendTimeoutMs_ = ms; }
    // Another thread may set *cancel to give up: every wait (connect, send,
    // receive) looks at it at least every kCancelCheckMs and then fails with
    // kErrorInterrupted. The flag must outlive the channel's use.
    static constexpr int kCancelCheckMs = 50;
    void setCancel(const std::atomic<bool>* cancel) { cancel_ = cancel; }
    bool cancelled() const { return cancel_ && cancel_->load(); }

private:
    bool failWithErrno();
    // Waits up to timeoutMs (-1: no limit) for events on the socket: 1 when
    // they came, 0 at the time limit, -1 on an error or a cancel (with
    // lastError() set).
    int waitFor(short events, int timeoutMs);

    int fd_ = -1;
    int lastError_ = 0;
    int sendTimeoutMs_ = kDefaultSendTimeoutMs;
    const std::atomic<bool>* cancel_ = nullptr;
};

}  // namespace melnix
