// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The texts of the editor's position, length and size boxes.

#include <cstdint>
#include <string>

namespace melnix {

// Position and length texts: minutes, seconds and tenths from 1/100 s.
std::string formatClock(int32_t centiseconds);
// File size as "%dK", rounded to whole kilobytes of 1000 bytes.
std::string formatFileSize(int64_t bytes);

}  // namespace melnix
