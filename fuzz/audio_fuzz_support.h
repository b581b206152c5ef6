// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// For the audio source entry points: a processor whose output goes nowhere,
// so decoding and processing run in full without a device.

#include <cstddef>
#include <cstdint>

#include "audio/block_processor.h"

namespace melnix::fuzz {

struct DiscardSink : BlockSink {
    void Write(const uint8_t*, size_t) override {}
};

}  // namespace melnix::fuzz
