// SPDX-License-Identifier: GPL-3.0-or-later
#include "songlist/state_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <ctime>

#include "common/byte_order.h"
#include "common/safe_save.h"
#include "songlist/media_kind.h"

namespace melnix {
namespace {

class Writer {
public:
    void u32(uint32_t v) {
        for (int s = 0; s < 32; s += 8) out.push_back(static_cast<char>(v >> s));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void u16(uint16_t v) {
        out.push_back(static_cast<char>(v));
        out.push_back(static_cast<char>(v >> 8));
    }
    void str(const std::string& s) {
        i32(static_cast<int32_t>(s.size()));
        out += s;
    }
    std::string out;
};

class Reader {
public:
    explicit Reader(const std::string& b) : bytes(b) {}
    bool u32(uint32_t& v) {
        if (bytes.size() - pos < 4) return false;
        v = readLe32(bytes.data() + pos);
        pos += 4;
        return true;
    }
    bool i32(int32_t& v) {
        uint32_t u = 0;
        if (!u32(u)) return false;
        v = static_cast<int32_t>(u);
        return true;
    }
    bool i32In(int32_t& v, int32_t lo, int32_t hi) {
        int32_t t = 0;
        if (!i32(t) || t < lo || t > hi) return false;
        v = t;
        return true;
    }
    bool u16(uint16_t& v) {
        if (bytes.size() - pos < 2) return false;
        v = readLe16(bytes.data() + pos);
        pos += 2;
        return true;
    }
    bool str(std::string& s, size_t limit) {
        int32_t n = 0;
        if (!i32(n) || n < 0 || static_cast<size_t>(n) > limit || bytes.size() - pos < static_cast<size_t>(n)) return false;
        s.assign(bytes, pos, static_cast<size_t>(n));
        pos += static_cast<size_t>(n);
        return true;
    }
    bool raw(std::string& s, size_t n) {
        if (bytes.size() - pos < n) return false;
        s.assign(bytes, pos, n);
        pos += n;
        return true;
    }
    const std::string& bytes;
    size_t pos = 0;
};

void writeEntry(Writer& w, const SongEntry& e) {
    w.str(e.songPath);
    w.str(e.lyricRef);
    w.str(e.pictureList);
    w.i32(e.length);
    w.u16(e.lyricFlags);
}

bool readEntry(Reader& r, SongEntry& e) {
    return r.str(e.songPath, kMaxPath) && r.str(e.lyricRef, kMaxPath) && r.str(e.pictureList, kMaxPictureList) &&
           r.i32(e.length) && r.u16(e.lyricFlags);
}

}  // namespace

std::string writeStateBytes(const AppState& s) {
    Writer w;
    w.u32(s.resume ? kStateMagicResume : kStateMagic);
    w.str(s.subtitleFont);
    const SongEntry& cur = s.list.current;
    w.str(cur.songPath);
    w.str(cur.lyricRef);
    w.str(cur.pictureList);
    w.i32(cur.length);
    w.u16(cur.lyricFlags);
    w.i32(cur.length > kLengthUnknownMax ? s.position : 0);
    w.i32(s.list.lastIndex());
    for (const SongEntry& e : s.list) writeEntry(w, e);
    w.u32(kStateSeparator);
    w.i32(s.senderAge);
    w.i32(s.senderMale);
    for (const std::string& p : s.profile) w.str(p);
    w.i32(kEffectCount);
    w.out.append(reinterpret_cast<const char*>(s.effectSelected.data()), s.effectSelected.size());
    w.str(s.lastSongFolder);
    w.str(s.lastPictureFolder);
    w.i32(s.transitionSmoothness);
    w.i32(s.showHints);
    // The list counts only when it starts with a picture.
    const std::vector<std::string>& names = s.background.entries;
    const bool pictures = !names.empty() && mediaKind(names.front(), MediaTable::Picture) > 0;
    w.i32(pictures ? static_cast<int32_t>(names.size()) : 0);
    if (pictures) {
        w.i32(s.background.index);
        for (const std::string& n : names) w.str(n);
    }
    w.i32(s.pictureWindowSetting);
    return w.out;
}

StateReadResult readStateBytes(const std::string& bytes, AppState& s, bool fromDataFolder) {
    StateReadResult result;
    Reader r(bytes);
    uint32_t magic = 0;
    if (!r.u32(magic) || (magic != kStateMagic && magic != kStateMagicResume)) return result;
    result.magicOk = true;
    s.resume = magic == kStateMagicResume;

    // Each step either reads its field completely or ends the read.
    auto finish = [&] {
        if (!result.listComplete) s.resume = false;
        return result;
    };
    if (!r.str(s.subtitleFont, kMaxFontFace)) return finish();
    SongEntry cur;
    if (!r.str(cur.songPath, kMaxPath) || !r.str(cur.lyricRef, kMaxPath) || !r.str(cur.pictureList, kMaxPictureList) ||
        !r.i32(cur.length) || !r.u16(cur.lyricFlags))
        return finish();
    s.list.current = cur;
    int32_t position = 0, last = 0;
    if (!r.i32(position)) return finish();  // read, not used
    if (!r.i32In(last, -1, kMaxSongs - 1)) return finish();
    s.list.clear();
    for (int32_t i = 0; i <= last; ++i) {
        SongEntry e;
        if (!readEntry(r, e)) return finish();
        s.list.append(std::move(e));
    }
    result.listComplete = true;

    uint32_t separator = 0;
    if (!r.u32(separator) || separator != kStateSeparator) return finish();
    if (!r.i32In(s.senderAge, 0, kMaxSenderAge) || !r.i32In(s.senderMale, 0, 1)) return finish();
    for (std::string& p : s.profile)
        if (!r.str(p, kMaxProfileString)) return finish();
    int32_t tableSize = 0;
    std::string table;
    if (!r.i32In(tableSize, kEffectTableMin, kEffectTableMax) || !r.raw(table, static_cast<size_t>(tableSize)))
        return finish();
    s.effectSelected.fill(0);
    std::copy_n(table.begin(), std::min<size_t>(table.size(), kEffectCount), s.effectSelected.begin());
    if (std::all_of(s.effectSelected.begin(), s.effectSelected.end(), [](uint8_t b) { return b == 0; }))
        s.effectSelected[0] = 1;
    if (!r.str(s.lastSongFolder, kMaxPath) || !r.str(s.lastPictureFolder, kMaxPath)) return finish();
    int32_t smoothness = 0;
    if (!r.i32In(smoothness, 0, kMaxSmoothness)) return finish();
    if (fromDataFolder) {
        // Eased at every start, so that a slow machine's setting creeps back.
        int32_t v = 3 * smoothness / 4;
        s.transitionSmoothness = (v % 2) ? v + 1 : v;
    }
    if (!r.i32(s.showHints)) return finish();
    int32_t count = 0;
    if (!r.i32In(count, 0, kMaxPictureNames)) return finish();
    if (count > 0) {
        int32_t index = 0;
        if (!r.i32(index)) return finish();
        std::vector<std::string> names;
        for (int32_t i = 0; i < count; ++i) {
            std::string n;
            if (!r.str(n, kMaxPath)) break;
            names.push_back(std::move(n));
        }
        const int32_t read = static_cast<int32_t>(names.size());
        s.background.entries = std::move(names);
        s.background.index = (index >= 0 && index < read) ? index : 0;
        if (read < count) return finish();
    } else {
        s.background.entries.clear();
        s.background.index = 0;
    }
    if (!r.i32(s.pictureWindowSetting)) return finish();
    result.complete = true;
    return finish();
}

bool saveStateFile(const std::string& path, const AppState& state, std::string* why) {
    const std::string bytes = writeStateBytes(state);
    // Never a file that the next start could not read back.
    AppState check;
    const StateReadResult back = readStateBytes(bytes, check, true);
    if (static_cast<int64_t>(bytes.size()) > kMaxStateFileBytes || !back.complete ||
        check.list.size() != state.list.size()) {
        if (why)
            *why = "the song list cannot be kept: " + std::to_string(state.list.size()) +
                   " songs, or a path or picture list longer than a state file holds (" +
                   std::to_string(kMaxStateFileBytes / (1024 * 1024)) + " MB, paths of " + std::to_string(kMaxPath) +
                   " bytes, picture lists of " + std::to_string(kMaxPictureList) + " bytes)";
        return false;
    }
    SafeSave save;
    if (!save.begin(path) || !save.file().write(bytes) || !save.commit()) {
        if (why) *why = std::string("cannot write ") + path + ": " + std::strerror(save.lastErrno() ? save.lastErrno() : EIO);
        return false;
    }
    return true;
}

StateLoadResult loadStateFile(const std::string& path, AppState& state, bool fromDataFolder) {
    StateLoadResult result;
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) return result;
    std::string bytes;
    StateReadResult read;
    if (readWholeFile(path, bytes, kMaxStateFileBytes)) read = readStateBytes(bytes, state, fromDataFolder);
    result.listComplete = read.listComplete;
    if (read.listComplete) {
        result.status = StateLoad::Read;
        return result;
    }
    result.status = StateLoad::Unreadable;
    char stamp[32] = {};
    const std::time_t now = std::time(nullptr);
    std::tm tm {};
    localtime_r(&now, &tm);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &tm);
    std::string aside = path + ".bad-" + stamp;
    for (int n = 2; ::access(aside.c_str(), F_OK) == 0 && n < 100; ++n)
        aside = path + ".bad-" + stamp + "-" + std::to_string(n);
    if (::rename(path.c_str(), aside.c_str()) == 0) result.keptAs = aside;
    return result;
}

}  // namespace melnix
