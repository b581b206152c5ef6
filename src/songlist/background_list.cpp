// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/background_list.h"

#include <cstdio>

#include "common/paths.h"
#include "songlist/media_kind.h"

namespace melnix {

std::string builtInPictureName(int n) {
    char buf[32];
    std::snprintf(buf, sizeof buf, kBuiltInPictureFormat, n);
    return buf;
}

bool isBuiltInPicture(std::string_view path) {
    std::string name = fileNameOf(path);
    return !name.empty() && name[0] == '_';
}

void BackgroundMediaList::setFromSpec(std::string_view spec) {
    if (spec.size() >= kMinBackgroundSpec) {
        entries.clear();
        std::string folder;
        bool relative = false;
        size_t at = 0;
        while (at <= spec.size()) {
            size_t bar = spec.find('|', at);
            std::string_view token = spec.substr(at, bar == std::string_view::npos ? std::string_view::npos : bar - at);
            if (token.empty()) {
                relative = at > 0;  // "||": the next name is relative
            } else if (relative) {
                entries.push_back(folder + "/" + std::string(token));
                relative = false;
            } else {
                entries.emplace_back(token);
                size_t slash = token.rfind('/');
                folder = slash == std::string_view::npos ? std::string() : std::string(token.substr(0, slash));
            }
            if (bar == std::string_view::npos) break;
            at = bar + 1;
        }
    }
    if (entries.empty()) {
        for (int n = 0; n < 3; ++n) entries.push_back(builtInPictureName(n));
    } else if (entries.size() < 3 && mediaKind(entries.front(), MediaTable::Picture) > 0) {
        for (int n = 1; entries.size() < 3; ++n) entries.push_back(builtInPictureName(n));
    }
    if (index < 0 || index >= static_cast<int>(entries.size())) index = 0;
}

}  // namespace melnix
