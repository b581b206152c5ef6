// SPDX-License-Identifier: GPL-3.0-or-later
#include "lyrics/lyric_text_stream.h"

namespace melnix {

namespace {
constexpr unsigned char kLF = 0x0A;
constexpr unsigned char kCR = 0x0D;
constexpr unsigned char kFF = 0x0C;
constexpr unsigned char kTab = 0x09;
}  // namespace

LyricTextStream::LyricTextStream(File& file, int bufferSize)
    : file_(file), buf_(static_cast<size_t>(bufferSize > 16 ? bufferSize : 16)) {}

void LyricTextStream::discardBuffer() {
    pos_ = end_ = 0;
    eof_ = false;
    lastFromBuffer_ = false;
}

unsigned char LyricTextStream::get() {
    if (pos_ == end_ && !eof_) {
        end_ = file_.read(buf_.data(), buf_.size());
        pos_ = 0;
        if (end_ == 0) eof_ = true;
    }
    if (pos_ < end_) {
        lastFromBuffer_ = true;
        return buf_[pos_++];
    }
    lastFromBuffer_ = false;
    return kTextEnd;
}

void LyricTextStream::unget() {
    // The end-of-file marker needs no push-back: it is produced again.
    if (lastFromBuffer_ && pos_ > 0) --pos_;
    lastFromBuffer_ = false;
}

int LyricTextStream::readLine(std::string& out, bool dbcsMode) {
    out.clear();
    bool atBoundary = true;  // the next stored byte would begin a character
    for (;;) {
        if (out.size() >= kMaxReadLine) return 1;
        unsigned char c = get();
        if (c == kTextEnd) {
            if (out.empty()) return -1;
            unget();
            return 0;
        }
        if (c == kLF) return 0;
        if (c == kCR) {
            unsigned char d = get();
            if (d == kLF) return 0;
            if (d == kCR) {
                unsigned char e = get();
                if (e != kCR && e != kLF) unget();
                return 1;
            }
            unget();
            return 0;
        }
        if (c == kFF) {
            unsigned char d = get();
            if (d == kLF) return 0;
            if (d == kCR) {
                if (get() != kLF) unget();
                return 0;
            }
            if (d == kTextEnd) {
                unget();
                return 0;
            }
            unget();
            continue;
        }
        if (c < 0x1B && c != kTab) continue;  // other control bytes are dropped

        if (c >= 0x80 && atBoundary) {
            if (out.size() + 1 >= kMaxReadLine) {
                unget();
                return 1;
            }
            if (dbcsMode) {
                unsigned char d = get();
                if ((c == 0x8D || c == 0x8C) && d == kLF) return 1;
                if ((c == 0x8D || c == 0x8C) && d == 0x8A) {
                    softBreak_ = true;
                    return 1;
                }
                if (d >= 0x20) {
                    out.push_back(static_cast<char>(c));
                    out.push_back(static_cast<char>(d));
                } else {
                    unget();
                }
                continue;
            }
            out.push_back(static_cast<char>(c));
            atBoundary = false;
            continue;
        }
        out.push_back(static_cast<char>(c));
        atBoundary = true;
    }
}

void LyricTextStream::writeLine(std::string_view text, int mode) {
    bool crcr = mode > 0 && mode != kWriteNoEnding;
    if (mode < 0) {
        unsigned char sel = text.empty() ? 0 : static_cast<unsigned char>(text[0]);
        crcr = (sel & 0x0F) == 0x0D;
        text = text.empty() ? text : text.substr(1);
    }
    file_.write(text.data(), text.size());
    if (mode == kWriteNoEnding) return;
    file_.write(crcr ? "\r\r" : "\r\n", 2);
}

void LyricTextStream::writeEnd() {
    const unsigned char end = kTextEnd;
    file_.write(&end, 1);
}

}  // namespace melnix
