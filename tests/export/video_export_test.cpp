// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/video_export.h"
#include "export/show_renderer.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <atomic>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <string>
#include <vector>

#include "export_songs.h"
#include "mp4_reading.h"
#include "lyrics/lyric_text.h"
#include "present/core/subtitle_wipe.h"
#include "present/default_pictures.h"
#include "present/subtitle_art.h"
#include "support/gbk_text.h"
#include "support/test_files.h"
#include "support/tool_run.h"

namespace melnix {
namespace {

using test::g;
using test::makeLine;
using test::times;
using test::chirp;
using test::kRate;
using test::wavOf;

enum class Paint { Other, Unsung, Sung };

// The subtitle's four colours, told apart from the grey background after
// the encoder's rounding.
Paint classify(QRgb p) {
    struct Ref {
        int r, gr, b;
        Paint kind;
    } refs[] = {{0xC6, 0x00, 0x44, Paint::Unsung}, {0xFF, 0xFF, 0x1B, Paint::Unsung},
                {0x39, 0xFF, 0xBB, Paint::Sung},   {0x00, 0x00, 0xE4, Paint::Sung}};
    for (const Ref& r : refs) {
        const int dr = qRed(p) - r.r, dg = qGreen(p) - r.gr, db = qBlue(p) - r.b;
        if (dr * dr + dg * dg + db * db < 60 * 60) return r.kind;
    }
    return Paint::Other;
}

struct Counts {
    int sung = 0;
    int unsung = 0;
};

Counts countIn(const QImage& frame, QRect area) {
    Counts c;
    area &= frame.rect();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const Paint k = classify(frame.pixel(x, y));
            if (k == Paint::Sung) ++c.sung;
            if (k == Paint::Unsung) ++c.unsung;
        }
    return c;
}

class VideoExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        QImage grey(640, 360, QImage::Format_RGB32);
        grey.fill(QColor(0x50, 0x50, 0x50));
        picture_ = path("grey.png");
        ASSERT_TRUE(grey.save(QString::fromStdString(picture_)));
    }

    std::string path(const std::string& name) const { return dir_.filePath(QString::fromStdString(name)).toStdString(); }

    std::string writeSong(const std::string& name, const std::vector<int16_t>& samples) {
        const std::string p = path(name);
        test::writeFile(p, wavOf(samples));
        return p;
    }

    VideoExportRequest request(const std::string& song, const std::string& out, int w, int h, int fps) const {
        VideoExportRequest r;
        r.song = song;
        r.out = out;
        r.size = {w, h};
        r.fps = fps;
        r.quality = ExportQuality::High;
        r.preset = "ultrafast";
        r.show.face = QStringLiteral("黑体");
        r.show.closing = QStringLiteral("月亮代表我的心 - 邓丽君");
        // The same plain picture three times: every transition leaves the grey as it was.
        r.show.pictures = {picture_, picture_, picture_};
        r.show.effects.fill(1);
        r.show.effects[0] = 0;
        return r;
    }

    // No file of the export's is left in the folder but those named.
    void expectOnly(const QStringList& names) const {
        QStringList found = QDir(dir_.path()).entryList(QDir::Files, QDir::Name);
        QStringList expected = names;
        expected.sort();
        EXPECT_EQ(found, expected);
    }

    QTemporaryDir dir_;
    std::string picture_;
};

