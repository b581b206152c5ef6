// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/mlx_block.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "common/byte_order.h"
#include "lyrics/lrc_reader.h"
#include "lyrics/ksc_reader.h"
#include "lyrics/lyric_text.h"
#include "lyrics/lyric_text_stream.h"
#include "lyrics/song_audio.h"
#include "lyrics/text_scan.h"

namespace melnix {

const std::string_view kMlxSignature = "Tovar Quenli Created this type of lyric file. Patent from 2001";
static_assert(sizeof("Tovar Quenli Created this type of lyric file. Patent from 2001") - 1 == kMlxSignatureSize);

namespace {

constexpr int kSniffLines = 8;
constexpr int kLrcLikeNeeded = 5;
constexpr int kKscLikeNeeded = 4;

std::string_view skipSpaces(std::string_view s) {
    size_t i = s.find_first_not_of(' ');
    return i == std::string_view::npos ? std::string_view() : s.substr(i);
}

uint32_t le32(const unsigned char* p) { return readLe32(p); }

}  // namespace

int writeLyricBlock(File& file, const LyricSheet& sheet, int32_t songLength, std::string_view songName) {
    if (sheet.empty()) return 1;
    const uint32_t blockStart = static_cast<uint32_t>(file.position());

    LyricTextStream stream(file);
    for (const LyricLine& l : sheet) stream.writeLine(l.text, 0);
    stream.writeEnd();

    const uint32_t sigOffset = static_cast<uint32_t>(file.position());
    file.write(kMlxSignature.data(), kMlxSignature.size());
    static const char reserved[kMlxReservedSize] = {};
    file.write(reserved, sizeof reserved);
    file.writeU32(blockStart ^ kStartCheckXor);
    file.writeU32(static_cast<uint32_t>(songLength));
    const int last = sheet.lastIndex();
    file.writeU32(static_cast<uint32_t>(last));

    // Build the records in memory: one write instead of one per word.
    std::vector<unsigned char> records;
    auto put = [&records](uint32_t v) {
        for (int s = 0; s < 32; s += 8) records.push_back(static_cast<unsigned char>(v >> s));
    };
    uint32_t k = kChainSeed;
    for (int i = 0; i <= last; ++i) {
        const LyricLine& line = *sheet.lineAt(i);
        const LyricLine& mirror = *sheet.lineAt(last - i);
        const uint32_t entries = static_cast<uint32_t>(line.charTimes.size());
        k ^= static_cast<uint32_t>(line.flags);
        put(k);
        k ^= (static_cast<uint32_t>(mirror.duration) << 16) | ((2 * entries) & 0xFFFF);
        put(k);
        k ^= static_cast<uint32_t>(line.startTime);
        put(k);
        for (uint16_t t : line.charTimes) {
            k ^= t;
            put(k);
        }
    }
    file.write(records.data(), records.size());

    file.writeU32(static_cast<uint32_t>(last) ^ kLastIndexXor);
    std::string name = songLength > kSongLengthForName ? std::string(songName) : std::string();
    if (name.size() + 1 > static_cast<size_t>(kMaxSongNameSize)) name.resize(kMaxSongNameSize - 1);
    file.writeU32(static_cast<uint32_t>(name.size() + 1));
    file.write(name.c_str(), name.size() + 1);
    file.writeU32(0);  // no extra bytes

    file.writeU32(sigOffset ^ kSigPointerXor);
    file.writeU32(blockStart ^ kStartPointerAXor);
    file.writeU32(blockStart ^ kStartPointerBXor);
    return 1;
}

int loadLyricFile(File& file, LyricSheet& sheet) {
    const int64_t start = file.position();
    LyricTextStream stream(file);

    int lrcLike = 0, kscLike = 0, nonEmpty = 0, read = 0;
    std::string line;
    for (; read < kSniffLines && stream.readLine(line, false) >= 0; ++read) {
        std::string_view s = skipSpaces(line);
        if (!s.empty()) ++nonEmpty;
        if (s.size() > 4 && s[0] == '[' && s[3] == ':') ++lrcLike;
        if (startsWithNoCase(s, "karaoke")) ++kscLike;
    }
    // A short file (a chorus, a test) is LRC when every line it has is tagged.
    const bool shortLrc = read < kSniffLines && nonEmpty > 0 && lrcLike == nonEmpty;
    file.seek(start);
    stream.discardBuffer();
    sheet.durationsMirrored = true;

    if (lrcLike >= kLrcLikeNeeded || shortLrc) return readLrc(stream, sheet);
    if (kscLike >= kKscLikeNeeded) return readKsc(stream, sheet);

    const int base = sheet.lineCount();
    int counted = 0;
    while (stream.readLine(line, false) >= 0) {
        std::string t = trimLyricText(line);
        if (!t.empty() && sheet.appendLine(t) > 0) ++counted;
    }
    file.seekRelative(-stream.unreadCount());

    char sig[kMlxSignatureSize];
    if (!file.readExact(sig, sizeof sig) || std::memcmp(sig, kMlxSignature.data(), sizeof sig) != 0)
        return 0;
    char reserved[kMlxReservedSize];
    if (!file.readExact(reserved, sizeof reserved)) return 0;
    uint32_t startCheck = 0, songLength = 0, lastIndex = 0;
    if (!file.readU32(startCheck) || !file.readU32(songLength) || !file.readU32(lastIndex)) return 0;
    const int32_t length = static_cast<int32_t>(songLength);
    if (length != 0 && length < kMinSongLength) return 0;
    const int32_t last = static_cast<int32_t>(lastIndex);
    if (counted == 0 || last != counted - 1) return 0;

    // The records in memory: a read per word would cost a system call each.
    const int64_t rest = std::min<int64_t>(file.length() - file.position(), int64_t{128} << 20);
    std::vector<unsigned char> bin(static_cast<size_t>(std::max<int64_t>(rest, 0)));
    bin.resize(file.read(bin.data(), bin.size()));
    size_t at = 0;
    auto word = [&](uint32_t& v) {
        if (bin.size() - at < 4) return false;
        v = readLe32(&bin[at]);
        at += 4;
        return true;
    };

    bool complete = false;
    uint32_t prev = kChainSeed;
    for (int i = 0; i <= last; ++i) {
        uint32_t w1 = 0, w2 = 0, w3 = 0;
        if (!word(w1) || !word(w2) || !word(w3)) break;
        LyricLine& l = *sheet.lineAt(base + i);
        l.flags = static_cast<int32_t>(w1 ^ prev);
        const uint32_t sizeAndDuration = w2 ^ w1;
        l.startTime = static_cast<int32_t>(w3 ^ w2);
        l.duration = static_cast<uint16_t>(sizeAndDuration >> 16);
        const int chars = static_cast<int>((sizeAndDuration & 0xFFFF) / 2) - 1;
        if (chars < 1 || chars > kMaxCharsInFormat) break;
        const size_t rawSize = static_cast<size_t>(chars + 1) * 4;
        if (bin.size() - at < rawSize) break;
        const unsigned char* raw = &bin[at];
        at += rawSize;
        prev = w3;
        l.charTimes.resize(static_cast<size_t>(chars) + 1);
        for (int e = 0; e <= chars; ++e) {
            uint32_t w = le32(&raw[static_cast<size_t>(e) * 4]);
            l.charTimes[static_cast<size_t>(e)] = static_cast<uint16_t>(w ^ prev);
            prev = w;
        }
        if (i == last) complete = true;
    }
    if (!complete) return 0;

    // The fields after the records (last-index check, song name, extra
    // bytes, trailer) cannot change the result once every line was read.
    return 1;
}

namespace {

// A block with one line of one character, no name and no extra bytes.
constexpr int64_t kSmallestBinarySection =
    kMlxSignatureSize + kMlxReservedSize + 3 * 4 + 5 * 4 + 4 + 4 + 1 + 4 + kMlxTrailerSize;
// Far beyond any lyric (300,000 lines of 80 characters fit in 100 MiB).
constexpr int64_t kMaxBinarySection = int64_t{128} << 20;

// True when [start, end) holds one whole block whose binary section begins
// at sigOffset: the text section ends CR LF 0x1A right before the signature
// and has one line per record, the start check gives start, every record
// and size field fits, and the trailer follows the extra bytes at once.
bool wholeBlockAt(File& file, int64_t start, int64_t sigOffset, int64_t end) {
    if (start < 0 || sigOffset - start < 3 || end - sigOffset < kSmallestBinarySection ||
        end - sigOffset > kMaxBinarySection)
        return false;
    std::vector<uint8_t> bin(static_cast<size_t>(end - sigOffset + 3));
    if (!file.seek(sigOffset - 3) || !file.readExact(bin.data(), bin.size())) return false;
    if (bin[0] != '\r' || bin[1] != '\n' || bin[2] != kTextEnd) return false;
    const uint8_t* b = bin.data() + 3;
    const size_t n = bin.size() - 3;
    if (std::memcmp(b, kMlxSignature.data(), kMlxSignatureSize) != 0) return false;
    size_t p = kMlxSignatureSize + kMlxReservedSize;
    if (readLe32(b + p) != (static_cast<uint32_t>(start) ^ kStartCheckXor)) return false;
    const uint32_t last = readLe32(b + p + 8);
    if (last >= static_cast<uint32_t>(INT32_MAX)) return false;
    p += 12;
    auto room = [&](size_t bytes) { return n - p >= bytes + kMlxTrailerSize; };
    for (uint32_t i = 0; i <= last; ++i) {
        if (!room(12)) return false;
        const uint32_t w1 = readLe32(b + p), w2 = readLe32(b + p + 4);
        const int chars = static_cast<int>(((w2 ^ w1) & 0xFFFF) / 2) - 1;
        if (chars < 1 || chars > kMaxCharsInFormat) return false;
        p += 12;
        const size_t entries = static_cast<size_t>(chars + 1) * 4;
        if (!room(entries)) return false;
        p += entries;
    }
    if (!room(8) || readLe32(b + p) != (last ^ kLastIndexXor)) return false;
    const uint32_t nameSize = readLe32(b + p + 4);
    p += 8;
    if (nameSize < 1 || nameSize > kMaxSongNameSize || !room(nameSize + 4)) return false;
    p += nameSize;
    const uint32_t extra = readLe32(b + p);
    p += 4;
    if (!room(0) || n - p - kMlxTrailerSize != extra) return false;

    // The text section: one line for every record, ending at the signature.
    if (!file.seek(start)) return false;
    LyricTextStream stream(file);
    std::string line;
    int64_t counted = 0;
    while (stream.readLine(line, false) >= 0) {
        // Counted as a sheet takes lines, without keeping them: the text may
        // be a whole song that only claims to be a block.
        std::string t = trimLyricText(line);
        if (static_cast<int>(t.size()) > kMaxLineBytes) t = trimLyricText(cutToBytes(t, kMaxLineBytes));
        if (!t.empty() && charCount(t) > 0) ++counted;
        if (counted > static_cast<int64_t>(last) + 1) return false;
    }
    return counted == static_cast<int64_t>(last) + 1 && file.position() - stream.unreadCount() == sigOffset;
}

// Whether a block ends at end, and where it starts: the trailer's pointers
// must agree and the whole block must stand between them.
int64_t blockEndingAt(File& file, int64_t end) {
    unsigned char trailer[kMlxTrailerSize];
    if (end < kSmallestBinarySection || !file.seek(end - kMlxTrailerSize) || !file.readExact(trailer, sizeof trailer))
        return -1;
    const int64_t sigOffset = static_cast<int32_t>(le32(trailer) ^ kSigPointerXor);
    const int64_t startA = static_cast<int32_t>(le32(trailer + 4) ^ kStartPointerAXor);
    const int64_t startB = static_cast<int32_t>(le32(trailer + 8) ^ kStartPointerBXor);
    if (startA != startB || startA < 0 || sigOffset <= startA || sigOffset >= end) return -1;
    if (!wholeBlockAt(file, startA, sigOffset, end)) return -1;
    // The song's own audio comes first; a block claimed inside it is not ours
    // and a save must not cut the song there.
    if (songAudioEnd(file, end) > startA) return -1;
    return startA;
}

}  // namespace

TailLayout locateTail(File& file) {
    TailLayout t;
    const int64_t L = file.length();
    t.songDataLength = t.blockEnd = std::max<int64_t>(L, 0);
    if (L < kMinTailSearchSize) return t;

    unsigned char last[kId3v1Size];
    if (!file.seek(L - kId3v1Size) || !file.readExact(last, sizeof last)) return t;
    // Where a block may end: right before an ID3v1 tag, or before an older
    // lyrics tag that stands before it; else at the end of the file.
    std::vector<int64_t> ends{L};
    if (std::memcmp(last, "TAG", 3) == 0) {
        t.tag.assign(reinterpret_cast<const char*>(last), sizeof last);
        t.blockEnd = L - kId3v1Size;
        ends = {L - kId3v1Size};
        const int64_t q = L - kId3v1Size;
        const int64_t d = std::min<int64_t>(q, kLyrics3Search);
        std::vector<char> win(static_cast<size_t>(d));
        if (file.seek(q - d) && file.readExact(win.data(), win.size())) {
            for (int64_t n = d - 11; n >= 89; --n) {
                if (std::memcmp(&win[static_cast<size_t>(n)], "LYRICSBEGIN", 11) == 0 &&
                    std::memcmp(&win[static_cast<size_t>(n - 89)], "TAG", 3) == 0) {
                    ends.push_back((q - d) + (n - 89));
                    break;
                }
            }
        }
    }
    for (int64_t end : ends) {
        const int64_t start = blockEndingAt(file, end);
        if (start >= 0) {
            t.blockStart = start;
            t.blockEnd = end;
            t.songDataLength = start;
            break;
        }
    }
    return t;
}

int64_t locateTailBlock(File& file, std::string& tag, int64_t& songDataLength) {
    TailLayout t = locateTail(file);
    tag = std::move(t.tag);
    songDataLength = t.songDataLength;
    file.seek(t.blockStart >= 0 ? t.blockStart : t.blockEnd);
    return t.blockStart;
}

}  // namespace melnix
