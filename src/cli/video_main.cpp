// SPDX-License-Identifier: GPL-3.0-or-later
// The exports of melnix-tool that draw with Qt (video, cdg), a program of
// their own so that the other commands do not load Qt's painting and the
// video encoders. melnix-tool hands it the command and what follows.

#include <string>
#include <vector>

#include "cli/cdg_command.h"
#include "cli/tool_support.h"
#include "cli/video_command.h"

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return melnix::usage();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "video") return runVideoCommand(rest);
    if (args[0] == "cdg") return runCdgCommand(rest);
    return melnix::usage();
}
