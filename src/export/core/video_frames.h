// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures of a video file at given times, for the export's background:
// decoded in order with FFmpeg, scaled to fit the frame (aspect kept, black
// around), looping when asked.

#include <cstdint>
#include <memory>
#include <string>

namespace melnix {

class VideoFrames {
public:
    VideoFrames();
    ~VideoFrames();
    VideoFrames(const VideoFrames&) = delete;
    VideoFrames& operator=(const VideoFrames&) = delete;

    // False when the file cannot be read or holds no moving picture (a cover
    // picture of a song does not count).
    bool open(const std::string& path, int width, int height);

    // The picture shown at us from the video's start into a width x height
    // image of 0xFFRRGGBB words, lines stride bytes apart. Past the end the
    // last picture stays, or with loop the video starts over. Times must not
    // go backwards except by looping.
    bool frameAt(int64_t us, bool loop, uint8_t* pixels, int stride);

    int64_t durationUs() const;

private:
    struct State;
    bool decodeNext();
    void rewind();
    std::unique_ptr<State> s_;
};

// Whether path holds a moving picture the export can show.
bool hasVideoPicture(const std::string& path);

}  // namespace melnix
