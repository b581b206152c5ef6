// SPDX-License-Identifier: GPL-3.0-or-later
// Scrambled pictures: the header, then the bytes unscrambled with a password.
#include "fuzz_support.h"
#include "present/core/pik_file.h"

using namespace melnix;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes = fuzz::bytesOf(data, size);
    const std::optional<PikHeader> h = parsePikHeader(bytes);
    if (!h) return 0;
    if (h->dataOffset > size) __builtin_trap();
    std::string body(bytes.substr(h->dataOffset));
    pikTransform(body.data(), body.size(), pikKey(normalisePikPassword("Melnix"), h->salt));
    restoredPathFor("/tmp/a.pik", h->extension);
    return 0;
}
