// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialogs/core/exchange_setup.h"

#include <algorithm>
#include <sys/stat.h>

#include "common/gbk.h"
#include "common/paths.h"
#include "lyrics/lyric_store.h"
#include "lyrics/lyric_text.h"

namespace melnix {
namespace {

// The order of the profile strings in the state file.
enum ProfileField { kName, kArea, kQq, kHomePage, kEmail, kToAuthor, kToFriends };

}  // namespace

std::string exchangeSongName(const SongEntry& song) {
    if (!song.lyricRef.empty() && song.lyricRef[0] == kLyricLabelMark) return song.lyricRef.substr(1);
    // File names are UTF-8 here; the mail carries GBK like the lyric.
    return utf8ToGbk(fileTitleOf(song.songPath));
}

std::string chooseExchangeFile(const SongEntry& song, const LyricSheet& sheet, int32_t songLength,
                               const std::string& folder) {
    if (song.hasLyricFile()) return song.lyricRef;
    struct stat st {};
    if (::stat(song.songPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size < kSmallSongBytes)
        return song.songPath;
    if (folder.empty()) return {};
    std::string title = fileTitleOf(song.songPath);
    if (title.empty()) title = "Song";
    const std::string path = folder + "/" + title + ".MLX";
    const std::string songName = utf8ToGbk(fileNameOf(song.songPath));
    if (!storeInLyricFile(path, sheet, songLength, songName)) return {};
    return path;
}

SenderProfile senderProfileOf(const AppState& state) {
    SenderProfile p;
    p.name = state.profile[kName];
    p.isFemale = state.senderMale == 0;
    p.age = std::clamp(state.senderAge, 0, kMaxSenderAge);
    p.area = state.profile[kArea];
    p.qqNumber = state.profile[kQq];
    p.homePage = state.profile[kHomePage];
    p.email = state.profile[kEmail];
    p.messageToAuthor = state.profile[kToAuthor];
    p.messageToFriends = state.profile[kToFriends];
    return p;
}

void storeSenderProfile(AppState& state, const SenderProfile& p) {
    state.senderAge = std::clamp(p.age, 0, kMaxSenderAge);
    state.senderMale = p.isFemale ? 0 : 1;
    state.profile[kName] = p.name;
    state.profile[kArea] = p.area;
    state.profile[kQq] = p.qqNumber;
    state.profile[kHomePage] = p.homePage;
    state.profile[kEmail] = p.email;
    state.profile[kToAuthor] = p.messageToAuthor;
    state.profile[kToFriends] = p.messageToFriends;
    // Longer strings would stop the next start reading the state file there.
    for (std::string& s : state.profile) {
        if (s.size() <= kMaxProfileString) continue;
        size_t cut = kMaxProfileString;
        while (cut > 0 && !isCharBoundary(s, static_cast<int>(cut))) --cut;
        s.resize(cut);
    }
}

}  // namespace melnix
