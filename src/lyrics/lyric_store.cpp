// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_store.h"

#include <cerrno>
#include <cstring>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

#include "common/file.h"
#include "common/paths.h"
#include "common/safe_save.h"
#include "lyrics/lyric_source.h"
#include "lyrics/mlx_block.h"
#include "lyrics/song_audio.h"

namespace melnix {
namespace {

bool failWith(StoreError* error, int err, const char* detail) {
    if (error) {
        error->err = err;
        error->detail = detail;
        if (err) {
            error->detail += ": ";
            error->detail += std::strerror(err);
        }
    }
    return false;
}

// Containers whose players check sizes, indexes or page checksums up to the
// file's end, or find their index there.
constexpr std::string_view kNoTailContainers[] = {
    ".FLAC", ".OGG", ".OGA", ".OPUS", ".M4A", ".AAC", ".AIF", ".AIFF", ".WV", ".APE", ".MKA", ".WEBA",
    ".MP4",  ".M4V", ".MKV", ".WEBM", ".MOV", ".FLV", ".TS"};

}  // namespace

bool songCanCarryTailLyric(std::string_view songPath) {
    for (std::string_view ext : kNoTailContainers)
        if (endsWithNoCase(songPath, ext)) return false;
    return true;
}

std::string lyricFileBeside(const std::string& songPath) { return replaceExtension(songPath, "MLX"); }

TailLoad readTailLyric(const std::string& songPath, LyricSheet& sheet) {
    sheet.clearLines();
    sheet.songDataLength = 0;
    File file;
    if (!file.open(songPath, File::Mode::Read)) return TailLoad::CannotOpen;
    std::string tag;
    if (locateTailBlock(file, tag, sheet) < 0) return TailLoad::NoBlock;
    if (loadLyricFile(file, sheet) == 1) {
        sheet.finishLoad();
        return TailLoad::Loaded;
    }
    sheet.durationsMirrored = false;
    sheet.normalizeLines();
    return TailLoad::Damaged;
}

bool openLyricFile(const std::string& path, LyricSheet& sheet) {
    sheet.clearLines();
    File file;
    if (!openLyricSource(path, file)) return false;
    if (loadLyricFile(file, sheet) != 1) {
        sheet.clearLines();
        return false;
    }
    sheet.finishLoad();
    return true;
}

bool storeInSongTail(const std::string& songPath, LyricSheet& sheet, StoreError* error) {
    if (!songCanCarryTailLyric(songPath))
        return failWith(error, EINVAL, "this kind of song keeps its lyric in an .MLX file beside it");
    // A song the user protected is not ours to replace, even where the
    // folder would let us.
    struct stat st {};
    if (::stat(songPath.c_str(), &st) != 0) return failWith(error, errno, "cannot open the song");
    // The real reason first: a song we may not even read is not "protected".
    if (::access(songPath.c_str(), R_OK) != 0) return failWith(error, errno, "cannot read the song");
    // The song is replaced by a new file, which would be ours: another
    // user's song would change hands.
    if (st.st_uid != ::geteuid() && ::geteuid() != 0)
        return failWith(error, EPERM, "the song belongs to another user (save the lyric into an MLX file instead)");
    const bool ownerWrite = st.st_uid != ::geteuid() || (st.st_mode & S_IWUSR);
    if (!ownerWrite || (st.st_mode & 0222) == 0 || ::access(songPath.c_str(), W_OK) != 0)
        return failWith(error, EACCES, "the song is write-protected (save the lyric into an MLX file instead)");

    File song;
    if (!song.open(songPath, File::Mode::Read)) return failWith(error, song.lastErrno(), "cannot open the song");
    const int64_t songLength = song.length();
    const TailLayout tail = locateTail(song);
    const int64_t blockAt = tail.blockStart >= 0 ? tail.blockStart : tail.blockEnd;
    // Block offsets are 32-bit words in the format.
    if (blockAt < 0 || blockAt > INT32_MAX) return failWith(error, EFBIG, "the song is too large for a lyric block");
    const int64_t audioEnd = songAudioEnd(song, blockAt);

    SafeSave save;
    if (!save.begin(songPath)) return failWith(error, save.lastErrno(), "cannot create a file beside the song");
    if (!save.copyFrom(song, blockAt)) return failWith(error, save.lastErrno(), "cannot copy the song data");
    File& out = save.file();
    writeLyricBlock(out, sheet, 0, "");
    // What followed the old block (an older lyrics tag, the ID3v1 tag) stays.
    std::string rest(static_cast<size_t>(songLength - tail.blockEnd), '\0');
    if (!song.seek(tail.blockEnd) || !song.readExact(rest.data(), rest.size()))
        return failWith(error, song.lastErrno() ? song.lastErrno() : EIO, "cannot read the song's tags");
    out.write(rest);
    if (out.failed()) return failWith(error, out.lastErrno(), "cannot write the song");

    // Read the new file back before it replaces the song: the audio must be
    // all there and the lyric must be found where it was written.
    const TailLayout written = locateTail(out);
    const int64_t expectedBlock = sheet.empty() ? -1 : blockAt;
    if (written.blockStart != expectedBlock || written.songDataLength < blockAt ||
        songAudioEnd(out, blockAt) < audioEnd)
        return failWith(error, EIO, "the written song does not read back whole");
    if (!save.commit()) return failWith(error, save.lastErrno(), "cannot write the song");
    sheet.songDataLength = blockAt;
    return true;
}

bool storeInLyricFile(const std::string& path, const LyricSheet& sheet, int32_t songLength,
                      const std::string& songName, StoreError* error) {
    SafeSave save;
    if (!save.begin(path)) return failWith(error, save.lastErrno(), "cannot create the lyric file");
    writeLyricBlock(save.file(), sheet, songLength, songName);
    if (!save.commit()) return failWith(error, save.lastErrno(), "cannot write the lyric file");
    return true;
}

}  // namespace melnix
