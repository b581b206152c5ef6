// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reads an MP4 file back with FFmpeg's own libraries: the streams, the
// duration, every video frame as an RGB picture and the sound as samples.

#include <QImage>
#include <string>
#include <vector>

namespace melnix::test {

struct Mp4Contents {
    bool opened = false;
    std::string videoCodec;
    std::string audioCodec;
    double durationS = 0;
    int width = 0, height = 0;
    std::vector<QImage> frames;     // in presentation order
    std::vector<double> frameTimes; // seconds
    int sampleRate = 0;
    std::vector<float> left;        // the left channel
    bool indexBeforeData = false;   // 'moov' before 'mdat'
};

Mp4Contents readMp4(const std::string& path);

}  // namespace melnix::test
