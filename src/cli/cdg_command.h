// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

// melnix-tool cdg SONG OUT.cdg [...]: the song's lyric as CD+G graphics, with
// an MP3 of the song beside them when the song is not one.
int runCdgCommand(const std::vector<std::string>& args);