TEST_F(VideoExport, WritesTheShowWithItsWipeAndItsSound) {
    const std::vector<int16_t> samples = chirp(6);
    const std::string song = writeSong("song.wav", samples);
    const std::string out = path("show.mp4");
    VideoExportRequest r = request(song, out, 640, 360, 25);
    r.show.sheet.addLine(makeLine(150, g("月亮代表"), times({0, 50, 100, 150, 200})));
    r.show.sheet.addLine(makeLine(400, g("我的心"), times({0, 40, 80, 150})));
    const LyricSheet sheet = r.show.sheet;

    int64_t lastDone = 0, lastTotal = 0;
    const VideoExportResult result = exportVideo(r, nullptr, [&](int64_t done, int64_t total) {
        EXPECT_EQ(done, lastDone + 1);
        lastDone = done;
        lastTotal = total;
    });
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.lengthMs, 6000);
    EXPECT_EQ(lastDone, 150);
    EXPECT_EQ(lastTotal, 150);

    const test::Mp4Contents mp4 = test::readMp4(out);
    ASSERT_TRUE(mp4.opened);
    EXPECT_EQ(mp4.videoCodec, "h264");
    EXPECT_EQ(mp4.audioCodec, "aac");
    EXPECT_TRUE(mp4.indexBeforeData);
    EXPECT_EQ(mp4.width, 640);
    EXPECT_EQ(mp4.height, 360);
    EXPECT_NEAR(mp4.durationS, 6.0, 1.0 / 25);
    ASSERT_EQ(mp4.frames.size(), 150u);
    for (size_t n = 0; n < mp4.frames.size(); ++n) EXPECT_NEAR(mp4.frameTimes[n], static_cast<double>(n) / 25.0, 0.001);

    // Where the wipe must stand, from the lyric's times and the line's measures.
    const QRect band = exportSubtitleBand(QSize(640, 360));
    const FontSize fs = fitFontSize(band.height());
    const QFont font = makeSubtitleFont(fs.width, fs.height, QStringLiteral("黑体"));
    auto wipeRange = [&](int lineIndex, int frame, int& left, int& lo, int& hi, int& right) {
        const LyricLine& l = *sheet.lineAt(lineIndex);
        const SubtitleArt art = drawSubtitleArt(font, fs.height, band.size(), l.text, true);
        const LineTiming timing = makeLineTiming(l.startTime, l.endTime(), l.charTimes);
        // Frames are 4/100 s apart; one frame either way is allowed.
        lo = art.layout.textLeft + wipePosition(art.layout, timing, (frame - 1) * 4 + kWipeLead);
        hi = art.layout.textLeft + wipePosition(art.layout, timing, (frame + 1) * 4 + kWipeLead);
        left = art.layout.textLeft;
        right = art.textRect.right();
    };
    struct Probe {
        int frame;
        int line;
    } probes[] = {{42, 0}, {55, 0}, {71, 0}, {106, 1}, {117, 1}, {125, 1}};
    for (const Probe& p : probes) {
        int left = 0, lo = 0, hi = 0, right = 0;
        wipeRange(p.line, p.frame, left, lo, hi, right);
        const QImage& f = mp4.frames[static_cast<size_t>(p.frame)];
        const Counts before = countIn(f, QRect(QPoint(left, band.top()), QPoint(lo - 3, band.bottom())));
        const Counts after = countIn(f, QRect(QPoint(hi + 3, band.top()), QPoint(right, band.bottom())));
        SCOPED_TRACE("frame " + std::to_string(p.frame) + ", wipe between " + std::to_string(lo) + " and " +
                     std::to_string(hi));
        if (lo - 3 > left + 10) {
            EXPECT_GT(before.sung, 30);
            EXPECT_LT(before.unsung, before.sung / 50 + 3);
        }
        if (hi + 3 < right - 10) {
            EXPECT_GT(after.unsung, 30);
            EXPECT_LT(after.sung, after.unsung / 50 + 3);
        }
    }
    // Before the first line only its unsung letters show.
    for (int frame : {0, 10, 30}) {
        const Counts c = countIn(mp4.frames[static_cast<size_t>(frame)], band);
        EXPECT_GT(c.unsung, 200) << frame;
        EXPECT_LT(c.sung, 5) << frame;
    }
    // Above the band the background is the picture, untouched.
    const Counts sky = countIn(mp4.frames[60], QRect(0, 0, 640, band.top() - 1));
    EXPECT_EQ(sky.sung + sky.unsung, 0);

    // The sound is the song's: it lines up with it within one frame.
    ASSERT_EQ(mp4.sampleRate, kRate);
    ASSERT_GT(mp4.left.size(), samples.size() / 2 - kRate / 25);
    EXPECT_NEAR(static_cast<double>(mp4.left.size()), static_cast<double>(samples.size() / 2), kRate / 25.0);
    double best = 0;
    int bestLag = 0;
    const int n = kRate * 4;
    for (int lag = -2048; lag <= 2048; lag += 1) {
        double xy = 0, xx = 0, yy = 0;
        for (int i = kRate; i < n; i += 3) {
            const double x = samples[static_cast<size_t>(i) * 2] / 32768.0;
            const double y = mp4.left[static_cast<size_t>(i + lag)];
            xy += x * y;
            xx += x * x;
            yy += y * y;
        }
        const double c = xy / std::sqrt(xx * yy + 1e-12);
        if (c > best) {
            best = c;
            bestLag = lag;
        }
    }
    EXPECT_GT(best, 0.95);
    EXPECT_LT(std::abs(bestLag), kRate / 25);
    expectOnly({"grey.png", "show.mp4", "song.wav"});
}

