// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Peers for the mail tests: a real SMTP server (aiosmtpd, run by Python)
// whose received messages are parsed by Python's email package, and a
// scripted peer that answers with exactly the bytes a case needs. Every wait
// here is bounded so that a broken client fails a test instead of hanging it.

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <sys/types.h>

namespace melnix::test {

// A fresh folder under the test's data folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

std::string readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::string& bytes);

// One message as the SMTP server stored it.
struct ReceivedMail {
    struct Part {
        std::string content;  // decoded
        std::string filename;
        std::string type;
    };
    bool found = false;
    std::string mailFrom;
    std::vector<std::string> rcptTo;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string raw;
    std::string defects;
    std::vector<Part> parts;

    // The values of the headers of that name (case ignored), in order.
    std::vector<std::string> header(const std::string& name) const;
};

class SmtpSink {
public:
    SmtpSink();
    ~SmtpSink();
    SmtpSink(const SmtpSink&) = delete;
    SmtpSink& operator=(const SmtpSink&) = delete;

    // Empty when the server runs; else why it does not.
    const std::string& startError() const { return error_; }
    uint16_t port() const { return port_; }
    // The k-th message accepted (counting from 1).
    ReceivedMail message(int k) const;

private:
    TempDir dir_;
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    uint16_t port_ = 0;
    std::string error_;
};

// Listens on 127.0.0.1, accepts one connection and plays its script. After
// the script it keeps reading lines until the client closes.
class ScriptedPeer {
public:
    struct Step {
        enum class Kind { Say, Hear, Pause, Hangup } kind;
        std::string text;
        int ms = 0;
    };
    static Step say(std::string text) { return {Step::Kind::Say, std::move(text), 0}; }
    // Reads one line; what was heard is kept.
    static Step hear() { return {Step::Kind::Hear, {}, 0}; }
    // Neither reads nor writes for a while (less when the client hangs up).
    static Step pause(int ms) { return {Step::Kind::Pause, {}, ms}; }
    static Step hangup() { return {Step::Kind::Hangup, {}, 0}; }

    explicit ScriptedPeer(std::vector<Step> script);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    uint16_t port() const { return port_; }
    // Waits until the peer has begun the script's step `index` (counting
    // from 0); false after timeoutMs. Lets a test act at a known point of
    // the dialogue however slowly the client got there.
    bool waitUntilAt(size_t index, int timeoutMs) const;
    // Waits for the peer to finish (the client should have closed by now)
    // and gives the lines it heard, without their CR LF.
    std::vector<std::string> heard();

private:
    void run(std::vector<Step> script);

    int listenFd_ = -1;
    uint16_t port_ = 0;
    std::thread thread_;
    std::vector<std::string> heard_;
    std::atomic<size_t> at_{0};  // one past the step begun last
};

struct ProgramResult {
    int exitCode = -1;  // -1 when it did not end normally
    std::string out;
    std::string err;
};

// A port on 127.0.0.1 that nobody listens on (bound, then closed again);
// 0 when none could be had.
uint16_t closedLocalPort();

// Runs a program with the given arguments, killing it after timeoutMs.
ProgramResult runProgram(const std::vector<std::string>& argv, int timeoutMs = 60000);

}  // namespace melnix::test
