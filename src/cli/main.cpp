// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool: the command-line companion for batch work and diagnostics on
// lyric files, songs and mail.

#include <string>
#include <vector>

#include "cli/lyrics_command.h"
#include "cli/mail_command.h"
#include "cli/midi_command.h"
#include "cli/render_command.h"
#include "cli/songs_command.h"
#include "cli/tool_support.h"
#include "cli/video_command.h"

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
    if (args[0] == "video") return runVideoCommand(rest);
    return usage();
}
