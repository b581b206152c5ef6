// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string>
#include <string_view>

namespace melnix {

// The folder where the program keeps its state and scratch files:
// $MELNIX_HOME when set, else $XDG_STATE_HOME/melnix (default
// ~/.local/state/melnix). It survives reboots, unlike /tmp. Created with mode
// 0700 when missing; returns an empty string when it cannot be made.
std::string dataFolder();

// The part of a path after its last separator.
std::string fileNameOf(std::string_view path);

// The file name without its extension (after the last separator, up to the
// last dot).
std::string fileTitleOf(std::string_view path);

// Keeps the path up to and including its last "." and appends ext, when that
// "." stands at index 3 or later; otherwise returns an empty string (a path
// that short cannot name a real file).
std::string replaceExtension(std::string_view path, std::string_view ext);

// True when name ends with ext, letters compared without regard to case.
bool endsWithNoCase(std::string_view name, std::string_view ext);

}  // namespace melnix
