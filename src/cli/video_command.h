// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// melnix-tool video SONG OUT.mp4 [...]: the show of a song written into an MP4 file.
int runVideoCommand(const std::vector<std::string>& args);
