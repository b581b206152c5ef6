// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <vector>

namespace melnix {

// melnix-tool midi info FILE | midi lyrics FILE
//   | midi render SONG OUT.WAV [--tempo PERCENT] [--from MS] [--key -6..6]. args are the words after "midi".
// Returns the process exit status.
int runMidiCommand(const std::vector<std::string>& args);

}  // namespace melnix
