// SPDX-License-Identifier: GPL-3.0-or-later
#include "audio/ffmpeg_bounds.h"

#include <mutex>

extern "C" {
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace melnix {

void prepareFfmpeg() {
    static std::once_flag once;
    std::call_once(once, [] {
        av_max_alloc(kMaxFfmpegAllocation);
        av_log_set_level(AV_LOG_QUIET);
    });
}

}  // namespace melnix
