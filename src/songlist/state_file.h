// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state file: the song list and the settings that survive between runs.
// Little-endian integers; strings as an int32 byte count and the bytes.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "songlist/background_list.h"
#include "songlist/song_list.h"

namespace melnix {

constexpr uint32_t kStateMagic = 0x5A7E8888;
constexpr uint32_t kStateMagicResume = 0x5A7E8889;  // the editor's resume flag was set
constexpr uint32_t kStateSeparator = 0x5A7E8888;
constexpr int kEffectCount = 41;
// Which transitions are ticked, one byte each.
using EffectSelection = std::array<uint8_t, kEffectCount>;
constexpr int kEffectTableMin = 28;
constexpr int kEffectTableMax = 8000;
constexpr int kMaxSmoothness = 16;
constexpr int kMaxSenderAge = 120;
constexpr int kProfileStrings = 7;
constexpr size_t kMaxFontFace = 258;
// Paths are longer on Linux than the 258 bytes Windows allowed; a longer
// limit keeps long UTF-8 names from cutting the list short at the next start.
constexpr size_t kMaxPath = 4096;
constexpr size_t kMaxPictureList = 8000;
constexpr size_t kMaxProfileString = 20000;
constexpr int kMaxPictureNames = 100000;
constexpr int kMaxSongs = 1000000;

constexpr char kStateFileName[] = "KTextParam.rec";
constexpr char kPortableStateFileName[] = "Melnix.ini";

struct AppState {
    bool resume = false;
    std::string subtitleFont;
    SongList list;          // the remembered songs and the current one
    int32_t position = 0;   // play position at exit, 1/100 s
    int32_t senderAge = 0;
    int32_t senderMale = 1;
    std::array<std::string, kProfileStrings> profile;
    EffectSelection effectSelected = defaultEffects();
    std::string lastSongFolder;
    std::string lastPictureFolder;
    int32_t transitionSmoothness = 0;
    int32_t showHints = 1;
    BackgroundMediaList background;
    int32_t pictureWindowSetting = 0;

    static EffectSelection defaultEffects() {
        EffectSelection e{};
        e.fill(1);
        e[0] = 0;
        return e;
    }
};

std::string writeStateBytes(const AppState& state);

struct StateReadResult {
    bool magicOk = false;
    bool listComplete = false;  // every song entry was read
    bool complete = false;      // every field was read
};

// Reads as far as the bytes are valid; what was read is kept in state, the
// rest stays as it was. Smoothness is carried over (and eased) only from the
// file in the data folder.
StateReadResult readStateBytes(const std::string& bytes, AppState& state, bool fromDataFolder);

// The largest state file read; the writer keeps within it.
constexpr int64_t kMaxStateFileBytes = 64LL * 1024 * 1024;

// Replaces the file safely: a failure leaves the previous state file. A
// state that would not read back whole (past the reader's limits: too many
// songs, a picture list or a path too long) is refused, and why says so.
bool saveStateFile(const std::string& path, const AppState& state, std::string* why = nullptr);

enum class StateLoad {
    Missing,     // no state file: a first start
    Read,        // read whole
    Unreadable,  // read as far as it could be; the file was kept aside
};

struct StateLoadResult {
    StateLoad status = StateLoad::Missing;
    // Unreadable: where the file was kept ("KTextParam.rec.bad-DATE"), empty
    // when it could not be moved (then nothing may be written over it).
    std::string keptAs;
    bool listComplete = false;
};

// Reads the state file at path into state. A file that cannot be read
// whole is never overwritten by a shorter one: it is moved aside, and the
// state holds what could be read from it.
StateLoadResult loadStateFile(const std::string& path, AppState& state, bool fromDataFolder);

}  // namespace melnix
