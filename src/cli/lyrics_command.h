// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

namespace melnix {

// melnix-tool lyrics ...: args are the words after "lyrics".
int runLyricsCommand(const std::vector<std::string>& args);

}  // namespace melnix
