// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/tool_support.h"

#include <cstdio>

namespace melnix {

int usage() {
    std::fputs(
        "usage:\n"
        "  melnix-tool lyrics show FILE\n"
        "  melnix-tool lyrics convert IN OUT.MLX [--length CS]\n"
        "  melnix-tool lyrics embed SONG LYRICS\n"
        "  melnix-tool lyrics extract SONG OUT.MLX\n"
        "  melnix-tool lyrics export FILE OUT --format lrc|elrc|ass|ultrastar [--title T] [--artist A]\n"
        "  melnix-tool lyrics align SONG LYRICS OUT [--format mlx|lrc|elrc]\n"
        "  melnix-tool midi info FILE\n"
        "  melnix-tool midi lyrics FILE\n"
        "  melnix-tool midi render SONG OUT.WAV [--tempo PERCENT] [--from MS] [--key -6..6]\n"
        "  melnix-tool render SONG OUT.WAV [--speed 0..8] [--vocal-removal] [--from MS] [--stretch block|quality] [--key -6..6]\n"
        "  melnix-tool video SONG OUT.mp4 [--size WxH] [--fps N] [--quality low|normal|high]\n"
        "                    [--pictures FILE_OR_FOLDER] [--from MS] [--to MS] [--preset X264PRESET]\n"
        "  melnix-tool cdg SONG OUT.cdg [--lines 2..4] [--title T] [--artist A]\n"
        "  melnix-tool songs list\n"
        "  melnix-tool songs add FILE...\n"
        "  melnix-tool songs remove FILE...\n"
        "  melnix-tool mail send --server HOST [--port 25] --from ADDR --to ADDR --subject TEXT --body-file FILE [--attach FILE]\n",
        stderr);
    return kExitUsage;
}

int fail(const std::string& message) {
    std::fprintf(stderr, "melnix-tool: %s\n", message.c_str());
    return kExitFailed;
}

}  // namespace melnix
