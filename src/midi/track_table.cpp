// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/track_table.h"

#include <algorithm>
#include <cstdio>
#include <limits>

#include "common/gbk.h"
#include "midi/gm_program_names.h"
#include "midi/melody_track.h"

namespace melnix {
namespace {

std::string formatted(const char* format, int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, format, value);
    return buf;
}

}  // namespace

TrackTable::TrackTable(MidiSongFile& song, int& playingTrackCount)
    : song_(song), playingTrackCount_(playingTrackCount) {
    refresh();
}

void TrackTable::refresh() { melody_ = FindMelodyTrack(song_); }

std::string TrackTable::cellText(int row, int column, const TrackWords& words) const {
    const MidiTrack* t = track(row);
    if (!t) return std::string();
    switch (column) {
        case kColTrackNumber: return formatted("% 4d", row);
        case kColPlayStatus: return t->muted() ? words.muted : words.playing;
        case kColMelody:
            if (row == melody_) return words.melody;
            if (melody_ < 0 && row == kLikelyMelodyTrack) return words.maybeMelody;
            return std::string();
        case kColTrackName: return gbkToUtf8(song_.TrackName(row));
        case kColNoteCount: return formatted("% 5d", t->noteCount);
        case kColVolume: return hasVolume(row) ? formatted("% 4d", volume(row)) : words.defaultVolume;
        case kColChineseInstrument: return instrumentText(row, true, words);
        case kColEnglishInstrument: return instrumentText(row, false, words);
        default: return std::string();
    }
}

std::string TrackTable::instrumentText(int row, bool chinese, const TrackWords& words) const {
    if (!hasProgram(row)) return std::string();
    auto name = [chinese, &words](int program) {
        const GmProgramName& n = gmProgramName(program);
        if (!chinese) return std::string(n.english);
        const auto i = static_cast<size_t>(std::clamp(program, 0, kGmProgramCount - 1));
        return i < words.instruments.size() ? words.instruments[i] : std::string(n.chinese);
    };
    std::string text = name(program(row));
    const uint8_t second = track(row)->secondProgramPlus1;
    if (second != 0) text += "/" + name(second - 1);
    return text;
}

TrackCellAction TrackTable::activate(int row, int column) {
    if (!track(row)) return TrackCellAction::None;
    switch (column) {
        case kColPlayStatus: toggleMuted(row); return TrackCellAction::Refill;
        case kColMelody: setMelody(row); return TrackCellAction::Refill;
        case kColVolume: return hasVolume(row) ? TrackCellAction::EditVolume : TrackCellAction::None;
        case kColChineseInstrument:
            return hasProgram(row) ? TrackCellAction::ChooseChineseInstrument : TrackCellAction::None;
        case kColEnglishInstrument:
            return hasProgram(row) ? TrackCellAction::ChooseEnglishInstrument : TrackCellAction::None;
        default: return TrackCellAction::None;
    }
}

void TrackTable::toggleMuted(int row) {
    if (MidiTrack* t = track(row)) t->flags ^= kTrackMuted;
}

void TrackTable::setMelody(int row) {
    if (!track(row)) return;
    for (MidiTrack& t : song_.tracks) t.flags &= static_cast<uint8_t>(~kTrackMelody);
    track(row)->flags |= kTrackMelody;
    refresh();
}

bool TrackTable::hasVolume(int row) const {
    const MidiTrack* t = track(row);
    return t && t->volumePlus1 != 0 && song_.FileByte(t->volumeByte) != nullptr;
}

int TrackTable::volume(int row) const { return hasVolume(row) ? *song_.FileByte(track(row)->volumeByte) : -1; }

void TrackTable::setVolume(int row, int value) {
    if (!hasVolume(row)) return;
    *song_.FileByte(track(row)->volumeByte) = static_cast<uint8_t>(std::clamp(value, 0, kMaxChannelValue));
}

int TrackTable::parseNumber(std::string_view text) {
    size_t i = 0;
    auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    // Far beyond any channel value; it only has to keep its sign.
    constexpr int64_t kLimit = std::numeric_limits<int>::max();
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), kLimit);
    return static_cast<int>(negative ? -value : value);
}

bool TrackTable::hasProgram(int row) const {
    const MidiTrack* t = track(row);
    return t && t->programPlus1 != 0 && song_.FileByte(t->programByte) != nullptr;
}

int TrackTable::program(int row) const {
    if (!hasProgram(row)) return -1;
    return std::min<int>(*song_.FileByte(track(row)->programByte), kGmProgramCount - 1);
}

void TrackTable::setProgram(int row, int program) {
    if (!hasProgram(row) || program < 0 || program >= kGmProgramCount) return;
    *song_.FileByte(track(row)->programByte) = static_cast<uint8_t>(program);
}

void TrackTable::invertMuted() {
    for (MidiTrack& t : song_.tracks) t.flags ^= kTrackMuted;
}

void TrackTable::reset() {
    for (int row = 0; row < rowCount(); ++row) {
        MidiTrack& t = *track(row);
        t.flags &= static_cast<uint8_t>(~kTrackMuted);
        if (hasProgram(row)) *song_.FileByte(t.programByte) = static_cast<uint8_t>(t.programPlus1 - 1);
        if (hasVolume(row)) *song_.FileByte(t.volumeByte) = static_cast<uint8_t>(t.volumePlus1 - 1);
    }
}

void TrackTable::confirm() {
    playingTrackCount_ = static_cast<int>(
        std::count_if(song_.tracks.begin(), song_.tracks.end(), [](const MidiTrack& t) { return !t.muted(); }));
}

void TrackTable::playMelodyAlone() {
    refresh();
    const int melody = melody_ >= 0 ? melody_ : kLikelyMelodyTrack;
    for (MidiTrack& t : song_.tracks) t.flags |= kTrackMuted;
    MidiTrack* alone = track(melody);
    if (alone) alone->flags &= static_cast<uint8_t>(~kTrackMuted);
    // A song without tracks has nothing left to play.
    playingTrackCount_ = alone ? 1 : 0;
}

}  // namespace melnix
