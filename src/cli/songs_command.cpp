// melnix-tool songs ...: lists and edits the remembered songs in the state
// file of the data folder, as the song list dialog does.

#include "cli/songs_command.h"

#include <climits>
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

constexpr int64_t kMaxStateFile = 64 * 1024 * 1024;

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

bool loadState(AppState& state) {
    std::string bytes;
    const std::string path = SongSession::stateFilePath();
    if (path.empty()) return false;
    if (readWholeFile(path, bytes, kMaxStateFile)) readStateBytes(bytes, state, true);
    return true;
}

int list() {
    AppState state;
    if (!loadState(state)) return fail("no data folder");
    for (const SongEntry& e : state.list) {
        std::printf("%s%s\t%s\t%d\t%u\t%s\n", samePath(e.songPath, state.list.current.songPath) ? "* " : "",
                    e.songPath.c_str(), lyricRefForDisplay(e.lyricRef).c_str(), e.length,
                    static_cast<unsigned>(e.lyricFlags), e.pictureList.c_str());
    }
    return kExitOk;
}

int change(const std::vector<std::string>& files, bool add) {
    AppState state;
    if (!loadState(state)) return fail("no data folder");
    std::vector<std::string> paths;
    for (const std::string& f : files) paths.push_back(absolute(f));
    if (add) {
        LyricSheet sheet;
        NoWindowSongHost host;
        SongSession session(state, sheet, host);
        if (session.addSongs(paths) == 0) return fail("no song file among the arguments");
    } else {
        for (const std::string& p : paths) state.list.removeSong(p);
    }
    if (!saveStateFile(SongSession::stateFilePath(), state)) return fail("cannot write " + SongSession::stateFilePath());
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
