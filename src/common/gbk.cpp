// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/gbk.h"

#include <cerrno>
#include <iconv.h>

namespace melnix {
namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Iconv() {
        if (ok()) iconv_close(cd_);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;

    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; on a bad sequence it appends the
    // replacement, skips `skip(in)` bytes and goes on.
    template <typename Skip>
    std::string run(std::string_view input, std::string_view replacement, Skip skip) {
        std::string out;
        if (!ok()) return std::string(input);
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        size_t inLeft = input.size();
        char buf[1024];
        while (inLeft > 0) {
            char* o = buf;
            size_t oLeft = sizeof buf;
            size_t r = iconv(cd_, &in, &inLeft, &o, &oLeft);
            out.append(buf, static_cast<size_t>(o - buf));
            if (r != static_cast<size_t>(-1)) break;
            if (errno == E2BIG) continue;
            // EILSEQ or EINVAL (truncated sequence at the end).
            out.append(replacement);
            size_t n = skip(std::string_view(in, inLeft));
            in += n;
            inLeft -= n;
            iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        }
        return out;
    }

private:
    iconv_t cd_;
};

size_t utf8SequenceLength(std::string_view s) {
    unsigned char c = static_cast<unsigned char>(s[0]);
    size_t n = c < 0x80 ? 1 : c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
    // Skip only the bytes that really continue the sequence.
    size_t i = 1;
    while (i < n && i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
    return i;
}

}  // namespace

std::string gbkToUtf8(std::string_view gbk) {
    Iconv cv("UTF-8", "GB18030");
    // A bad lead byte is replaced alone so the next byte gets its own chance.
    return cv.run(gbk, "\xEF\xBF\xBD", [](std::string_view) { return size_t{1}; });
}

std::string utf8ToGbk(std::string_view utf8) {
    Iconv cv("GBK", "UTF-8");
    return cv.run(utf8, "?", utf8SequenceLength);
}

}  // namespace melnix
