// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool: the command-line companion for batch work and diagnostics on
// lyric files, songs and mail.

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/lyrics_command.h"
#include "cli/mail_command.h"
#include "cli/midi_command.h"
#include "cli/render_command.h"
#include "cli/songs_command.h"
#include "cli/tool_support.h"

namespace {

constexpr char kExportProgram[] = "melnix-tool-video";

// The exporter beside this program (in the build) or in its libexec folder
// (installed).
std::string exportProgram() {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return {};
    const std::string exe(self, static_cast<size_t>(n));
    const std::string dir = exe.substr(0, exe.rfind('/'));
    for (const std::string& candidate :
         {dir + "/" + kExportProgram, dir + "/" + MELNIX_LIBEXEC_FROM_BIN + "/" + kExportProgram})
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    return {};
}

// The commands that draw with Qt (video, cdg) run in the exporter, which
// takes the command and what follows.
int runExport(char** argv) {
    const std::string program = exportProgram();
    if (program.empty()) {
        std::fprintf(stderr, "melnix-tool: the exporter %s is not installed beside melnix-tool\n", kExportProgram);
        return 1;
    }
    argv[0] = const_cast<char*>(program.c_str());
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "melnix-tool: %s cannot be started (%s)\n", program.c_str(), std::strerror(errno));
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace melnix;
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (args[0] == "lyrics") return runLyricsCommand(rest);
    if (args[0] == "songs") return runSongsCommand(rest);
    if (args[0] == "mail") return runMailCommand(rest);
    if (args[0] == "midi") return runMidiCommand(rest);
    if (args[0] == "render") return runRenderCommand(rest);
    if (args[0] == "video" || args[0] == "cdg") return runExport(argv);
    return usage();
}
