#pragma once
// Runs melnix-tool as the user runs it and collects what it prints.

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace melnix::test {

struct ToolRun {
    int status = -1;
    std::string out;
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

}  // namespace melnix::test
