// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/lyric_line_writer.h"

#include <algorithm>
#include <limits>
#include <numeric>

#include "common/mul_div.h"
#include "lyrics/lyric_text.h"

namespace melnix {
namespace {

// Takes up to `need` from times[j] without going below the minimum.
int32_t takeFrom(int32_t& t, int32_t need) {
    if (t <= kMinCharMs) return 0;
    int32_t give = std::min(need, t - kMinCharMs);
    t -= give;
    return give;
}

__extension__ typedef __int128 Wide;

constexpr int32_t kLatestLineStartMs = std::numeric_limits<int32_t>::max() - 2 * kMaxLineMs;

int64_t sumOf(const std::vector<int32_t>& times) { return std::accumulate(times.begin(), times.end(), int64_t{0}); }

bool isWholeCharacter(const std::string& bytes) {
    if (bytes.empty() || bytes.size() > 2) return false;
    const unsigned char c = static_cast<unsigned char>(bytes[0]);
    // A second byte of 0x20 or below is no GBK character (and would read back as a space).
    if (bytes.size() == 2) return isLeadByte(c) && static_cast<unsigned char>(bytes[1]) > 0x20;
    return !isLeadByte(c) && c >= 0x20;
}

}  // namespace

std::vector<int32_t> shareEvenly(int32_t totalMs, int parts) {
    std::vector<int32_t> shares(static_cast<size_t>(std::max(parts, 0)), 0);
    for (int k = 0; k < parts; ++k)
        shares[static_cast<size_t>(k)] = MulDiv(totalMs, k + 1, parts) - MulDiv(totalMs, k, parts);
    return shares;
}

void scaleToTotal(std::vector<int32_t>& times, int64_t target) {
    const int64_t total = sumOf(times);
    if (total <= 0) return;
    int64_t done = 0;
    int64_t placed = 0;
    for (int32_t& t : times) {
        done += t;
        // Rounded to nearest as MulDiv rounds; damaged songs can make the
        // product exceed 64 bits.
        int64_t at = static_cast<int64_t>((static_cast<Wide>(done) * target + total / 2) / total);
        t = static_cast<int32_t>(at - placed);
        placed = at;
    }
}

bool applyMinimumTime(std::vector<int32_t>& times, int32_t spareMs) {
    const int n = static_cast<int>(times.size());
    int64_t spare = std::max<int32_t>(spareMs, 0);
    if (n == 0 || sumOf(times) + spare < static_cast<int64_t>(kMinCharMs) * n) return false;
    int lastRaised = -1;
    for (int i = 0; i < n; ++i) {
        int32_t& t = times[static_cast<size_t>(i)];
        if (t >= kMinCharMs) continue;
        int32_t need = kMinCharMs - t;
        int32_t paid = static_cast<int32_t>(std::min<int64_t>(need, spare));
        spare -= paid;
        need -= paid;
        for (int j = 0; j < i && need > 0; ++j) need -= takeFrom(times[static_cast<size_t>(j)], need);
        for (int j = i + 1; j < n && need > 0; ++j) need -= takeFrom(times[static_cast<size_t>(j)], need);
        t = kMinCharMs - need;
        lastRaised = i;
    }
    if (lastRaised >= 0) {
        int32_t& t = times[static_cast<size_t>(lastRaised)];
        t = static_cast<int32_t>(std::min<int64_t>(t + spare, std::numeric_limits<int32_t>::max()));
    }
    return true;
}

bool LyricLineWriter::write(int32_t startMs, const std::vector<LineChar>& chars, int32_t spareMs, int32_t flags) {
    // Only whole characters, and no spaces at either end: the line must read
    // back exactly as the lyric model keeps it. The time of a dropped byte
    // goes to the character before it.
    std::vector<LineChar> kept;
    int64_t lead = 0;
    for (const LineChar& c : chars) {
        const int32_t ms = std::max(c.ms, 0);
        if (isWholeCharacter(c.bytes)) {
            kept.push_back({c.bytes, ms});
        } else if (!kept.empty()) {
            kept.back().ms = static_cast<int32_t>(std::min<int64_t>(int64_t{kept.back().ms} + ms, INT32_MAX));
        } else {
            lead += ms;
        }
    }
    size_t first = 0;
    size_t last = kept.size();
    while (first < last && kept[first].bytes == " ") lead += kept[first++].ms;
    while (last > first && kept[last - 1].bytes == " ") --last;
    std::vector<int32_t> times;
    std::string text;
    for (size_t k = first; k < last; ++k) {
        times.push_back(kept[k].ms);
        text += kept[k].bytes;
    }
    if (times.empty()) return false;
    startMs = static_cast<int32_t>(std::clamp<int64_t>(int64_t{startMs} + lead, 0, INT32_MAX));
    // Damaged songs can put words at absurd times; a line must still be
    // able to end within 32-bit song time.
    if (startMs > kLatestLineStartMs || previousEndMs_ > kLatestLineStartMs) return false;
    if (hasPrevious() && startMs < previousEndMs_ + kMinCharMs) {
        int32_t overlap = static_cast<int32_t>(previousEndMs_ + kMinCharMs - startMs);
        startMs += overlap;
        for (int32_t& t : times) {
            int32_t cut = std::min(t, overlap);
            t -= cut;
            overlap -= cut;
        }
    }
    if (!applyMinimumTime(times, spareMs)) return false;

    int64_t total = sumOf(times);
    if (total > kMaxLineMs) {
        // Squeeze an over-long line into the longest one the model keeps;
        // a line of at most 30 characters still has room for the minimum.
        scaleToTotal(times, kMaxLineMs);
        total = kMaxLineMs;
        applyMinimumTime(times, 0);
    }

    LyricLine line;
    line.startTime = startMs / 10;
    line.flags = flags;
    line.text = std::move(text);
    line.charTimes.reserve(times.size() + 1);
    int32_t cumulative = 0;
    line.charTimes.push_back(0);
    for (int32_t t : times) {
        cumulative += t;
        line.charTimes.push_back(static_cast<uint16_t>(cumulative / 10));
    }
    line.duration = static_cast<uint16_t>(total / 10);

    if (written_ == 0) sheet_.clearLines();
    sheet_.addLine(std::move(line));
    ++written_;
    previousEndMs_ = static_cast<int64_t>(startMs) + total;
    return true;
}

}  // namespace melnix
