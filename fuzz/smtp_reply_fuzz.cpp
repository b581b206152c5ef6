// SPDX-License-Identifier: GPL-3.0-or-later
// The SMTP reply reader over a whole conversation: a peer on the loopback
// answers every command with the input's bytes, then stops sending.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "fuzz_support.h"
#include "mail/mail_message.h"
#include "mail/smtp_connection.h"

using namespace melnix;

namespace {

int listener(uint16_t& port) {
    static int fd = -1;
    static uint16_t bound = 0;
    if (fd < 0) {
        fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd, 4) != 0 ||
            ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) != 0)
            __builtin_trap();
        bound = ntohs(a.sin_port);
    }
    port = bound;
    return fd;
}

void serve(int fd, std::string_view bytes) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 2000) != 1) return;
    const int c = ::accept4(fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (c < 0) return;
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::send(c, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n <= 0) break;
        done += static_cast<size_t>(n);
    }
    ::shutdown(c, SHUT_WR);
    char sink[4096];
    pollfd q{c, POLLIN, 0};
    while (::poll(&q, 1, 2000) == 1 && ::recv(c, sink, sizeof sink, 0) > 0) {
    }
    ::close(c);
}

// One peer thread for the whole run, handed each input in turn: a thread
// per input made the sanitizer's record of past threads grow by gigabytes.
class Peer {
public:
    explicit Peer(int fd) : fd_(fd) { std::thread([this] { run(); }).detach(); }

    void answerNext(std::string_view bytes) {
        std::lock_guard lock(mutex_);
        bytes_.assign(bytes);
        pending_ = true;
        changed_.notify_all();
    }
    void waitUntilDone() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !pending_; });
    }

private:
    void run() {
        for (;;) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return pending_; });
            const std::string bytes = bytes_;
            lock.unlock();
            serve(fd_, bytes);
            lock.lock();
            pending_ = false;
            changed_.notify_all();
        }
    }

    int fd_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::string bytes_;
    bool pending_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint16_t port = 0;
    const int fd = listener(port);
    static Peer* const peer = new Peer(fd);
    peer->answerNext(fuzz::bytesOf(data, size));
    {
        CSMTPConnection conn;
        conn.setReplyTimeout(200);
        if (conn.connect("127.0.0.1", port)) {
            MailMessage m;
            m.setFrom(MailAddress("a@example.org"));
            m.addRecipient(MailAddress("b@example.org"));
            m.setSubject("subject");
            m.setBody("line\r\n.\r\nmore");
            conn.sendMessage(m);
            conn.disconnect();
        }
        conn.lastResponse();
    }
    peer->waitUntilDone();
    return 0;
}
