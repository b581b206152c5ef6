// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/riff_reader.h"

namespace melnix {

bool RiffReader::descend(RiffChunk& chunk, const RiffChunk* parent, Find find, uint32_t what) {
    int64_t limit = parent ? parent->end() : file_.length();
    for (;;) {
        int64_t at = file_.position();
        if (at < 0 || at + 8 > limit) return false;
        RiffChunk c;
        if (!file_.readU32(c.id) || !file_.readU32(c.size)) return false;
        c.dataOffset = at + 8;
        bool container = c.id == kRiffId || c.id == kListId;
        if (container) {
            if (c.size < 4 || !file_.readU32(c.formType)) return false;
        }
        bool match = false;
        switch (find) {
            case Find::Any: match = true; break;
            case Find::Chunk: match = c.id == what; break;
            case Find::Riff: match = c.id == kRiffId && c.formType == what; break;
            case Find::List: match = c.id == kListId && c.formType == what; break;
        }
        if (match) {
            chunk = c;
            return true;
        }
        if (!ascend(c)) return false;
    }
}

bool RiffReader::ascend(const RiffChunk& chunk) {
    int64_t next = chunk.end() + (chunk.size & 1);
    return file_.seek(next);
}

}  // namespace melnix
