// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Buffered line reader and writer over an open file, shared by every
// text-format reader and by the text section of the lyric block.

#include <string>
#include <string_view>
#include <vector>

#include "common/file.h"

namespace melnix {

constexpr int kLyricStreamBuffer = 4096;
constexpr size_t kMaxReadLine = 2008;
constexpr unsigned char kTextEnd = 0x1A;
constexpr int kWriteNoEnding = 9999;

class LyricTextStream {
public:
    LyricTextStream(File& file, int bufferSize = kLyricStreamBuffer);

    // Reads one line into out. Returns -1 at the end of the text (0x1A or end
    // of file before any byte), 1 when the line ended by a hard break marker
    // (CR CR, a full line, a wide break pair), else 0.
    int readLine(std::string& out, bool dbcsMode);

    // Writes text and its ending: CR LF for mode 0, CR CR for another
    // positive mode, nothing for kWriteNoEnding; a negative mode takes the
    // text's first byte as the selector (low four bits 0xD: CR CR).
    void writeLine(std::string_view text, int mode);
    void writeEnd();

    // Bytes read from the file but not consumed; seeking back by this leaves
    // the file right after the last consumed byte.
    int unreadCount() const { return static_cast<int>(end_ - pos_); }
    // Forgets the buffer, after the caller has moved the file.
    void discardBuffer();

    bool softBreak() const { return softBreak_; }

private:
    unsigned char get();
    void unget();

    File& file_;
    std::vector<unsigned char> buf_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool eof_ = false;
    bool lastFromBuffer_ = false;
    bool softBreak_ = false;
};

}  // namespace melnix
