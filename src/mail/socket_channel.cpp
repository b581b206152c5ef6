// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/socket_channel.h"

#include <algorithm>
#include <chrono>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace melnix {
namespace {

struct ErrorName {
    int code;
    const char* text;
};

constexpr ErrorName kErrorNames[] = {
    {kErrorInterrupted, "the call was interrupted"},
    {kErrorAccessDenied, "permission denied"},
    {kErrorInvalidArgument, "invalid argument or unknown host"},
    {kErrorTooManySockets, "too many open sockets"},
    {kErrorNotASocket, "no socket"},
    {kErrorUnexpectedReply, "the server's reply was not the expected one"},
    {kErrorAddressNotAvailable, "address not available"},
    {kErrorNetworkDown, "the network is down"},
    {kErrorNetworkUnreachable, "the network is unreachable"},
    {kErrorConnectionAborted, "the connection was aborted"},
    {kErrorConnectionReset, "the server closed the connection"},
    {kErrorNoBuffers, "no buffer space"},
    {kErrorNotConnected, "not connected"},
    {kErrorTimedOut, "timed out"},
    {kErrorConnectionRefused, "connection refused"},
    {kErrorHostUnreachable, "the host is unreachable"},
};

}  // namespace

int socketErrorFromErrno(int err) {
    switch (err) {
        case EINTR: return kErrorInterrupted;
        case EACCES:
        case EPERM: return kErrorAccessDenied;
        case EINVAL: return kErrorInvalidArgument;
        case EMFILE:
        case ENFILE: return kErrorTooManySockets;
        case EBADF:
        case ENOTSOCK: return kErrorNotASocket;
        case EADDRNOTAVAIL: return kErrorAddressNotAvailable;
        case ENETDOWN: return kErrorNetworkDown;
        case ENETUNREACH: return kErrorNetworkUnreachable;
        case ECONNABORTED: return kErrorConnectionAborted;
        case ECONNRESET:
        case EPIPE: return kErrorConnectionReset;
        case ENOBUFS:
        case ENOMEM: return kErrorNoBuffers;
        case ENOTCONN: return kErrorNotConnected;
        // A send or connect that ran out of its time limit.
        case ETIMEDOUT:
        case EAGAIN:
        case EINPROGRESS: return kErrorTimedOut;
        case ECONNREFUSED: return kErrorConnectionRefused;
        case EHOSTUNREACH: return kErrorHostUnreachable;
        default: return kErrorOther;
    }
}

std::string describeSocketError(int code) {
    for (const ErrorName& e : kErrorNames)
        if (e.code == code) return e.text;
    return "socket error " + std::to_string(code);
}

SocketChannel::~SocketChannel() { close(); }

bool SocketChannel::failWithErrno() {
    lastError_ = socketErrorFromErrno(errno);
    return false;
}

bool SocketChannel::create() {
    close();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd_ < 0) return failWithErrno();
    if (sendTimeoutMs_ > 0) {
        timeval tv{};
        tv.tv_sec = sendTimeoutMs_ / 1000;
        tv.tv_usec = static_cast<suseconds_t>(sendTimeoutMs_ % 1000) * 1000;
        ::setsockopt(fd_, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv);
    }
    return true;
}

bool SocketChannel::connect(const std::string& host, uint16_t port) {
    if (fd_ < 0) {
        lastError_ = kErrorNotASocket;
        return false;
    }
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(port);
    if (::inet_pton(AF_INET, host.c_str(), &addr.sin_addr) != 1) {
        addrinfo hints{};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        if (host.empty() || ::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) {
            lastError_ = kErrorInvalidArgument;
            return false;
        }
        addr.sin_addr = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
        ::freeaddrinfo(found);
    }
    // Without blocking, so that the wait for the peer can be cancelled; the
    // socket blocks again afterwards.
    const int flags = ::fcntl(fd_, F_GETFL);
    ::fcntl(fd_, F_SETFL, flags | O_NONBLOCK);
    bool ok = ::connect(fd_, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0;
    if (!ok && errno != EINPROGRESS) {
        failWithErrno();
    } else if (!ok) {
        const int ready = waitFor(POLLOUT, sendTimeoutMs_ > 0 ? sendTimeoutMs_ : -1);
        if (ready == 0) lastError_ = kErrorTimedOut;
        if (ready == 1) {
            int err = 0;
            socklen_t len = sizeof err;
            ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
            ok = err == 0;
            if (!ok) lastError_ = socketErrorFromErrno(err);
        }
    }
    ::fcntl(fd_, F_SETFL, flags);
    return ok;
}

int SocketChannel::waitFor(short events, int timeoutMs) {
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(std::max(timeoutMs, 0));
    while (true) {
        if (cancelled()) {
            lastError_ = kErrorInterrupted;
            return -1;
        }
        int slice = timeoutMs;
        if (timeoutMs >= 0)
            slice = static_cast<int>(std::max<int64_t>(
                0, std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count()));
        if (cancel_ && (slice < 0 || slice > kCancelCheckMs)) slice = kCancelCheckMs;
        pollfd p{fd_, events, 0};
        const int n = ::poll(&p, 1, slice);
        if (n < 0 && errno != EINTR) {
            failWithErrno();
            return -1;
        }
        // A closed or failed connection counts as ready: the next call reports it.
        if (n > 0 && (p.revents & (events | POLLHUP | POLLERR)) != 0) return 1;
        if (timeoutMs >= 0 && Clock::now() >= end) return 0;
    }
}

bool SocketChannel::send(const char* data, size_t length) {
    if (fd_ < 0) {
        lastError_ = kErrorNotASocket;
        return false;
    }
    // The whole send is bounded by its size at a slow but living rate: a
    // peer that takes a little now and then cannot hold it for ever.
    constexpr int64_t kSendBaseMs = 30000;
    constexpr int64_t kSlowestBytesPerSecond = 8192;
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(kSendBaseMs + static_cast<int64_t>(length) * 1000 / kSlowestBytesPerSecond);
    size_t done = 0;
    while (done < length) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        // No room for a while (the send time limit) is as final as the
        // whole send's deadline.
        int64_t wait = left.count();
        if (sendTimeoutMs_ > 0) wait = std::min<int64_t>(wait, sendTimeoutMs_);
        const int ready = wait > 0 ? waitFor(POLLOUT, static_cast<int>(wait)) : 0;
        if (ready < 0) return false;
        if (ready == 0) {
            lastError_ = kErrorTimedOut;
            return false;
        }
        // MSG_NOSIGNAL: a peer that has gone away is an error, not a signal
        // that ends the process.
        ssize_t n = ::send(fd_, data + done, length - done, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
            return failWithErrno();
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

long SocketChannel::receive(char* buffer, size_t size) {
    if (fd_ < 0) {
        lastError_ = kErrorNotASocket;
        return -1;
    }
    while (true) {
        ssize_t n = ::recv(fd_, buffer, size, 0);
        if (n >= 0) return static_cast<long>(n);
        if (errno != EINTR) {
            failWithErrno();
            return -1;
        }
    }
}

bool SocketChannel::isReadable() { return waitReadable(0); }

bool SocketChannel::waitReadable(int timeoutMs) {
    if (fd_ < 0) {
        lastError_ = kErrorNotASocket;
        return false;
    }
    return waitFor(POLLIN, timeoutMs) == 1;
}

void SocketChannel::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

}  // namespace melnix
