// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the lyric exchange starts from: the song's name, the file that carries
// its lyric, and the sender's profile kept in the state file.

#include <cstdint>
#include <string>

#include "lyrics/lyric_sheet.h"
#include "mail/lyric_exchange.h"
#include "songlist/state_file.h"

namespace melnix {

// A song file smaller than this is sent itself, its lyric in its tail;
// larger songs are too big to mail and only their lyric goes.
constexpr int64_t kSmallSongBytes = 120000;

// The label of a lyric found in the song, else the song's file title; GBK.
std::string exchangeSongName(const SongEntry& song);

// The lyric file to mail: the song's separate lyric file, else the song
// itself when it is small, else the sheet written as an MLX file named after
// the song in folder. Empty when that file cannot be written.
std::string chooseExchangeFile(const SongEntry& song, const LyricSheet& sheet, int32_t songLength,
                               const std::string& folder);

SenderProfile senderProfileOf(const AppState& state);
void storeSenderProfile(AppState& state, const SenderProfile& profile);

}  // namespace melnix
