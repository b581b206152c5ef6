// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The 128 General MIDI instruments by program number, with the English and
// Chinese names the track dialog shows.

#include <array>

namespace melnix {

constexpr int kGmProgramCount = 128;

struct GmProgramName {
    const char* english;
    const char* chinese;  // UTF-8
};

extern const std::array<GmProgramName, kGmProgramCount> GmProgramNames;

// The names of a program; values above 127 give the last entry, as a
// damaged file's program byte is shown that way.
const GmProgramName& gmProgramName(int program);

}  // namespace melnix
