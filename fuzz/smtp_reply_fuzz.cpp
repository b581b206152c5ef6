// The SMTP reply reader over a whole conversation: a peer on the loopback
// answers every command with the input's bytes, then stops sending.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint16_t port = 0;
    const int fd = listener(port);
    std::thread peer(serve, fd, fuzz::bytesOf(data, size));
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
    peer.join();
    return 0;
}