TEST_F(VideoExport, ASongWithoutLyricShowsTheClosingTexts) {
    const std::string song = writeSong("song.wav", chirp(2));
    const std::string out = path("closing.mp4");
    VideoExportRequest r = request(song, out, 320, 240, 10);
    const VideoExportResult result = exportVideo(r);
    ASSERT_TRUE(result.ok) << result.error;
    const test::Mp4Contents mp4 = test::readMp4(out);
    ASSERT_EQ(mp4.frames.size(), 20u);
    // The closing text is shown as sung through and through.
    const Counts c = countIn(mp4.frames[5], exportSubtitleBand(QSize(320, 240)));
    EXPECT_GT(c.sung, 100);
    EXPECT_LT(c.unsung, c.sung / 50 + 3);
}

// The letters are sized by the band's height; a line wider than the frame
// (the longest line the editor keeps, a long title) is drawn smaller
// instead of losing its ends.
TEST_F(VideoExport, LongLinesAndTitlesAreNeverCut) {
    const QSize sizes[] = {{854, 480}, {1280, 720}, {1920, 1080}, {320, 240}};
    const char* texts[] = {"我在你的身边看着你的笑容啊", "一二三四五六七八九十一二三四五",
                           "Walking Down the River Road in the Morning Light - The Longest Band Name"};
    for (const QSize size : sizes) {
        for (const char* text : texts) {
            SCOPED_TRACE(std::to_string(size.width()) + " " + text);
            ShowContent content;
            content.face = QStringLiteral("黑体");
            const std::string gbk = g(text);
            std::vector<uint16_t> charTimes;
            for (int i = 0; i <= charCount(gbk); ++i) charTimes.push_back(static_cast<uint16_t>(i * 20));
            content.sheet.addLine(makeLine(0, gbk, charTimes));
            ShowRenderer renderer(content, size, [] { return NextDefaultPicture(); });
            const QImage& frame = renderer.frameAt(100000);
            ASSERT_EQ(renderer.shownLine(), 0);
            const QRect drawn = renderer.textRectInFrame();
            EXPECT_GE(drawn.left(), 0);
            EXPECT_LE(drawn.right(), size.width() - 1);
            // Still a line one reads: at least a third of the band's height.
            EXPECT_GE(drawn.height(), exportSubtitleBand(size).height() / 3);
            EXPECT_FALSE(frame.isNull());
        }
    }
}

TEST_F(VideoExport, FromAndToCutTheSongAndItsLines) {
    const std::string song = writeSong("song.wav", chirp(6));
    const std::string out = path("part.mp4");
    VideoExportRequest r = request(song, out, 320, 240, 10);
    r.fromMs = 2000;
    r.toMs = 3500;
    r.show.sheet.addLine(makeLine(150, g("月亮代表"), times({0, 50, 100, 150, 200})));
    const VideoExportResult result = exportVideo(r);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.lengthMs, 1500);
    const test::Mp4Contents mp4 = test::readMp4(out);
    EXPECT_EQ(mp4.frames.size(), 15u);
    EXPECT_NEAR(mp4.durationS, 1.5, 0.1);
    // At song time 2.0 s (+0.1 s lead) the line is sung up to its third character.
    const Counts c = countIn(mp4.frames[0], exportSubtitleBand(QSize(320, 240)));
    EXPECT_GT(c.sung, 20);
    EXPECT_GT(c.unsung, 20);
}

