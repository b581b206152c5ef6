// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

namespace melnix {

// melnix-tool songs ...: the remembered songs of the state file.
int runSongsCommand(const std::vector<std::string>& args);

}  // namespace melnix
