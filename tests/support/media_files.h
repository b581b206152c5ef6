// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small media files for the hosted-player tests, made with ffmpeg: a picture
// of 160 x 120 (160 x 128 for RealVideo, which wants sides in multiples of 16)
// that is pure red for the first half and pure blue for the second, with a
// 440 Hz tone throughout; a ".wma" or ".flac" file has the tone only. The container and
// codecs follow the name's extension.

#include <cstdlib>
#include <string>

namespace melnix::test {

inline std::string ffmpegCodecs(const std::string& name) {
    const std::string ext = name.substr(name.find_last_of('.') + 1);
    if (ext == "mpg") return "-c:v mpeg1video -c:a mp2";
    if (ext == "avi") return "-c:v msmpeg4 -c:a mp2";
    if (ext == "wmv") return "-c:v wmv2 -c:a wmav2";
    if (ext == "wma") return "-c:a wmav2";
    if (ext == "swf") return "-c:v flv -c:a libmp3lame -ar 22050";
    // The RealMedia reader seeks well only to key frames: every frame is one.
    if (ext == "rm") return "-c:v rv10 -g 1 -c:a ac3";
    if (ext == "mp4") return "-c:v mpeg4 -c:a aac";
    if (ext == "mkv") return "-c:v mpeg4 -c:a libvorbis";
    if (ext == "flac") return "-c:a flac";
    return {};
}

// Writes dir/name of the given length in whole seconds; returns
// its path, or "" when ffmpeg failed.
inline std::string makeTestMedia(const std::string& dir, const std::string& name, int seconds = 2) {
    const std::string codecs = ffmpegCodecs(name);
    if (codecs.empty()) return {};
    const std::string half = std::to_string(seconds * 500) + "ms";
    const std::string path = dir + "/" + name;
    const std::string size = name.ends_with(".rm") ? "160x128" : "160x120";
    const std::string tone = " -f lavfi -i sine=frequency=440:duration=" + std::to_string(seconds);
    const std::string cmd =
        name.ends_with(".wma") || name.ends_with(".flac")
            ? "ffmpeg -nostdin -v error -y" + tone + " " + codecs + " '" + path + "'"
            : "ffmpeg -nostdin -v error -y"
              " -f lavfi -i color=c=red:size=" + size + ":rate=25:duration=" + half +
              " -f lavfi -i color=c=blue:size=" + size + ":rate=25:duration=" + half + tone +
              " -filter_complex '[0:v][1:v]concat=n=2:v=1[v]' -map '[v]' -map 2:a " + codecs + " '" + path + "'";
    return std::system(cmd.c_str()) == 0 ? path : std::string();
}

}  // namespace melnix::test
