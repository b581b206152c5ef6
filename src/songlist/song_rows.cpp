// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/song_rows.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "common/gbk.h"
#include "common/paths.h"
#include "songlist/media_kind.h"

namespace melnix {

namespace {

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

std::string formatSongLength(int32_t cs) {
    if (cs <= kLengthUnknownMax) return {};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d.%02d", cs / 6000, cs / 100 % 60, cs % 100);
    return buf;
}

bool songHasLyric(const SongEntry& entry) {
    return !entry.lyricRef.empty() || ((entry.lyricFlags & kLyricFlagHas) && !(entry.lyricFlags & kLyricFlagUnknown));
}

SongRow songRow(const SongEntry& entry) {
    SongRow row;
    const std::string& path = entry.songPath;
    row.name = fileTitleOf(path);
    const std::string fileName = fileNameOf(path);
    const size_t dot = fileName.rfind('.');
    row.type = dot == std::string::npos ? path : fileName.substr(dot + 1);
    row.lyric = (entry.lyricFlags & kLyricFlagUnknown) ? SongLyricState::Unknown
                : (entry.lyricFlags & kLyricFlagHas)   ? SongLyricState::Own
                                                       : SongLyricState::None;
    row.length = formatSongLength(entry.length);
    row.folder = folderOf(path);
    if (!entry.lyricRef.empty() && entry.lyricRef[0] == kLyricLabelMark) {
        row.lyricRef = "(" + gbkToUtf8(entry.lyricRef.substr(1)) + ")";
    } else if (!row.folder.empty() && entry.lyricRef.size() > row.folder.size() &&
               entry.lyricRef.compare(0, row.folder.size(), row.folder) == 0 && entry.lyricRef[row.folder.size()] == '/') {
        row.lyricRef = entry.lyricRef.substr(row.folder.size() + 1);
    } else {
        row.lyricRef = entry.lyricRef;
    }
    row.pictures = entry.pictureList;
    return row;
}

SongListButtons songListButtons(int selectedCount, bool selectedHasLyric) {
    SongListButtons b;
    b.open = b.remove = selectedCount > 0;
    b.background = b.match = selectedCount == 1;
    b.exchange = selectedCount == 1 && selectedHasLyric;
    return b;
}

std::string buildBackgroundSpec(const std::vector<std::string>& chosen,
                                const std::vector<std::string>& folderPictures,
                                const std::function<std::string(const std::string&)>& convert) {
    if (chosen.empty()) return {};
    const bool wholeFolder = chosen.size() == 1 && mediaKind(chosen.front(), MediaTable::Picture) > 0;
    const bool converting = wholeFolder && convert;
    std::string spec = converting ? convert(chosen.front()) : chosen.front();
    const std::string folder = folderOf(chosen.front());
    std::vector<std::string> more;
    if (wholeFolder) {
        // The folder's pictures from the chosen one on, then round to it.
        const std::string first = fileNameOf(chosen.front());
        auto at = std::find(folderPictures.begin(), folderPictures.end(), first);
        if (at != folderPictures.end()) {
            more.assign(at + 1, folderPictures.end());
            more.insert(more.end(), folderPictures.begin(), at);
        }
    } else {
        for (size_t i = 1; i < chosen.size(); ++i) more.push_back(fileNameOf(chosen[i]));
    }
    for (const std::string& name : more) {
        // One byte to spare: an unscrambled name may grow by one.
        if (spec.size() + 2 + name.size() + (converting ? 1 : 0) >= kMaxBackgroundSpec) break;
        spec += "||";
        spec += converting ? fileNameOf(convert(folder + "/" + name)) : name;
    }
    return spec;
}

std::vector<std::string> listFolderPictures(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (const auto& e : std::filesystem::directory_iterator(folder, ec)) {
        if (!e.is_regular_file(ec)) continue;
        std::string name = e.path().filename().string();
        if (mediaKind(name, MediaTable::Picture) > 0) names.push_back(std::move(name));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace melnix
