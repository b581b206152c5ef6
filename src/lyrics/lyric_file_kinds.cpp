// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_file_kinds.h"

#include <sys/stat.h>

#include <cctype>

#include "common/paths.h"

namespace melnix {

const std::vector<LyricFileKind>& lyricFileKinds() {
    static const std::vector<LyricFileKind> kinds = {
        {"MLX", true}, {"LRC", true}, {"KSC", true}, {"TXT", false}, {"CED", false},
    };
    return kinds;
}

const LyricFileKind* lyricFileKindOf(std::string_view path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || path.find('/', dot) != std::string_view::npos) return nullptr;
    for (const LyricFileKind& k : lyricFileKinds())
        if (endsWithNoCase(path, std::string(".") + k.suffix)) return &k;
    return nullptr;
}

std::string lyricFilePatterns(bool timed, bool text) {
    std::string upper, lower;
    for (const LyricFileKind& k : lyricFileKinds()) {
        if (k.timed ? !timed : !text) continue;
        std::string ext = k.suffix;
        upper += (upper.empty() ? "*." : " *.") + ext;
        for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        lower += " *." + ext;
    }
    return upper + lower;
}

std::string timedLyricBeside(const std::string& songPath, bool mlxOnly) {
    for (const LyricFileKind& k : lyricFileKinds()) {
        if (!k.timed) continue;
        std::string ext = k.suffix;
        for (int pass = 0; pass < 2; ++pass) {
            const std::string candidate = replaceExtension(songPath, ext);
            struct stat st {};
            if (!candidate.empty() && ::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return candidate;
            for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        if (mlxOnly) break;
    }
    return {};
}

}  // namespace melnix
