// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Parameters shared by the pieces of the wave engine: the player facade on the
// user-interface thread, and the source, block processor and device on the
// worker thread. What both threads touch while a song plays is atomic.

#include <atomic>
#include <cstdint>
#include <string>

namespace melnix {

// Values of lastError.
constexpr int kWaveErrorNone = 0;
constexpr int kWaveErrorThread = 3;  // the thread could not be started or the decoder set up
constexpr int kWaveErrorSource = 5;  // the source could not be opened or read
constexpr int kWaveErrorDevice = 6;  // the output device is missing or refused

// Values of stretchMethod: whole blocks repeated or cut with short fades, or
// the quality time stretch.
constexpr int kStretchBlock = 0;
constexpr int kStretchQuality = 1;

// One waveform byte per 10 ms of song: one hour.
constexpr int kWaveformLength = 360000;
constexpr uint8_t kWaveformEmpty = 255;

struct AudioStreamConfig {
    std::atomic<bool> collectWaveform{true};
    std::atomic<bool> pitchChange{false};
    std::atomic<int> channelMode{0};  // 0 normal, 6 vocal removal, 1..5 other mixes
    // How the pitch-keeping speeds are played (kStretchBlock or kStretchQuality)
    // and the key in semitones (-6..6); both read at every block.
    std::atomic<int> stretchMethod{0};
    std::atomic<int> keySemitones{0};

    // Both owned by the editor, which reads them while the worker writes.
    std::atomic<int>* levelValue = nullptr;
    std::atomic<uint8_t>* waveform = nullptr;
    int waveformLength = kWaveformLength;

    bool isWav = false;
    std::atomic<int32_t> blockIndex{0};  // blocks (WAV) or frames (MP3) read so far
    // WAV: the song frame the block just read starts at (after a seek the
    // first block is shorter, up to the next block boundary).
    std::atomic<int64_t> blockFirstFrame{0};

    int32_t startMs = 0;
    int32_t endMs = 0;  // 0: none
    int32_t startBlock = 0;
    int32_t endBlock = -1;  // -1: none

    std::atomic<int> sampleRate{44100};
    int maxBlockBytes = 16384;
    int blockBytes = 16384;
    int maxQueuedBuffers = 8;
    int channels = 2;
    int bitsPerSample = 16;
    int deviceId = -1;

    int decodeBufferBytes = 32768;
    int forcedOutputRate = -1;  // -1: the stream's rate
    bool resyncAllowed = true;
    bool forceMono = false;

    std::string filePath;
    int64_t dataLength = 0;  // audio bytes of the file; 0: the whole file

    int threadPriority = 2;
    std::atomic<int> lastError{kWaveErrorNone};
    // Why the source refused the song, when it can say; set and read on the
    // user-interface thread before playing starts.
    std::string errorText;
};

}  // namespace melnix
