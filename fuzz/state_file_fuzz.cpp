// SPDX-License-Identifier: GPL-3.0-or-later
// The state file with the song list; what was read must write and read again.
#include "fuzz_support.h"
#include "songlist/state_file.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AppState state;
    const StateReadResult r = readStateBytes(std::string(fuzz::bytesOf(data, size)), state, true);
    if (r.complete) {
        AppState again;
        if (!readStateBytes(writeStateBytes(state), again, true).listComplete) __builtin_trap();
        if (again.list.size() != state.list.size()) __builtin_trap();
    }
    return 0;
}
