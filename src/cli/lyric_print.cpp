// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/lyric_print.h"

#include <string>

#include "common/gbk.h"

namespace melnix {

void printLyricSheet(const LyricSheet& sheet, std::FILE* out) {
    for (int i = 0; i < sheet.lineCount(); ++i) {
        const LyricLine& l = *sheet.lineAt(i);
        std::string times;
        for (size_t k = 0; k < l.charTimes.size(); ++k) {
            if (k) times += ',';
            times += std::to_string(l.charTimes[k]);
        }
        std::fprintf(out, "%d\t%d\t%u\t%d\t%s\t%s\n", i, l.startTime, static_cast<unsigned>(l.duration), l.flags,
                     times.c_str(), gbkToUtf8(l.text).c_str());
    }
}

}  // namespace melnix
