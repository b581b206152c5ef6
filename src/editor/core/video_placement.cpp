// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/core/video_placement.h"

#include <cstdint>

namespace melnix {
namespace {

constexpr int kAreaMargin = 6;
// Below this the window is too short for a picture above the subtitles.
constexpr int kMinSubtitleBottom = 300;
constexpr int kSubtitleHeightUnderVideo = 120;
constexpr int kVideoMargin = 126;  // the margin above and the subtitles below

}  // namespace

VideoPlacement placeVideo(const IntRect& client, int subtitleBottom, int pictureWidth, int pictureHeight) {
    VideoPlacement p;
    p.subtitleTop = client.top + kAreaMargin;
    p.video = kVideoParked;
    if (pictureWidth <= 0 || pictureHeight <= 0 || subtitleBottom - client.top <= kMinSubtitleBottom) return p;
    p.subtitleTop = subtitleBottom - kSubtitleHeightUnderVideo;
    const int h = subtitleBottom - client.top - kVideoMargin;
    const int w = static_cast<int>(int64_t{h} * pictureWidth / pictureHeight);
    const int x = client.left + (client.width() - w) / 2;
    p.video = {x, client.top + kAreaMargin, x + w, client.top + kAreaMargin + h};
    return p;
}

}  // namespace melnix
