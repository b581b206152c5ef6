// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs melnix-tool as the user runs it and collects what it prints.

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

namespace melnix::test {

struct ToolRun {
    int status = -1;
    std::string out;
    long maxRssKb = 0;  // the tool's peak memory (runs in a child of the test only)
};

// withErrors adds what the tool writes to standard error to out.
inline ToolRun melnixTool(const std::string& args, bool withErrors = false) {
    ToolRun r;
    const std::string cmd = std::string(MELNIX_TOOL) + " " + args + (withErrors ? " 2>&1" : " 2>/dev/null");
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) return r;
    char buf[256];
    while (size_t n = fread(buf, 1, sizeof buf, p)) r.out.append(buf, n);
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

// Runs the tool in a child of the test, standard error going to out as
// well, with its peak memory measured. A maxFileBytes of 0 or more makes the
// disk seem to hold only that much for any file it writes: a write past that
// fails (EFBIG) as on a full disk.
inline ToolRun melnixToolMeasured(const std::string& args, long maxFileBytes = -1) {
    ToolRun r;
    int fds[2];
    if (::pipe(fds) != 0) return r;
    const pid_t pid = ::fork();
    if (pid < 0) return r;
    if (pid == 0) {
        if (maxFileBytes >= 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{static_cast<rlim_t>(maxFileBytes), static_cast<rlim_t>(maxFileBytes)};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        ::dup2(fds[1], 1);
        ::dup2(fds[1], 2);
        ::close(fds[0]);
        // exec, not a shell: the memory measured is the tool's own.
        const std::string cmd = "exec " + std::string(MELNIX_TOOL) + " " + args;
        ::execl("/bin/sh", "sh", "-c", cmd.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(fds[1]);
    char buf[256];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0) r.out.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int st = 0;
    rusage usage{};
    ::wait4(pid, &st, 0, &usage);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    r.maxRssKb = usage.ru_maxrss;
    return r;
}

inline ToolRun melnixToolOnAFullDisk(const std::string& args, long maxFileBytes) {
    return melnixToolMeasured(args, maxFileBytes);
}

}  // namespace melnix::test
