// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/song_problem.h"

#include <cstring>
#include <fstream>

namespace melnix {

bool looksLikeMidi(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char b[12] = {};
    in.read(b, sizeof b);
    const auto got = in.gcount();
    return (got >= 4 && std::memcmp(b, "MThd", 4) == 0) ||
           (got == 12 && std::memcmp(b, "RIFF", 4) == 0 && std::memcmp(b + 8, "RMID", 4) == 0);
}

}  // namespace melnix
