// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/video_export.h"

#include "export/core/song_credits.h"


#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <deque>
#include <mutex>
#include <thread>

#include "common/file.h"
#include "export/core/mp4_encoder.h"
#include "common/paths.h"
#include "export/core/song_audio.h"
#include "present/default_pictures.h"
#include "songlist/background_list.h"
#include "songlist/media_kind.h"
#include "ui/qt_text.h"

namespace melnix {
namespace {

// Frames rendered ahead of the encoder: enough to keep both busy, little memory.
constexpr size_t kQueuedFrames = 4;

class FrameQueue {
public:
    // False when the queue was closed (the other side gave up).
    bool push(QImage frame) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return closed_ || frames_.size() < kQueuedFrames; });
        if (closed_) return false;
        frames_.push_back(std::move(frame));
        changed_.notify_all();
        return true;
    }
    bool pop(QImage& frame) {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return closed_ || !frames_.empty(); });
        if (frames_.empty()) return false;
        frame = std::move(frames_.front());
        frames_.pop_front();
        changed_.notify_all();
        return true;
    }
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<QImage> frames_;
    bool closed_ = false;
};

// A unique file beside out, with the permissions a new file of the user gets.
std::string temporaryBeside(const std::string& out, std::string& error) {
    std::string tmpl = out + ".part-XXXXXX";
    const int fd = mkstemp(tmpl.data());
    if (fd < 0) {
        error = out + ": the folder cannot be written (" + std::strerror(errno) + ")";
        return {};
    }
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return tmpl;
}

bool cancelled(const std::atomic<bool>* cancel) { return cancel && cancel->load(); }

}  // namespace

std::vector<std::string> exportPicturesFromSpec(const std::string& spec) {
    BackgroundMediaList list;
    list.setFromSpec(spec);
    std::vector<std::string> pictures;
    for (const std::string& e : list.entries)
        if (isBuiltInPicture(fileNameOf(e)) || mediaKind(e, MediaTable::Picture) != 0) pictures.push_back(e);
    if (pictures.empty()) {
        list.entries.clear();
        list.setFromSpec("");
        pictures = list.entries;
    }
    return pictures;
}

std::vector<std::string> exportPicturesFromPath(const std::string& fileOrFolder) {
    const QFileInfo info(displayPath(fileOrFolder));
    std::string spec;
    if (info.isDir()) {
        const QStringList names = QDir(info.filePath()).entryList(QDir::Files, QDir::Name);
        for (const QString& n : names) {
            const std::string path = QFile::encodeName(QDir(info.filePath()).filePath(n)).toStdString();
            if (mediaKind(path, MediaTable::Picture) == 0) continue;
            spec += (spec.empty() ? "" : "|") + path;
        }
    } else {
        spec = fileOrFolder;
    }
    return exportPicturesFromSpec(spec);
}

QString exportClosingText(const std::string& song) {
    return QString::fromStdString(creditsLine(readSongCredits(song)));
}

void chooseExportBackground(VideoExportRequest& request, const std::string& spec) {
    BackgroundMediaList list;
    list.setFromSpec(spec);
    const std::string first = list.entries.empty() ? std::string() : list.entries.front();
    ShowContent& show = request.show;
    show.video.clear();
    request.sound.clear();
    if (hasVideoPicture(request.song)) {
        show.video = request.song;
        show.videoLoops = false;
        if (!first.empty() && mediaKind(first, MediaTable::Audio) != 0) request.sound = first;
    } else if (!first.empty() && mediaKind(first, MediaTable::Video) != 0) {
        show.video = first;
        show.videoLoops = true;
    }
    show.pictures = exportPicturesFromSpec(spec);
}

VideoExportResult exportVideo(const VideoExportRequest& request, const std::atomic<bool>* cancel,
                              const ExportProgress& progress) {
    VideoExportResult result;
    // Renaming the finished file over the song would lose the song.
    for (const std::string& input : {request.song, request.sound, request.show.video}) {
        if (!input.empty() && sameFile(input, request.out)) {
            result.error = request.out + ": this is the song itself; choose another name for the video";
            return result;
        }
    }
    SongAudio audio;
    const std::string& soundFile = request.sound.empty() ? request.song : request.sound;
    if (!decodeSongAudio(soundFile, request.fromMs, request.toMs, audio, result.error, cancel)) {
        result.cancelled = cancelled(cancel);
        return result;
    }
    const int fps = std::clamp(request.fps, kMinExportFps, kMaxExportFps);
    const int64_t total = std::max<int64_t>(1, (audio.frames() * fps + audio.sampleRate - 1) / audio.sampleRate);
    result.lengthMs = audio.lengthMs();

    const std::string temporary = temporaryBeside(request.out, result.error);
    if (temporary.empty()) return result;
    struct RemoveUnlessKept {
        std::string path;
        bool keep = false;
        ~RemoveUnlessKept() {
            if (!keep) std::remove(path.c_str());
        }
    } cleanup{temporary};

    Mp4Settings settings;
    settings.width = request.size.width;
    settings.height = request.size.height;
    settings.fps = fps;
    settings.crf = qualityCrf(request.quality);
    settings.preset = request.preset;
    settings.sampleRate = audio.sampleRate;
    Mp4Encoder encoder;
    if (!encoder.open(temporary, settings)) {
        result.error = request.out + ": " + encoder.error();
        return result;
    }

    // Frames are drawn on a thread of their own while this one encodes.
    FrameQueue queue;
    ShowRenderer renderer(request.show, QSize(settings.width, settings.height), [] { return NextDefaultPicture(); });
    std::thread producer([&] {
        for (int64_t n = 0; n < total && !cancelled(cancel); ++n) {
            const int64_t us = int64_t{request.fromMs} * 1000 + frameTimeUs(n, fps);
            if (!queue.push(renderer.frameAt(us))) break;
        }
        queue.close();
    });

    bool ok = true;
    int64_t written = 0;
    int64_t audioDone = 0;
    QImage frame;
    while (ok && queue.pop(frame)) {
        if (cancelled(cancel)) break;
        ok = encoder.writeVideo(frame.constBits(), static_cast<int>(frame.bytesPerLine()));
        ++written;
        // The sound up to the end of this frame goes in beside it.
        const int64_t audioEnd = std::min(audio.frames(), written * audio.sampleRate / fps);
        if (ok && audioEnd > audioDone) {
            ok = encoder.writeAudio(audio.samples.data() + audioDone * 2, static_cast<int>(audioEnd - audioDone));
            audioDone = audioEnd;
        }
        if (progress) progress(written, total);
    }
    queue.close();
    producer.join();
    if (cancelled(cancel)) {
        result.cancelled = true;
        result.error = "cancelled";
        return result;
    }
    if (ok && audioDone < audio.frames())
        ok = encoder.writeAudio(audio.samples.data() + audioDone * 2, static_cast<int>(audio.frames() - audioDone));
    if (ok) ok = encoder.finish();
    if (!ok) {
        result.error = request.out + ": " + encoder.error();
        return result;
    }
    if (std::rename(temporary.c_str(), request.out.c_str()) != 0) {
        result.error = request.out + ": " + std::strerror(errno);
        return result;
    }
    cleanup.keep = true;
    result.ok = true;
    result.frames = written;
    return result;
}

}  // namespace melnix
