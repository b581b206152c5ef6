// SPDX-License-Identifier: GPL-3.0-or-later
// melnix-tool songs ...: lists and edits the remembered songs in the state
// file of the data folder, as the song list dialog does.

#include "cli/songs_command.h"

#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cstdio>
#include <cstdlib>

#include "cli/tool_support.h"
#include "common/file.h"
#include "common/gbk.h"
#include "lyrics/lyric_sheet.h"
#include "songlist/song_session.h"
#include "songlist/state_file.h"

namespace melnix {
namespace {

// Labels are lyric text (GBK); paths are printed as they are.
std::string lyricRefForDisplay(const std::string& ref) {
    if (ref.empty() || ref[0] != kLyricLabelMark) return ref;
    std::string shown = gbkToUtf8(ref.substr(1));
    shown.insert(shown.begin(), kLyricLabelMark);
    return shown;
}

std::string absolute(const std::string& path) {
    char buf[PATH_MAX];
    return ::realpath(path.c_str(), buf) ? std::string(buf) : path;
}

// False when there is no data folder or the state file could not be read
// whole (it is then kept aside and the state holds what could be read).
bool loadState(AppState& state, bool& whole) {
    const std::string path = SongSession::stateFilePath();
    if (path.empty()) return false;
    const StateLoadResult load = loadStateFile(path, state, true);
    whole = load.status != StateLoad::Unreadable;
    if (!whole)
        std::fprintf(stderr, "melnix-tool: %s cannot be read whole%s\n", path.c_str(),
                     load.keptAs.empty() ? "; it is left as it is" : ("; it is kept as " + load.keptAs).c_str());
    return whole || !load.keptAs.empty();
}

int list() {
    AppState state;
    bool whole = true;
    if (!loadState(state, whole) && whole) return fail("no data folder");
    for (const SongEntry& e : state.list) {
        std::printf("%s%s\t%s\t%d\t%u\t%s\n", samePath(e.songPath, state.list.current.songPath) ? "* " : "",
                    e.songPath.c_str(), lyricRefForDisplay(e.lyricRef).c_str(), e.length,
                    static_cast<unsigned>(e.lyricFlags), e.pictureList.c_str());
    }
    return whole ? kExitOk : kExitFailed;
}

int change(const std::vector<std::string>& files, bool add) {
    AppState state;
    bool whole = true;
    if (!loadState(state, whole)) return whole ? fail("no data folder") : kExitFailed;
    std::vector<std::string> paths;
    for (const std::string& f : files) {
        const std::string p = absolute(f);
        // A song that is not there, or cannot be read, is no song of the list.
        if (add && ::access(p.c_str(), R_OK) != 0) return fail(f + ": " + std::strerror(errno));
        paths.push_back(p);
    }
    if (add) {
        LyricSheet sheet;
        NoWindowSongHost host;
        SongSession session(state, sheet, host);
        if (session.addSongs(paths) == 0) return fail("no song file among the arguments");
    } else {
        for (const std::string& p : paths) state.list.removeSong(p);
    }
    std::string why;
    if (!saveStateFile(SongSession::stateFilePath(), state, &why)) return fail(why);
    return kExitOk;
}

}  // namespace

int runSongsCommand(const std::vector<std::string>& args) {
    if (args.size() == 1 && args[0] == "list") return list();
    if (args.size() >= 2 && args[0] == "add") return change({args.begin() + 1, args.end()}, true);
    if (args.size() >= 2 && args[0] == "remove") return change({args.begin() + 1, args.end()}, false);
    return usage();
}

}  // namespace melnix
