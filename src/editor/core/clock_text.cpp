// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/clock_text.h"

#include <cstdio>

namespace melnix {

std::string formatClock(int32_t cs) {
    if (cs < 0) cs = 0;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d.%d", cs / 6000, (cs / 10) % 600 / 10, (cs / 10) % 10);
    return buf;
}

std::string formatFileSize(int64_t bytes) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%lldK", static_cast<long long>((bytes + 500) / 1000));
    return buf;
}

}  // namespace melnix
