// SPDX-License-Identifier: GPL-3.0-or-later
// The video export of melnix-tool, a program of its own so that the other
// commands do not load Qt's painting and the video encoders.

#include <string>
#include <vector>

#include "cli/video_command.h"

int main(int argc, char** argv) {
    return runVideoCommand(std::vector<std::string>(argv + 1, argv + argc));
}
