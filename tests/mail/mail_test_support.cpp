// SPDX-License-Identifier: GPL-3.0-or-later
#include "mail/mail_test_support.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/paths.h"

extern char** environ;

namespace melnix::test {
namespace {

constexpr const char* kPython = "/usr/bin/python3";  // the one with aiosmtpd
constexpr int kStartTimeoutMs = 30000;               // Python starts slowly on a loaded machine
constexpr int kPeerWaitMs = 10000;

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Waits up to timeoutMs for the process to end; kills it when it does not.
int reap(pid_t pid, int timeoutMs) {
    const auto start = Clock::now();
    int status = 0;
    while (true) {
        pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        if (r < 0 && errno != EINTR) return -1;
        if (msSince(start) > timeoutMs) {
            ::kill(pid, SIGKILL);
            while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return -1;
        }
        ::usleep(10000);
    }
}

pid_t spawn(const std::vector<std::string>& args, posix_spawn_file_actions_t* actions) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], actions, nullptr, argv.data(), environ) != 0) return -1;
    return pid;
}

// Reads one line ending in LF from fd into line (LF and a CR before it
// removed); false on end of stream, an error or timeoutMs of silence.
bool readLine(int fd, std::string& buffer, std::string& line, int timeoutMs) {
    while (true) {
        size_t lf = buffer.find('\n');
        if (lf != std::string::npos) {
            line = buffer.substr(0, lf);
            if (!line.empty() && line.back() == '\r') line.pop_back();
            buffer.erase(0, lf + 1);
            return true;
        }
        pollfd p{fd, POLLIN, 0};
        int n = ::poll(&p, 1, timeoutMs);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        char chunk[65536];
        ssize_t got = ::recv(fd, chunk, sizeof chunk, 0);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        buffer.append(chunk, static_cast<size_t>(got));
    }
}

bool sendAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) out.push_back(l);
    return out;
}

bool sameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

}  // namespace

TempDir::TempDir() {
    std::string base = dataFolder();
    if (base.empty()) base = std::filesystem::temp_directory_path().string();
    std::string pattern = base + "/mail-XXXXXX";
    if (::mkdtemp(pattern.data())) path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
}

std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> ReceivedMail::header(const std::string& name) const {
    std::vector<std::string> values;
    for (const auto& [k, v] : headers)
        if (sameNoCase(k, name)) values.push_back(v);
    return values;
}

SmtpSink::SmtpSink() {
    int in[2], out[2];
    if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
        error_ = "no pipes";
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    pid_ = spawn({kPython, "-u", MELNIX_SOURCE_DIR "/tests/mail/smtp_sink.py", dir_.path()}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ::close(in[0]);
    ::close(out[1]);
    stdinFd_ = in[1];
    if (pid_ < 0) {
        error_ = std::string("cannot start ") + kPython;
        ::close(out[0]);
        return;
    }
    // The server prints its port once it listens.
    std::string text;
    const auto start = Clock::now();
    while (text.find('\n') == std::string::npos && msSince(start) < kStartTimeoutMs) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) continue;
        char chunk[256];
        ssize_t n = ::read(out[0], chunk, sizeof chunk);
        if (n <= 0) break;
        text.append(chunk, static_cast<size_t>(n));
    }
    ::close(out[0]);
    if (text.rfind("PORT ", 0) == 0) port_ = static_cast<uint16_t>(std::atoi(text.c_str() + 5));
    if (port_ == 0) error_ = "the SMTP server did not start (is python3-aiosmtpd installed?): " + text;
}

SmtpSink::~SmtpSink() {
    if (stdinFd_ >= 0) ::close(stdinFd_);  // the server ends when its input closes
    if (pid_ > 0) reap(pid_, 10000);
}

ReceivedMail SmtpSink::message(int k) const {
    ReceivedMail m;
    const std::string dir = dir_.file("msg-" + std::to_string(k));
    if (!std::filesystem::is_directory(dir)) return m;
    m.found = true;
    std::vector<std::string> envelope = lines(readBytes(dir + "/envelope"));
    if (!envelope.empty()) {
        m.mailFrom = envelope.front();
        m.rcptTo.assign(envelope.begin() + 1, envelope.end());
    }
    for (const std::string& l : lines(readBytes(dir + "/headers"))) {
        size_t colon = l.find(": ");
        if (colon != std::string::npos) m.headers.emplace_back(l.substr(0, colon), l.substr(colon + 2));
    }
    m.raw = readBytes(dir + "/raw");
    m.defects = readBytes(dir + "/defects");
    for (int i = 0; std::filesystem::exists(dir + "/part-" + std::to_string(i)); ++i) {
        const std::string p = dir + "/part-" + std::to_string(i);
        m.parts.push_back({readBytes(p), readBytes(p + ".filename"), readBytes(p + ".type")});
    }
    return m;
}

ScriptedPeer::ScriptedPeer(std::vector<Step> script) {
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listenFd_, 1) != 0 || ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return;
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread(&ScriptedPeer::run, this, std::move(script));
}

ScriptedPeer::~ScriptedPeer() {
    if (thread_.joinable()) thread_.join();
    if (listenFd_ >= 0) ::close(listenFd_);
}

bool ScriptedPeer::waitUntilAt(size_t index, int timeoutMs) const {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (at_.load() <= index) {
        if (std::chrono::steady_clock::now() >= until) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::vector<std::string> ScriptedPeer::heard() {
    if (thread_.joinable()) thread_.join();
    return heard_;
}

void ScriptedPeer::run(std::vector<Step> script) {
    pollfd p{listenFd_, POLLIN, 0};
    if (::poll(&p, 1, kPeerWaitMs) <= 0) return;
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    std::string buffer, line;
    bool open = true;
    for (const Step& step : script) {
        if (!open) break;
        ++at_;
        switch (step.kind) {
            case Step::Kind::Say: open = sendAll(fd, step.text); break;
            case Step::Kind::Hear:
                open = readLine(fd, buffer, line, kPeerWaitMs);
                if (open) heard_.push_back(line);
                break;
            case Step::Kind::Pause: {
                pollfd hup{fd, POLLRDHUP, 0};
                if (::poll(&hup, 1, step.ms) > 0) open = false;
                break;
            }
            case Step::Kind::Hangup:
                ::close(fd);
                return;
        }
    }
    // Whatever the client still says until it closes (a QUIT, say).
    constexpr size_t kMaxKept = 1000;  // a message's data lines are not worth keeping
    while (open && readLine(fd, buffer, line, kPeerWaitMs))
        if (heard_.size() < kMaxKept) heard_.push_back(line);
    ::close(fd);
}

uint16_t closedLocalPort() {
    const int s = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (s < 0) return 0;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    const bool bound = ::bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
                       ::getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len) == 0;
    ::close(s);
    return bound ? ntohs(addr.sin_port) : 0;
}

ProgramResult runProgram(const std::vector<std::string>& argv, int timeoutMs) {
    TempDir dir;
    const std::string out = dir.file("out"), err = dir.file("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = spawn(argv, &actions);
    posix_spawn_file_actions_destroy(&actions);
    ProgramResult r;
    if (pid < 0) return r;
    r.exitCode = reap(pid, timeoutMs);
    r.out = readBytes(out);
    r.err = readBytes(err);
    return r;
}

}  // namespace melnix::test
