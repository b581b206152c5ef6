// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/song_session.h"

#include <sys/stat.h>

#include <algorithm>

#include "common/file.h"
#include "common/gbk.h"
#include "common/paths.h"
#include "common/safe_save.h"
#include "common/translate_mark.h"
#include "lyrics/lyric_file_kinds.h"
#include "lyrics/id3v1_tag.h"
#include "lyrics/lyric_store.h"
#include "lyrics/lyric_text.h"
#include "lyrics/lyric_text_stream.h"
#include "lyrics/mlx_block.h"
#include "songlist/media_kind.h"
#include "songlist/midi_song_words.h"

namespace melnix {

const char kOpenSongFailedTitle[] = QT_TRANSLATE_NOOP("SongSession", "打开下列文件时出错!");

namespace {

constexpr int kProbeStreamBuffer = 2048;

bool fileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string stateFileIn(const std::string& folder, const char* name) {
    return folder.empty() ? std::string() : folder + "/" + name;
}


}  // namespace

SongProbe probeSongLyric(const std::string& path) {
    SongProbe probe;
    if (!songCanCarryTailLyric(path)) {
        // Only the lyric file beside it is read; the song is not even opened.
        const std::string beside = timedLyricBeside(path, true);
        LyricSheet lines;
        if (!beside.empty() && openLyricFile(beside, lines)) {
            probe.hasLyric = true;
            if (!lines.empty()) probe.label = lines.lineAt(0)->text;
        }
        return probe;
    }
    File file;
    if (file.open(path, File::Mode::Read)) {
        std::string tag;
        int64_t dataLength = 0;
        if (locateTailBlock(file, tag, dataLength) >= 0) {
            LyricTextStream stream(file, kProbeStreamBuffer);
            std::string line;
            while (probe.label.empty() && stream.readLine(line, false) >= 0) probe.label = trimLyricText(line);
            probe.hasLyric = true;
            return probe;
        }
        probe.label = parseId3v1(tag).title;
    }
    if (probe.label.empty() && isMidiSong(path)) {
        LyricSheet lines;
        int32_t lengthMs = 0;
        if (readMidiLyrics(path, lines, lengthMs)) {
            if (!lines.empty()) probe.label = lines.lineAt(0)->text;
            probe.hasLyric = lines.lineCount() > kMidiLinesForLyric;
            probe.length = lengthMs / 10;
        }
    }
    return probe;
}

std::vector<std::string> saveFolders(const AppState& state, const std::string& dataFolder) {
    std::vector<std::string> folders;
    auto add = [&folders](const std::string& path, bool isFile) {
        if (path.empty() || folders.size() >= kMaxSaveFolders) return;
        std::string folder = path;
        if (isFile) {
            const size_t slash = path.rfind('/');
            if (slash == std::string::npos) return;
            folder = slash == 0 ? "/" : path.substr(0, slash);
        }
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) folders.push_back(folder);
    };
    add(dataFolder, false);
    auto addEntry = [&add](const SongEntry& e) {
        add(e.songPath, true);
        if (e.hasLyricFile()) add(e.lyricRef, true);
    };
    addEntry(state.list.current);
    for (const SongEntry& e : state.list) addEntry(e);
    return folders;
}

std::string SongSession::stateFilePath() { return stateFileIn(dataFolder(), kStateFileName); }

bool SongSession::loadStateAndOpen(const std::string& programFolder, const std::string& argument,
                                   const std::string& demoSong) {
    std::string bytes;
    const std::string portable = stateFileIn(programFolder, kPortableStateFileName);
    bool openCurrent = false;
    if (!portable.empty() && readWholeFile(portable, bytes, kMaxStateFileBytes) && !bytes.empty()) {
        source_ = StateSource::Portable;
        openCurrent = readStateBytes(bytes, state_, false).listComplete;
    } else if (const StateLoadResult load = loadStateFile(stateFilePath(), state_, true);
               load.status != StateLoad::Missing) {
        source_ = StateSource::DataFolder;
        openCurrent = load.listComplete;
        if (load.status == StateLoad::Unreadable) {
            // What could be read goes on; the file itself is kept for the user.
            stateWritable_ = !load.keptAs.empty();
            stateKeptAs_ = load.keptAs.empty() ? stateFilePath() : load.keptAs;
        }
    } else {
        startWithDemo(demoSong);
        openCurrent = !state_.list.current.songPath.empty();
    }
    if (takeArgument(argument)) openCurrent = true;
    if (!openCurrent || state_.list.current.songPath.empty()) return false;
    return openCurrentSong();
}

void SongSession::startWithDemo(const std::string& demoSong) {
    source_ = StateSource::Demo;
    const std::string folder = dataFolder();
    if (folder.empty()) return;
    const std::string path = folder + "/" + kDemoSongName;
    SafeSave save;
    if (!save.begin(path)) return;
    save.file().write(demoSong);
    if (!save.commit()) return;
    state_.list.addOrUpdateSong(path, 0, kLyricFlagUnknown);
    SongEntry demo;
    demo.songPath = path;
    demo.lyricFlags = kLyricFlagUnknown;
    state_.list.current = demo;
}