TEST_F(VideoExport, FailuresLeaveNoFileBehind) {
    const std::string song = writeSong("song.wav", chirp(2));
    test::writeFile(path("noise.mp3"), std::string(5000, 'x'));
    struct Case {
        const char* what;
        std::string song;
        std::string out;
    } cases[] = {
        {"missing song", path("nothing.wav"), path("a.mp4")},
        {"not a song", path("noise.mp3"), path("b.mp4")},
        {"missing folder", song, path("no/such/folder/c.mp4")},
        {"the song itself", song, path("./song.wav")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const VideoExportResult result = exportVideo(request(c.song, c.out, 320, 240, 10));
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.cancelled);
        EXPECT_FALSE(result.error.empty());
    }
    expectOnly({"grey.png", "noise.mp3", "song.wav"});
    EXPECT_EQ(test::readFile(song), wavOf(chirp(2)));
}

TEST_F(VideoExport, AFullDiskFailsTheExportAndRemovesThePart) {
    const std::string song = writeSong("song.wav", chirp(3));
    VideoExportRequest r = request(song, path("full.mp4"), 640, 360, 25);
    r.show.pictures = {};  // the built-in photographs: a file that grows fast
    // A file size limit stands in for the full disk: writes past it fail.
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    auto oldSignal = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = old;
    small.rlim_cur = 30000;
    setrlimit(RLIMIT_FSIZE, &small);
    const VideoExportResult result = exportVideo(r);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldSignal);
    EXPECT_FALSE(result.ok);
    EXPECT_FALSE(result.error.empty());
    expectOnly({"grey.png", "song.wav"});
}

TEST_F(VideoExport, CancellingStopsAndRemovesThePart) {
    const std::string song = writeSong("song.wav", chirp(3));
    std::atomic<bool> cancel{false};
    const VideoExportResult result =
        exportVideo(request(song, path("cancelled.mp4"), 320, 240, 10), &cancel, [&](int64_t done, int64_t) {
            if (done == 5) cancel = true;
        });
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.cancelled);
    expectOnly({"grey.png", "song.wav"});
}

// A video of one red second and one blue second, with a tone when sound is asked for.
std::string makeRedBlueVideo(const std::string& path, bool withSound) {
    const std::string cmd =
        "ffmpeg -nostdin -v error -y -f lavfi -i 'color=c=red:s=320x240:r=25:d=1' -f lavfi -i "
        "'color=c=blue:s=320x240:r=25:d=1' " +
        std::string(withSound ? "-f lavfi -i 'sine=frequency=500:duration=2' " : "") +
        "-filter_complex '[0][1]concat=n=2:v=1:a=0[v]' -map '[v]' " + (withSound ? "-map 2:a -c:a aac " : "") +
        "-c:v libx264 -pix_fmt yuv420p '" + path + "'";
    return std::system(cmd.c_str()) == 0 ? path : std::string();
}

// The colour of the frame's top left quarter: the background, clear of the subtitle.
QRgb backgroundAt(const QImage& frame) { return frame.pixel(frame.width() / 4, frame.height() / 4); }
bool reddish(QRgb p) { return qRed(p) > 180 && qBlue(p) < 80; }
bool bluish(QRgb p) { return qBlue(p) > 180 && qRed(p) < 80; }

TEST_F(VideoExport, ABackgroundVideoLoopsBehindTheLyric) {
    const std::string video = makeRedBlueVideo(path("background.mp4"), false);
    ASSERT_FALSE(video.empty());
    const std::string song = writeSong("song.wav", chirp(3));
    VideoExportRequest r = request(song, path("over-video.mp4"), 320, 240, 10);
    chooseExportBackground(r, video);
    EXPECT_EQ(r.show.video, video);
    EXPECT_TRUE(r.show.videoLoops);
    EXPECT_TRUE(r.sound.empty());
    const VideoExportResult result = exportVideo(r);
    ASSERT_TRUE(result.ok) << result.error;
    const test::Mp4Contents mp4 = test::readMp4(path("over-video.mp4"));
    ASSERT_EQ(mp4.frames.size(), 30u);
    for (int n : {2, 8, 22}) EXPECT_TRUE(reddish(backgroundAt(mp4.frames[static_cast<size_t>(n)]))) << n;
    for (int n : {12, 18}) EXPECT_TRUE(bluish(backgroundAt(mp4.frames[static_cast<size_t>(n)]))) << n;
}

