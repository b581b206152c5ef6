// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/midi_song_file.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <sys/stat.h>

#include "common/byte_order.h"
#include "common/file.h"
#include "common/mul_div.h"
#include "common/paths.h"
#include "common/riff_reader.h"
#include "midi/midi_event.h"

namespace melnix {
namespace {

constexpr uint32_t kRmidForm = fourCC('R', 'M', 'I', 'D');
constexpr uint32_t kDataChunk = fourCC('d', 'a', 't', 'a');
constexpr size_t kChunkHeadBytes = 8;
constexpr uint32_t kHeaderLength = 6;
// The smallest file worth parsing: the header chunk and at least one track
// head with a byte of data.
constexpr size_t kMinBytesAfterHeaderHead = 17;
constexpr size_t kMinFileBytes = 10;

// Spans that never saw their note-off sound until the track's next note, but
// no longer than this.
constexpr int32_t kOpenNoteMaxMs = 1200;
constexpr int32_t kOpenNoteGapMs = 20;

uint32_t be32(const uint8_t* p) { return readBe32(p); }
uint16_t be16(const uint8_t* p) { return readBe16(p); }

// MulDiv for a tick count; damaged files can ask for times beyond 32 bits,
// which saturate instead of wrapping.
int32_t ticksScaled(uint64_t ticks, uint32_t tempo, int32_t divisionTimes1000) {
    constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    if (ticks > static_cast<uint64_t>(kMax) || tempo > static_cast<uint32_t>(kMax)) return kMax;
    int32_t r = MulDiv(static_cast<int32_t>(ticks), static_cast<int32_t>(tempo), divisionTimes1000);
    return r < 0 ? kMax : r;
}

int32_t addMs(int32_t a, int32_t b) {
    int64_t s = static_cast<int64_t>(a) + b;
    return s > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : static_cast<int32_t>(s);
}

uint32_t addTicks(uint32_t a, uint32_t b) {
    uint64_t s = static_cast<uint64_t>(a) + b;
    return s > std::numeric_limits<uint32_t>::max() ? std::numeric_limits<uint32_t>::max() : static_cast<uint32_t>(s);
}

uint16_t noteDuration(int32_t ms) {
    if (ms < kNoteMinDuration) return static_cast<uint16_t>(kNoteMinDuration);
    if (ms > kNoteMaxDuration) return kNoteLonger;
    return static_cast<uint16_t>(ms);
}

uint16_t syllableDuration(int32_t ms) {
    return static_cast<uint16_t>(std::clamp<int32_t>(ms, 0, kSyllableMaxDuration));
}

bool isTextMeta(const MidiEvent& e) {
    return e.isMeta(kMetaText) || e.isMeta(kMetaLyric) || e.isMeta(kMetaMarker);
}

// Walks the events of one track with their absolute ticks. The visitor gets
// each event and its tick; the walk ends at the end-of-track event, at an
// unknown status or where the data runs out.
template <typename Visit>
void walkTrack(const std::vector<uint8_t>& data, const MidiTrack& track, Visit visit) {
    uint32_t pos = track.start;
    const uint32_t end = track.end();
    uint8_t runningStatus = 0;
    uint32_t delta = 0;
    if (track.length == 0 || !ReadDelta(data, pos, end, delta)) return;
    uint32_t tick = delta;
    for (;;) {
        MidiEvent event;
        EventRead r = ReadEvent(data, pos, end, runningStatus, event);
        if (r == EventRead::Stop) return;
        visit(event, tick);
        if (r == EventRead::EndOfTrack || !ReadDelta(data, pos, end, delta)) return;
        tick = addTicks(tick, delta);
    }
}

}  // namespace

std::string companionPathFor(const std::string& songPath) {
    std::string upper = replaceExtension(songPath, "TXT");
    if (upper.empty()) return upper;
    struct stat st;
    if (::stat(upper.c_str(), &st) == 0) return upper;
    std::string lower = replaceExtension(songPath, "txt");
    if (::stat(lower.c_str(), &st) == 0) return lower;
    return upper;
}

void MidiSongFile::Clear() {
    fileData.clear();
    fileData.shrink_to_fit();
    format = trackCount = division = 0;
    divisionTimes1000 = 0;
    tracks.clear();
    tempoMap.clear();
    syllables.clear();
    songLengthMs = 0;
    markerMode = false;
}

bool MidiSongFile::LoadFile(const std::string& path, RecordArray<NoteSpan>* notes) {
    Clear();
    noteList = notes;
    if (noteList) noteList->clear();
    companionPath = companionPathFor(path);
    if (ReadWholeFile(path) < 0) return false;
    return loadFromData();
}

bool MidiSongFile::LoadBytes(std::vector<uint8_t> bytes, RecordArray<NoteSpan>* notes) {
    Clear();
    noteList = notes;
    if (noteList) noteList->clear();
    companionPath.clear();
    if (bytes.empty() || bytes.size() > static_cast<size_t>(kMaxMidiFileBytes)) return false;
    fileData = std::move(bytes);
    return loadFromData();
}

bool MidiSongFile::loadFromData() {
    if (!ParseChunks()) {
        Clear();
        return false;
    }
    ScanTrackFacts();
    CollectSyllablesAndNotes();
    return true;
}

int32_t MidiSongFile::ReadWholeFile(const std::string& path) {
    fileData.clear();
    File file;
    if (!file.open(path, File::Mode::Read)) return -1;
    const int64_t fileLength = file.length();
    int64_t offset = 0;
    int64_t size = fileLength;

    uint32_t head[3] = {};
    if (fileLength >= 12 && file.readExact(head, sizeof head) && head[0] == kRiffId && head[2] == kRmidForm) {
        RiffReader riff(file);
        RiffChunk form;
        RiffChunk chunk;
        if (!file.seek(0) || !riff.descend(form, nullptr, RiffReader::Find::Riff, kRmidForm) ||
            !riff.descend(chunk, &form, RiffReader::Find::Chunk, kDataChunk))
            return -1;
        offset = chunk.dataOffset;
        size = std::min<int64_t>(chunk.size, fileLength - offset);
    }
    if (size <= 0 || size > kMaxMidiFileBytes) return -1;
    fileData.resize(static_cast<size_t>(size));
    if (!file.seek(offset) || !file.readExact(fileData.data(), fileData.size())) {
        fileData.clear();
        return -1;
    }
    return static_cast<int32_t>(size);
}

bool MidiSongFile::ParseChunks() {
    const size_t size = fileData.size();
    const uint8_t* b = fileData.data();
    if (size < kMinFileBytes || std::memcmp(b, "MThd", 4) != 0 || be32(b + 4) != kHeaderLength) return false;
    if (size - kChunkHeadBytes < kMinBytesAfterHeaderHead) return false;
    format = be16(b + 8);
    trackCount = be16(b + 10);
    division = be16(b + 12);
    // Also refuses SMPTE time codes, whose top bit is set.
    if (division < kMinDivision || division > kMaxDivision) return false;
    divisionTimes1000 = division * 1000;

    tracks.clear();
    size_t pos = kChunkHeadBytes + kHeaderLength;
    for (int i = 0; i < trackCount; ++i) {
        MidiTrack t;
        const size_t remain = size - pos;
        if (remain <= kChunkHeadBytes) {
            // Declared but missing: an empty track.
            t.start = t.cursor = static_cast<uint32_t>(size);
            t.flags = kTrackFinished;
        } else {
            // Unknown chunks between tracks are not skipped.
            if (std::memcmp(b + pos, "MTrk", 4) != 0) return false;
            size_t length = std::min<size_t>(be32(b + pos + 4), remain - kChunkHeadBytes);
            t.start = t.cursor = static_cast<uint32_t>(pos + kChunkHeadBytes);
            t.length = static_cast<uint32_t>(length);
            if (length == 0) t.flags = kTrackFinished;
            pos = t.start + length;
        }
        tracks.append(t);
    }
    return true;
}

int32_t MidiSongFile::TicksToMs(uint32_t startTick, uint32_t tickCount, int& tempoIndex) const {
    const int last = tempoMap.highestIndex();
    if (last < 0 || divisionTimes1000 <= 0) return 0;
    int k = std::clamp(tempoIndex, 0, last);
    uint64_t a = startTick;
    uint64_t n = tickCount;
    int64_t sum = 0;
    while (k < last) {
        uint64_t e = tempoMap[k + 1].tick;
        if (e <= a) {
            ++k;  // a change at or before the span's start
        } else if (e < a + n) {
            // The span crosses a change: convert up to it with the old tempo.
            sum += ticksScaled(e - a, tempoMap[k].tempo, divisionTimes1000);
            n -= e - a;
            a = e;
            ++k;
        } else {
            break;
        }
    }
    tempoIndex = k;
    sum += ticksScaled(n, tempoMap[k].tempo, divisionTimes1000);
    return static_cast<int32_t>(std::min<int64_t>(sum, std::numeric_limits<int32_t>::max()));
}

void MidiSongFile::ScanTrackFacts() {
    tempoMap.clear();
    tempoMap.append({kDefaultTempo, 0});
    for (int i = 0; i < tracks.size(); ++i) scanFactsOf(i);
}

void MidiSongFile::addTempo(int track, uint32_t tick, uint32_t tempo) {
    if (track == 0) {
        tempoMap.append({tempo, tick});
        return;
    }
    // Other tracks: keep the map in tick order; a change at a tick already
    // in the map replaces that entry.
    int lo = 0;
    int hi = tempoMap.highestIndex();
    while (lo <= hi) {
        int mid = lo + (hi - lo) / 2;
        uint32_t t = tempoMap[mid].tick;
        if (t == tick) {
            tempoMap[mid].tempo = tempo;
            return;
        }
        if (t < tick) lo = mid + 1;
        else hi = mid - 1;
    }
    tempoMap.insertAt(lo, {tempo, tick});
}

void MidiSongFile::scanFactsOf(int i) {
    MidiTrack& t = tracks[i];
    t.noteCount = 0;
    t.programPlus1 = t.secondProgramPlus1 = t.volumePlus1 = 0;
    t.programByte = t.volumeByte = t.name = -1;
    t.nameLength = 0;
    walkTrack(fileData, t, [&](const MidiEvent& e, uint32_t tick) {
        switch (e.kind()) {
            case kStatusNoteOn:
                if (e.data2 > 0 && t.noteCount < std::numeric_limits<uint16_t>::max()) ++t.noteCount;
                break;
            case kStatusController:
                if (e.data1 == kControllerVolume && t.volumePlus1 == 0) {
                    t.volumePlus1 = static_cast<uint8_t>((e.data2 & 0x7F) + 1);
                    t.volumeByte = static_cast<int32_t>(e.dataOffset + 1);
                }
                break;
            case kStatusProgram: {
                uint8_t plus1 = static_cast<uint8_t>((e.data1 & 0x7F) + 1);
                if (t.programPlus1 == 0) {
                    t.programPlus1 = plus1;
                    t.programByte = static_cast<int32_t>(e.dataOffset);
                } else if (t.secondProgramPlus1 == 0 && plus1 != t.programPlus1) {
                    t.secondProgramPlus1 = plus1;
                }
                break;
            }
            case kStatusMeta:
                if (e.metaType == kMetaTempo && e.dataLength >= 3) {
                    const uint8_t* p = fileData.data() + e.dataOffset;
                    uint32_t tempo = readBe24(p);
                    addTempo(i, tick, std::clamp(tempo, kMinTempo, kMaxTempo));
                } else if (e.metaType == kMetaTrackName && t.name < 0) {
                    t.name = static_cast<int32_t>(e.dataOffset);
                    t.nameLength = static_cast<uint8_t>(std::min<uint32_t>(e.dataLength, kMaxTrackNameLength));
                }
                break;
            default: break;
        }
    });
}

void MidiSongFile::CollectSyllablesAndNotes() {
    syllables.clear();
    if (noteList) noteList->clear();
    songLengthMs = 0;
    for (int i = 0; i < tracks.size(); ++i) {
        const int kept = syllables.size();
        songLengthMs = std::max(songLengthMs, ScanTrack(i));
        // Only one track's words are kept: the one with the most, ties to
        // the later track.
        const int found = syllables.size() - kept;
        if (found >= kept) syllables.removeAt(0, kept);
        else syllables.removeAt(kept, found);
    }
    finishOpenNotes();
}

void MidiSongFile::CollectMarkers() {
    syllables.clear();
    if (tracks.empty()) return;
    markerMode = true;
    ScanTrack(tracks.highestIndex());
    markerMode = false;
}

int32_t MidiSongFile::ScanTrack(int i) {
    const MidiTrack* track = tracks.at(i);
    if (!track) return 0;
    noteCursor_ = 0;
    openFrom_ = -1;
    uint32_t pos = track->start;
    const uint32_t end = track->end();
    uint8_t runningStatus = 0;
    uint32_t delta = 0;
    int tempoIndex = 0;
    if (track->length == 0 || !ReadDelta(fileData, pos, end, delta)) return 0;
    int32_t timeMs = TicksToMs(0, delta, tempoIndex);
    uint32_t tick = delta;
    int volume = 127;
    for (;;) {
        MidiEvent event;
        EventRead r = ReadEvent(fileData, pos, end, runningStatus, event);
        if (r == EventRead::Stop) break;
        const bool more = r == EventRead::Event && ReadDelta(fileData, pos, end, delta);
        const int32_t deltaMs = more ? TicksToMs(tick, delta, tempoIndex) : 0;
        handleScannedEvent(i, event, timeMs, deltaMs, volume);
        if (!more) break;
        timeMs = addMs(timeMs, deltaMs);
        tick = addTicks(tick, delta);
    }
    return timeMs;
}

void MidiSongFile::handleScannedEvent(int track, const MidiEvent& e, int32_t timeMs, int32_t deltaMs, int& volume) {
    if (isTextMeta(e)) {
        if (markerMode) return;
        std::string text = copyText(e.dataOffset, e.dataLength);
        if (!text.empty()) syllables.append({timeMs, std::move(text), syllableDuration(deltaMs)});
        return;
    }
    if (e.isNoteOn()) {
        const uint8_t key = e.data1 & 0x7F;
        const uint8_t velocity = e.data2 & 0x7F;
        if (markerMode) {
            if (velocity == 0 && key <= 1) {
                uint16_t duration = syllableDuration(deltaMs);
                if (key == 1) duration |= kMarkerContinues;
                syllables.append({timeMs, std::string(), duration});
            }
        } else if (noteList) {
            RecordNote(track, timeMs, deltaMs, key, velocity, volume);
        }
        return;
    }
    if (e.kind() == kStatusController && e.data1 == kControllerVolume) volume = e.data2 & 0x7F;
}

std::string MidiSongFile::copyText(uint32_t offset, uint32_t length) const {
    std::string out;
    const uint8_t* p = fileData.data() + offset;
    for (uint32_t k = 0; k < length && out.size() <= kMaxSyllableBytes; ++k) {
        uint8_t c = p[k];
        if (c >= 0x80) {
            if (k + 1 >= length) break;  // a lead byte with nothing after it
            uint8_t d = p[k + 1];
            if (d < 0x20) continue;  // the control byte after it is copied as a line mark
            out.push_back(static_cast<char>(c));
            out.push_back(static_cast<char>(d));
            ++k;
        } else {
            // Carriage returns and line feeds become line marks.
            out.push_back(c < 0x20 ? '/' : static_cast<char>(c));
        }
    }
    return out;
}

void MidiSongFile::RecordNote(int track, int32_t timeMs, int32_t deltaMs, uint8_t key, uint8_t velocity,
                              int volume) {
    if (!noteList) return;
    const MidiTrack* t = tracks.at(track);
    if (!t || t->muted()) return;
    RecordArray<NoteSpan>& notes = *noteList;
    const uint8_t trackBits = static_cast<uint8_t>(track & NoteSpan::kNoteTrackMask);
    auto isOpenHere = [&](const NoteSpan& s) { return s.open() && s.track() == trackBits; };

    if (velocity > 0) {
        NoteSpan span;
        span.startMs = timeMs;
        span.durationMs = noteDuration(deltaMs);
        span.key = key;
        span.trackAndOpen = trackBits | NoteSpan::kNoteOpen;
        span.level = static_cast<uint8_t>(volume * velocity / 127);
        while (noteCursor_ < notes.size() && notes[noteCursor_].startMs <= timeMs) ++noteCursor_;
        notes.insertAt(noteCursor_, span);
        if (openFrom_ < 0) openFrom_ = noteCursor_;
        return;
    }

    if (openFrom_ < 0) return;
    for (int i = openFrom_; i < notes.size(); ++i) {
        NoteSpan& s = notes[i];
        if (isOpenHere(s) && s.key == key) {
            s.trackAndOpen = trackBits;
            s.durationMs = noteDuration(static_cast<int32_t>(
                std::clamp<int64_t>(static_cast<int64_t>(timeMs) - s.startMs, 0, kNoteMaxDuration + 1)));
            break;
        }
    }
    while (openFrom_ < notes.size() && !isOpenHere(notes[openFrom_])) ++openFrom_;
    if (openFrom_ >= notes.size()) openFrom_ = -1;
}

void MidiSongFile::finishOpenNotes() {
    if (!noteList) return;
    RecordArray<NoteSpan>& notes = *noteList;
    for (int i = 0; i < notes.size(); ++i) {
        NoteSpan& s = notes[i];
        if (!s.open()) continue;
        int32_t d = kOpenNoteMaxMs;
        for (int j = i + 1; j < notes.size(); ++j) {
            const NoteSpan& later = notes[j];
            const int64_t gap = static_cast<int64_t>(later.startMs) - s.startMs;
            if (later.track() == s.track() && gap > kOpenNoteGapMs) {
                d = static_cast<int32_t>(std::min<int64_t>(gap - kOpenNoteGapMs, kOpenNoteMaxMs));
                break;
            }
        }
        if (d > s.durationMs) s.durationMs = static_cast<uint16_t>(d);
    }
}

std::string MidiSongFile::TrackName(int i) const {
    const MidiTrack* t = tracks.at(i);
    if (!t || t->name < 0 || static_cast<size_t>(t->name) + t->nameLength > fileData.size()) return std::string();
    return std::string(reinterpret_cast<const char*>(fileData.data()) + t->name, t->nameLength);
}

uint8_t* MidiSongFile::FileByte(int32_t offset) {
    if (offset < 0 || static_cast<size_t>(offset) >= fileData.size()) return nullptr;
    return fileData.data() + offset;
}

}  // namespace melnix