bool SongSession::selectSongOfLyric(const std::string& lyricPath) {
    SongList& list = state_.list;
    for (int i = 0; i < list.size(); ++i) {
        if (samePath(list.at(i)->lyricRef, lyricPath)) {
            list.selectSong(i);
            dropDemoMarker();
            return true;
        }
    }
    const std::string mp3 = replaceExtension(lyricPath, "MP3");
    const std::string song = fileExists(mp3) ? mp3 : replaceExtension(lyricPath, "mp3");
    if (song.empty() || !fileExists(song)) return false;
    int i = list.addOrUpdateSong(song, 0, kLyricFlagUnknown, &lyricPath);
    list.at(i)->lyricRef = lyricPath;
    list.selectSong(i);
    dropDemoMarker();
    return true;
}

bool SongSession::takeArgument(const std::string& arg) {
    if (arg.empty() || !fileExists(arg)) return false;
    SongList& list = state_.list;
    const bool lyricFile = mediaKind(arg, MediaTable::Audio) == 0 && mediaKind(arg, MediaTable::Video) == 0 &&
                           isTimedLyricFileName(arg);
    if (lyricFile) return selectSongOfLyric(arg);
    if (!isSongFile(arg)) return false;
    int i = list.findSong(arg);
    if (i < 0) {
        std::string lyric = timedLyricBeside(arg, false);
        i = list.addOrUpdateSong(arg, 0, kLyricFlagUnknown, &lyric);
    }
    list.selectSong(i);
    dropDemoMarker();
    return true;
}

int SongSession::openSongLyric() {
    SongEntry& cur = state_.list.current;
    host_.releaseSong();
    File file;
    if (!file.open(cur.songPath, File::Mode::Read)) {
        host_.songFailed(cur.songPath, SongProblem::Missing);
        dropCurrentSong();
        return 0;
    }
    sheet_.clearLines();
    std::string tag;
    bool hasLyric = false;
    placeholder_ = false;
    // A container without room for a block in its tail is not looked into.
    const bool tailPossible = songCanCarryTailLyric(cur.songPath);
    if (tailPossible && locateTailBlock(file, tag, sheet_) >= 0) {
        if (loadLyricFile(file, sheet_) == 1) {
            sheet_.finishLoad();
        } else {
            sheet_.durationsMirrored = false;
            sheet_.normalizeLines();
        }
        hasLyric = true;
    } else if (const Id3v1Tag id3 = parseId3v1(tag); !id3.title.empty()) {
        sheet_.appendLine(id3.title);
        sheet_.appendLine(id3.artist);
        sheet_.appendLine(id3.year.empty() ? id3.album : id3.album + " " + id3.year);
        placeholder_ = true;
    } else {
        // File names are UTF-8 here; lyric text is GBK.
        sheet_.appendLine(utf8ToGbk(fileTitleOf(cur.songPath)));
        placeholder_ = true;
    }
    file.close();
    const PlaybackOpen opened = host_.openForPlayback(cur.songPath);
    if (opened == PlaybackOpen::Failed || opened == PlaybackOpen::NoOutput) {
        dropCurrentSong(opened == PlaybackOpen::NoOutput);
        return 0;
    }
    host_.setWindowTitle(std::string(kAppTitle) + "  " + cur.songPath);
    if (opened == PlaybackOpen::Opened) state_.list.setCurrentLyricFlag(hasLyric);
    return 1;
}

void SongSession::dropCurrentSong(bool keepInList) {
    SongEntry& cur = state_.list.current;
    if (!keepInList) state_.list.removeSong(cur.songPath);
    cur.songPath.clear();
    cur.lyricRef.clear();
    sheet_.clearLines();
    host_.setWindowTitle(kAppTitle);
}

bool SongSession::openCurrentSong() {
    if (openSongLyric() == 0) return false;
    SongEntry& cur = state_.list.current;
    if (!cur.hasLyricFile() && !songCanCarryTailLyric(cur.songPath)) {
        // Its lyric is kept in the .MLX file beside it.
        const std::string beside = timedLyricBeside(cur.songPath, true);
        if (!beside.empty()) {
            cur.lyricRef = beside;
            const int i = state_.list.findSong(cur.songPath);
            if (i >= 0) state_.list.at(i)->lyricRef = beside;
        }
    }
    if (cur.hasLyricFile() && fileExists(cur.lyricRef)) {
        placeholder_ = false;
        if (!openLyricFile(cur.lyricRef, sheet_)) sheet_.clearLines();
        host_.lyricFileLoaded(cur.lyricRef);
    }
    return true;
}

int SongSession::addSongs(const std::vector<std::string>& paths, bool makeCurrent) {
    int added = 0;
    int last = -1;
    for (const std::string& path : paths) {
        if (!isSongFile(path)) continue;
        if (added == 0) {
            std::string folder = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
            state_.lastSongFolder = folder;
        }
        SongProbe probe = probeSongLyric(path);
        std::string ref = probe.label.empty() ? std::string() : std::string(1, kLyricLabelMark) + probe.label;
        last = state_.list.addOrUpdateSong(path, probe.length, probe.hasLyric ? kLyricFlagHas : kLyricFlagUnknown,
                                          probe.label.empty() ? nullptr : &ref);
        ++added;
    }
    if (added > 0) {
        if (makeCurrent) state_.list.selectSong(last);
        dropDemoMarker();
    }
    return added;
}

bool SongSession::saveState() const {
    // A portable state is read, never written. The first start's state is
    // written like any other, so that the next start opens the editor on the
    // last song instead of playing the demonstration again.
    if (source_ == StateSource::Portable || !stateWritable_) return false;
    const std::string path = stateFilePath();
    if (path.empty() || state_.list.current.songPath.size() < 3) return false;
    return saveStateFile(path, state_);
}

}  // namespace melnix
