// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// RIFF chunk access over an open file: descend into a chunk (optionally
// searching for an id or a form type), ascend out of it. WAV and RMID
// readers build on this.

#include <cstdint>
#include <string_view>

#include "common/file.h"

namespace melnix {

constexpr uint32_t fourCC(char a, char b, char c, char d) {
    return static_cast<uint32_t>(static_cast<unsigned char>(a)) |
           static_cast<uint32_t>(static_cast<unsigned char>(b)) << 8 |
           static_cast<uint32_t>(static_cast<unsigned char>(c)) << 16 |
           static_cast<uint32_t>(static_cast<unsigned char>(d)) << 24;
}

constexpr uint32_t kRiffId = fourCC('R', 'I', 'F', 'F');
constexpr uint32_t kListId = fourCC('L', 'I', 'S', 'T');

struct RiffChunk {
    uint32_t id = 0;
    uint32_t size = 0;       // bytes of data, form type included for RIFF and LIST
    uint32_t formType = 0;   // RIFF and LIST only
    int64_t dataOffset = 0;  // file offset of the data (of the form type for RIFF/LIST)
    int64_t end() const { return dataOffset + size; }
};

class RiffReader {
public:
    enum class Find { Any, Chunk, Riff, List };

    explicit RiffReader(File& file) : file_(file) {}

    // Reads chunk headers from the current position, skipping chunks until
    // one matches (Any takes the first). With a parent, the search stays
    // inside it. On success the file stands at the chunk's data (after the
    // form type for RIFF and LIST); on failure the position is unspecified.
    bool descend(RiffChunk& chunk, const RiffChunk* parent, Find find, uint32_t what = 0);

    // Moves to the byte after the chunk, its pad byte included.
    bool ascend(const RiffChunk& chunk);

private:
    File& file_;
};

}  // namespace melnix
