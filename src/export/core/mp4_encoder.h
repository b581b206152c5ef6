// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writes an MP4 file with FFmpeg's libraries: H.264 video (libx264) from
// 32-bit BGRA frames and AAC audio from 16-bit stereo PCM, the index at the
// front so that the file plays while it is still being downloaded.

#include <cstdint>
#include <memory>
#include <string>

namespace melnix {

struct Mp4Settings {
    int width = 1280;
    int height = 720;
    int fps = 30;
    int crf = 23;                      // x264's constant-quality value
    std::string preset = "veryfast";   // x264's speed preset
    int sampleRate = 44100;            // of the PCM given; 0: no sound track
    int audioBitRate = 192000;
};

class Mp4Encoder {
public:
    Mp4Encoder();
    ~Mp4Encoder();  // an unfinished file is closed as it is (the caller removes it)
    Mp4Encoder(const Mp4Encoder&) = delete;
    Mp4Encoder& operator=(const Mp4Encoder&) = delete;

    // Creates path (the container is MP4 whatever the name).
    bool open(const std::string& path, const Mp4Settings& settings);
    // The next frame: width x height pixels of 0xAARRGGBB words (QImage's
    // RGB32), lines stride bytes apart.
    bool writeVideo(const uint8_t* pixels, int stride);
    // Interleaved stereo samples, in order; any count.
    bool writeAudio(const int16_t* samples, int frames);
    // Flushes both encoders, writes the index and closes the file.
    bool finish();

    // Why the last call failed, in words.
    const std::string& error() const { return error_; }

private:
    struct State;
    bool fail(const std::string& what, int averror = 0);
    bool encodeAudioFrames(bool flush);
    bool drain(void* codec, void* stream);

    std::unique_ptr<State> s_;
    std::string error_;
};

}  // namespace melnix
