// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The FFmpeg libraries allocate what a file's headers claim (a chunk of
// 2 GB in an 88 KB WAV, say) before they find that the file does not hold
// it. Every use of them goes through here first.

#include <cstddef>

namespace melnix {

// No single allocation of the libraries may exceed this: four 4K pictures
// in 32-bit colour, far above any real frame, packet or header.
constexpr size_t kMaxFfmpegAllocation = size_t{128} << 20;

// Bounds the libraries' allocations and silences their log (the program
// reports failures itself, in its own words). Safe to call from any thread, any number of
// times.
void prepareFfmpeg();

}  // namespace melnix
