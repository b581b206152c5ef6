// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Tests write Chinese lyric text in UTF-8 and feed it to the model as GBK.

#include <string>
#include <vector>

#include "common/gbk.h"
#include "lyrics/lyric_sheet.h"

namespace melnix::test {

inline std::string g(const std::string& utf8) { return utf8ToGbk(utf8); }
inline std::string u(const std::string& gbk) { return gbkToUtf8(gbk); }

inline std::vector<uint16_t> times(std::initializer_list<int> v) {
    return std::vector<uint16_t>(v.begin(), v.end());
}

inline LyricLine makeLine(int32_t start, const std::string& gbkText, std::vector<uint16_t> charTimes, int32_t flags = 0) {
    LyricLine l;
    l.startTime = start;
    l.flags = flags;
    l.text = gbkText;
    l.duration = charTimes.empty() ? 0 : charTimes.back();
    l.charTimes = std::move(charTimes);
    return l;
}

}  // namespace melnix::test
