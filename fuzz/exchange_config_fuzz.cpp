// SPDX-License-Identifier: GPL-3.0-or-later
// The exchange's destination list and the sender's age as typed.
#include "fuzz_support.h"
#include "mail/lyric_exchange.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text = fuzz::bytesOf(data, size);
    for (const ExchangeDestination& d : parseExchangeDestinations(text))
        if (d.host.empty() || d.mailbox.empty() || d.port == 0) __builtin_trap();
    parseSenderAge(text);
    return 0;
}