TEST_F(VideoExport, AVideoSongShowsItsOwnPictureAtSongTime) {
    const std::string song = makeRedBlueVideo(path("song.mp4"), true);
    ASSERT_FALSE(song.empty());
    VideoExportRequest r = request(song, path("clip.mp4"), 320, 240, 10);
    chooseExportBackground(r, "");
    EXPECT_EQ(r.show.video, song);
    EXPECT_FALSE(r.show.videoLoops);
    r.fromMs = 500;
    const VideoExportResult result = exportVideo(r);
    ASSERT_TRUE(result.ok) << result.error;
    // The sound track's own length (its encoder may pad it a little).
    EXPECT_NEAR(static_cast<double>(result.lengthMs), 1500, 100);
    const test::Mp4Contents mp4 = test::readMp4(path("clip.mp4"));
    ASSERT_GE(mp4.frames.size(), 15u);
    EXPECT_EQ(mp4.audioCodec, "aac");
    EXPECT_TRUE(reddish(backgroundAt(mp4.frames[2])));   // song time 0.7 s
    EXPECT_TRUE(bluish(backgroundAt(mp4.frames[8])));    // 1.3 s
    EXPECT_TRUE(bluish(backgroundAt(mp4.frames[14])));   // 1.9 s

    // Music chosen for the video plays instead of its sound, as long as it lasts.
    const std::string music = writeSong("music.wav", chirp(3));
    VideoExportRequest withMusic = request(song, path("with-music.mp4"), 320, 240, 10);
    chooseExportBackground(withMusic, music);
    EXPECT_EQ(withMusic.sound, music);
    const VideoExportResult second = exportVideo(withMusic);
    ASSERT_TRUE(second.ok) << second.error;
    EXPECT_EQ(second.lengthMs, 3000);
}

// The companion, as the user runs it.
TEST_F(VideoExport, TheToolExportsASongWithItsStoredLyric) {
    const std::string song = writeSong("tool.wav", chirp(3));
    test::writeFile(path("tool.lrc"), "[00:00.50]one\n[00:01.00]two\n[00:01.50]three\n[00:02.00]four\n[00:02.50]five\n");
    const std::string q = "'";
    ASSERT_EQ(test::melnixTool("lyrics convert " + q + path("tool.lrc") + q + " " + q + path("tool.MLX") + q).status, 0);
    ASSERT_EQ(test::melnixTool("lyrics embed " + q + song + q + " " + q + path("tool.MLX") + q).status, 0);
    const test::ToolRun run = test::melnixTool("video " + q + song + q + " " + q + path("tool.mp4") + q +
                                               " --size 320x240 --fps 10 --quality low --pictures " + q +
                                               picture_ + q + " --preset ultrafast");
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "length_ms=3000\n");
    const test::Mp4Contents mp4 = test::readMp4(path("tool.mp4"));
    EXPECT_EQ(mp4.videoCodec, "h264");
    EXPECT_EQ(mp4.audioCodec, "aac");
    EXPECT_EQ(mp4.frames.size(), 30u);
    // At 0.3 s the first line is shown, not yet sung.
    const Counts c = countIn(mp4.frames[3], exportSubtitleBand(QSize(320, 240)));
    EXPECT_GT(c.unsung, 20);
    EXPECT_EQ(c.sung, 0);

    EXPECT_EQ(test::melnixTool("video " + q + song + q + " " + q + path("x.mp4") + q + " --size 100x100").status, 2);
    EXPECT_EQ(test::melnixTool("video " + q + song + q + " " + q + path("x.mp4") + q + " --quality best").status, 2);
    EXPECT_EQ(test::melnixTool("video " + q + path("none.wav") + q + " " + q + path("x.mp4") + q).status, 1);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(path("x.mp4"))));
}

}  // namespace
}  // namespace melnix
