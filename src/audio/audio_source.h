// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A song's PCM, block by block, for the wave engine's worker: the WAV reader,
// the MP3 reader with its decoder and the FFmpeg decoder implement this.

#include <atomic>
#include <cstdint>
#include <stdexcept>

#include "audio/audio_stream_config.h"
#include "audio/block_processor.h"

namespace melnix {

// ReadBlock results.
constexpr int kBlockRead = 1;
constexpr int kNothingUsable = 0;
constexpr int kEndOfData = -2;

// A read error that is not the end of the data; the worker ends the song.
class AudioSourceError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class AudioSource {
public:
    explicit AudioSource(AudioStreamConfig& config) : config_(config) {}
    virtual ~AudioSource() = default;
    AudioSource(const AudioSource&) = delete;
    AudioSource& operator=(const AudioSource&) = delete;

    // Opens config.filePath and fills in the stream's format. False (or an
    // AudioSourceError) when it cannot be read as this kind of song.
    virtual bool Open() = 0;
    // Makes the source ready to play from the start.
    virtual bool Prepare() = 0;
    virtual int ReadBlock() = 0;
    // Hands the PCM of the block just read to the processor.
    virtual void DecodeBlock(BlockProcessor& out) = 0;
    // At the end of the song: hands over PCM still held back.
    virtual void FlushPending(BlockProcessor&) {}
    // True when the output rate changed with the block just read (the
    // device then has to be opened again).
    virtual bool FormatChanged() { return false; }
    virtual bool SeekMs(int32_t ms) = 0;
    virtual uint32_t BlockCount() const = 0;
    virtual double MsPerBlock() const = 0;
    // The song's length; sources that know it better than whole blocks say so.
    virtual double LengthMs() const { return BlockCount() * MsPerBlock(); }
    // The song time of the first sample the next block will hand over; a
    // seek makes it the position that play goes on from.
    virtual double NextBlockMs() const { return config_.blockIndex.load() * MsPerBlock(); }
    virtual void Rewind() = 0;
    virtual void Close() = 0;
    // At the end of the data: true when the file ended before the audio it
    // announces (a cut-off download whose length came from a header).
    virtual bool EndedEarly() const { return false; }

    // Percent of duration (100 normal), read by the block processor at every
    // block while the user interface may change it.
    std::atomic<int> speedPercent{100};

protected:
    AudioStreamConfig& config_;
};

}  // namespace melnix
