#include "lyrics/lyric_store.h"

#include <cerrno>
#include <cstring>
#include <sys/stat.h>

#include "common/file.h"
#include "common/paths.h"
#include "common/safe_save.h"
#include "lyrics/lyric_source.h"
#include "lyrics/mlx_block.h"

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
    File song;
    if (!song.open(songPath, File::Mode::Read)) return failWith(error, song.lastErrno(), "cannot open the song");
    std::string tag;
    int64_t dataLength = 0;
    locateTailBlock(song, tag, dataLength);
    const int64_t blockAt = song.position();
    // Block offsets are 32-bit words in the format.
    if (blockAt < 0 || blockAt > INT32_MAX) return failWith(error, EFBIG, "the song is too large for a lyric block");

    SafeSave save;
    if (!save.begin(songPath)) return failWith(error, save.lastErrno(), "cannot create a file beside the song");
    if (!save.copyFrom(song, blockAt)) return failWith(error, save.lastErrno(), "cannot copy the song data");
    File& out = save.file();
    writeLyricBlock(out, sheet, 0, "");
    if (!tag.empty()) out.write(tag);
    if (!save.commit(S_IWUSR)) return failWith(error, save.lastErrno(), "cannot write the song");
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
