// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/video_settings.h"

#include <cstdio>
#include <cstring>

namespace melnix {

bool parseVideoSize(const char* text, VideoSize& size) {
    int w = 0, h = 0;
    char tail = 0;
    if (!text || std::sscanf(text, "%dx%d%c", &w, &h, &tail) != 2) return false;
    if (w < 128 || h < 96 || w > 3840 || h > 2160 || w % 2 != 0 || h % 2 != 0) return false;
    size = {w, h};
    return true;
}

bool parseQuality(const char* text, ExportQuality& quality) {
    if (!text) return false;
    if (std::strcmp(text, "low") == 0) quality = ExportQuality::Low;
    else if (std::strcmp(text, "normal") == 0) quality = ExportQuality::Normal;
    else if (std::strcmp(text, "high") == 0) quality = ExportQuality::High;
    else return false;
    return true;
}

int qualityCrf(ExportQuality quality) {
    switch (quality) {
        case ExportQuality::Low: return 28;
        case ExportQuality::High: return 18;
        case ExportQuality::Normal: break;
    }
    return 23;
}

}  // namespace melnix
