// SPDX-License-Identifier: GPL-3.0-or-later
#include "export/core/cdg_writer.h"

#include <algorithm>
#include <cctype>
#include <deque>
#include <map>
#include <numeric>
#include <queue>
#include <utility>

#include "lyrics/lyric_text.h"
#include "sync/line_times.h"

namespace melnix {

std::array<uint8_t, kCdgPacketSize> cdgPacket(uint8_t instruction, const std::array<uint8_t, 16>& data) {
    std::array<uint8_t, kCdgPacketSize> p{};
    p[0] = kCdgCommand;
    p[1] = instruction & 0x3F;
    for (size_t i = 0; i < data.size(); ++i) p[4 + i] = data[i] & 0x3F;
    return p;
}

namespace {

constexpr int kTileColumns = kCdgScreenWidth / kCdgTileWidth;
constexpr int kTileRows = kCdgScreenHeight / kCdgTileHeight;
constexpr int kTilePixels = kCdgTileWidth * kCdgTileHeight;
constexpr int kSafeFirstColumn = kCdgSafeLeft / kCdgTileWidth;
constexpr int kSafeLastColumn = kSafeFirstColumn + kCdgSafeWidth / kCdgTileWidth - 1;
constexpr int kSafeFirstRow = kCdgSafeTop / kCdgTileHeight;
constexpr int kSafeRowCount = kCdgSafeHeight / kCdgTileHeight;
constexpr int64_t kPacketsPerCs = kCdgPacketsPerSecond / 100;
// The colour table, the screen and the border come first.
constexpr int kHeaderPackets = 4;
// The title page gives way this long before the first line, so that the first
// lines are drawn in time; a page shown for less than kMinTitleCs is left out.
constexpr int kTitleLeadCs = 300;
constexpr int kMinTitleCs = 100;
// The last line stays on screen this long after it is sung.
constexpr int kFinalHoldCs = 100;
constexpr int kMinPixelHeight = 8;
// Sixteen colours leave no room for anti-aliasing: a pixel is ink or not.
constexpr int kInkCoverage = 128;
// The text's outline adds a pixel on every side.
constexpr int kRim = 1;
// Title page bands, screen pixels: title above artist, or one alone mid-screen.
constexpr int kTitleTop = 60, kArtistTop = 108, kSingleTitleTop = 84, kTitleBandHeight = 36;

enum PixelKind : uint8_t { kBlank = 0, kOutline = 1, kInk = 2 };

// A text on screen for a while: a lyric line, recoloured as it is sung, or a
// line of the title page.
struct Drawing {
    int x = 0, y = 0, width = 0, height = 0;  // screen pixels
    std::vector<uint8_t> kind;
    std::vector<int16_t> charOf;  // the character of each ink pixel
    std::vector<int64_t> turnAt;  // packet at which each character is sung; empty: never
    int64_t from = 0, to = 0;     // packets it is on screen
    int firstRow = 0, lastRow = 0;
};

class GlyphCache {
public:
    explicit GlyphCache(CdgGlyphSource& source) : source_(source) {}

    // A broken glyph from the source is made whole rather than read out of bounds.
    const CdgGlyph& get(std::string_view ch, int pixelHeight) {
        auto key = std::make_pair(std::string(ch), pixelHeight);
        auto it = cache_.find(key);
        if (it == cache_.end()) {
            CdgGlyph g = source_.draw(ch, pixelHeight);
            g.width = std::clamp(g.width, 0, kCdgScreenWidth);
            g.height = std::clamp(g.height, 0, kCdgScreenHeight);
            g.coverage.resize(static_cast<size_t>(g.width) * static_cast<size_t>(g.height), 0);
            it = cache_.emplace(std::move(key), std::move(g)).first;
        }
        return it->second;
    }

private:
    CdgGlyphSource& source_;
    std::map<std::pair<std::string, int>, CdgGlyph> cache_;
};

std::vector<std::string_view> splitChars(std::string_view text) {
    std::vector<int> offsets = charOffsets(text);
    std::vector<std::string_view> chars;
    for (int off : offsets) {
        size_t len = isLeadByte(static_cast<unsigned char>(text[static_cast<size_t>(off)])) ? 2 : 1;
        chars.push_back(text.substr(static_cast<size_t>(off), len));
    }
    return chars;
}

struct TextSize {
    int width = 0, height = 0;
};

TextSize measure(const std::vector<std::string_view>& chars, int pixelHeight, GlyphCache& cache) {
    TextSize s;
    for (std::string_view ch : chars) {
        const CdgGlyph& g = cache.get(ch, pixelHeight);
        s.width += g.width;
        s.height = std::max(s.height, g.height);
    }
    return s;
}

// The largest pixel height up to `wanted` at which the text fits the box with
// its outline; 0 when not even the smallest does.
int fitHeight(const std::vector<std::string_view>& chars, int wanted, int boxWidth, int boxHeight, GlyphCache& cache) {
    int h = std::min(wanted, boxHeight - 2 * kRim);
    while (h >= kMinPixelHeight) {
        TextSize s = measure(chars, h, cache);
        bool wide = s.width > boxWidth - 2 * kRim, tall = s.height > boxHeight - 2 * kRim;
        if (!wide && !tall) return h;
        int next = wide ? h * (boxWidth - 2 * kRim) / s.width : h * (boxHeight - 2 * kRim) / s.height;
        h = std::min(h - 1, next);
    }
    return 0;
}

// The text centred in the box of the safe area's width that starts at y = top.
Drawing layOut(const std::vector<std::string_view>& chars, int pixelHeight, int top, int boxHeight, GlyphCache& cache) {
    TextSize s = measure(chars, pixelHeight, cache);
    Drawing d;
    d.width = s.width + 2 * kRim;
    d.height = s.height + 2 * kRim;
    d.x = kCdgSafeLeft + (kCdgSafeWidth - d.width) / 2;
    d.y = top + (boxHeight - d.height) / 2;
    d.kind.assign(static_cast<size_t>(d.width * d.height), kBlank);
    d.charOf.assign(d.kind.size(), -1);
    int pen = kRim;
    for (size_t c = 0; c < chars.size(); ++c) {
        const CdgGlyph& g = cache.get(chars[c], pixelHeight);
        int gy0 = kRim + (s.height - g.height) / 2;
        for (int gy = 0; gy < g.height; ++gy) {
            for (int gx = 0; gx < g.width; ++gx) {
                if (g.coverage[static_cast<size_t>(gy * g.width + gx)] < kInkCoverage) continue;
                size_t i = static_cast<size_t>((gy0 + gy) * d.width + pen + gx);
                d.kind[i] = kInk;
                d.charOf[i] = static_cast<int16_t>(c);
            }
        }
        pen += g.width;
    }
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            size_t i = static_cast<size_t>(y * d.width + x);
            if (d.kind[i] == kInk) continue;
            bool nearInk = false;
            for (int dy = -kRim; dy <= kRim && !nearInk; ++dy) {
                for (int dx = -kRim; dx <= kRim && !nearInk; ++dx) {
                    int nx = x + dx, ny = y + dy;
                    nearInk = nx >= 0 && ny >= 0 && nx < d.width && ny < d.height &&
                              d.kind[static_cast<size_t>(ny * d.width + nx)] == kInk;
                }
            }
            if (nearInk) d.kind[i] = kOutline;
        }
    }
    d.firstRow = d.y / kCdgTileHeight;
    d.lastRow = (d.y + d.height - 1) / kCdgTileHeight;
    return d;
}

// When each character turns sung, in 1/100 s from the line's start. Latin words
// turn whole at their first letter, as their letters are not timed one by one;
// punctuation goes with the character before it.
std::vector<int> turnTimes(const LyricLine& line, const std::vector<std::string_view>& chars) {
    int n = static_cast<int>(chars.size());
    std::vector<uint16_t> times = line.charTimes;
    if (static_cast<int>(times.size()) != n + 1) times = evenCharTimes(n, line.duration);
    std::vector<int> turn(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c) {
        auto b = static_cast<unsigned char>(chars[static_cast<size_t>(c)][0]);
        bool afterText = c > 0 && chars[static_cast<size_t>(c - 1)][0] != ' ';
        bool afterLatin = afterText && !isLeadByte(static_cast<unsigned char>(chars[static_cast<size_t>(c - 1)][0]));
        bool joins = false;
        if (isLeadByte(b)) joins = afterText && !isTimedChar(line.text, c);
        else if (std::isalnum(b)) joins = afterLatin;
        else if (b != ' ') joins = afterText;
        turn[static_cast<size_t>(c)] = joins ? turn[static_cast<size_t>(c - 1)] : times[static_cast<size_t>(c)];
    }
    return turn;
}

using TilePixels = std::array<uint8_t, kTilePixels>;
using PacketData = std::array<uint8_t, 16>;

struct Packet {
    uint8_t instruction = 0;
    PacketData data{};
};

class Screen {
public:
    Screen(const CdgPalette& palette, std::vector<Drawing> drawings)
        : palette_(palette), drawings_(std::move(drawings)) {
        TilePixels blank;
        blank.fill(static_cast<uint8_t>(palette.background));
        tiles_.assign(kTileColumns * kTileRows, blank);
        tileTime_.assign(tiles_.size(), 0);
    }

    // Packets that bring the tile to what it shows at time t (never back to
    // an earlier time than it already shows), and the tile as they leave it.
    std::vector<Packet> update(int tile, int64_t t) {
        t = std::max(t, tileTime_[static_cast<size_t>(tile)]);
        tileTime_[static_cast<size_t>(tile)] = t;
        TilePixels want = wanted(tile, t);
        TilePixels& have = tiles_[static_cast<size_t>(tile)];
        if (want == have) return {};
        std::vector<Packet> packets = encode(tile, have, want);
        have = want;
        return packets;
    }

private:
    TilePixels wanted(int tile, int64_t t) const {
        TilePixels px;
        px.fill(static_cast<uint8_t>(palette_.background));
        int row = tile / kTileColumns, col = tile % kTileColumns;
        for (const Drawing& d : drawings_) {
            if (row < d.firstRow || row > d.lastRow || t < d.from || t >= d.to) continue;
            for (int y = 0; y < kCdgTileHeight; ++y) {
                int dy = row * kCdgTileHeight + y - d.y;
                if (dy < 0 || dy >= d.height) continue;
                for (int x = 0; x < kCdgTileWidth; ++x) {
                    int dx = col * kCdgTileWidth + x - d.x;
                    if (dx < 0 || dx >= d.width) continue;
                    size_t i = static_cast<size_t>(dy * d.width + dx);
                    int colour = palette_.background;
                    if (d.kind[i] == kOutline) colour = palette_.outline;
                    else if (d.kind[i] == kInk && d.turnAt.empty()) colour = palette_.title;
                    else if (d.kind[i] == kInk)
                        colour = d.turnAt[static_cast<size_t>(d.charOf[i])] <= t ? palette_.sung : palette_.unsung;
                    else continue;
                    px[static_cast<size_t>(y * kCdgTileWidth + x)] = static_cast<uint8_t>(colour);
                }
            }
        }
        return px;
    }

    // A tile packet holds two colours; the cheaper of redrawing (one packet,
    // plus an XOR for each further colour) and XOR-ing only the changes.
    static std::vector<Packet> encode(int tile, const TilePixels& have, const TilePixels& want) {
        std::array<int, kCdgColourCount> count{};
        std::array<bool, kCdgColourCount> flips{};
        for (int i = 0; i < kTilePixels; ++i) {
            ++count[want[static_cast<size_t>(i)]];
            flips[have[static_cast<size_t>(i)] ^ want[static_cast<size_t>(i)]] = true;
        }
        flips[0] = false;
        std::array<int, kCdgColourCount> order;
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return count[a] > count[b]; });
        int colours = static_cast<int>(std::count_if(count.begin(), count.end(), [](int n) { return n > 0; }));
        int xorCost = static_cast<int>(std::count(flips.begin(), flips.end(), true));
        int drawCost = std::max(1, colours - 1);

        auto tilePacket = [tile](uint8_t instruction, int colour0, int colour1, auto&& set) {
            Packet p;
            p.instruction = instruction;
            p.data[0] = static_cast<uint8_t>(colour0);
            p.data[1] = static_cast<uint8_t>(colour1);
            p.data[2] = static_cast<uint8_t>(tile / kTileColumns);
            p.data[3] = static_cast<uint8_t>(tile % kTileColumns);
            for (int y = 0; y < kCdgTileHeight; ++y) {
                for (int x = 0; x < kCdgTileWidth; ++x) {
                    // Bit 5 is the leftmost pixel.
                    if (!set(y * kCdgTileWidth + x)) continue;
                    p.data[static_cast<size_t>(4 + y)] |= static_cast<uint8_t>(0x20 >> x);
                }
            }
            return p;
        };
        std::vector<Packet> packets;
        if (xorCost < drawCost) {
            for (int v = 1; v < kCdgColourCount; ++v) {
                if (!flips[static_cast<size_t>(v)]) continue;
                packets.push_back(tilePacket(kCdgTileBlockXor, 0, v, [&](int i) {
                    return (have[static_cast<size_t>(i)] ^ want[static_cast<size_t>(i)]) == v;
                }));
            }
            return packets;
        }
        int c0 = order[0], c1 = colours > 1 ? order[1] : order[0];
        packets.push_back(
            tilePacket(kCdgTileBlock, c0, c1, [&](int i) { return want[static_cast<size_t>(i)] != c0; }));
        for (int k = 2; k < colours; ++k) {
            int c = order[static_cast<size_t>(k)];
            packets.push_back(
                tilePacket(kCdgTileBlockXor, 0, c1 ^ c, [&](int i) { return want[static_cast<size_t>(i)] == c; }));
        }
        return packets;
    }

    const CdgPalette& palette_;
    std::vector<Drawing> drawings_;
    std::vector<TilePixels> tiles_;
    std::vector<int64_t> tileTime_;
};

PacketData colourTableData(const CdgPalette& palette, int first) {
    PacketData data{};
    for (int i = 0; i < 8; ++i) {
        uint32_t rgb = palette.colours[static_cast<size_t>(first + i)];
        // Rounded to the 4 bits a channel has on screen.
        auto channel = [rgb](int shift) { return static_cast<uint8_t>((((rgb >> shift) & 0xFF) * 15 + 127) / 255); };
        uint8_t r = channel(16), g = channel(8), b = channel(0);
        data[static_cast<size_t>(2 * i)] = static_cast<uint8_t>(r << 2 | g >> 2);
        data[static_cast<size_t>(2 * i + 1)] = static_cast<uint8_t>((g & 3) << 4 | b);
    }
    return data;
}

// Redraws of a tile that may come any time from `release` on and should be
// done by `deadline`: lines drawn ahead, pages cleared.
struct TileJob {
    int64_t release = 0, deadline = 0;
    int tile = 0;
    int seq = 0;
};

// A recolouring due at one packet: characters turning sung.
struct Wipe {
    int64_t due = 0, slot = 0;
    int tile = 0;
};

void addBandJobs(std::vector<TileJob>& jobs, int firstRow, int lastRow, int64_t release, int64_t deadline) {
    for (int r = std::max(firstRow, kSafeFirstRow); r <= std::min(lastRow, kSafeFirstRow + kSafeRowCount - 1); ++r) {
        for (int c = kSafeFirstColumn; c <= kSafeLastColumn; ++c) {
            jobs.push_back({release, deadline, r * kTileColumns + c, static_cast<int>(jobs.size())});
        }
    }
}

bool validPalette(const CdgPalette& p) {
    for (int i : {p.background, p.unsung, p.sung, p.outline, p.title}) {
        if (i < 0 || i >= kCdgColourCount) return false;
    }
    return true;
}

// Each wipe takes the latest free packet at or before its due one, so that a
// crowd of them starts early instead of running late.
void planWipes(std::vector<Wipe>& wipes, int64_t total) {
    // next[s]: s when free, else a packet below it to look at next (-1: none).
    std::vector<int64_t> next(static_cast<size_t>(total));
    std::iota(next.begin(), next.end(), int64_t{0});
    auto latestFree = [&next](int64_t s) {
        int64_t root = s;
        while (root >= 0 && next[static_cast<size_t>(root)] != root) root = next[static_cast<size_t>(root)];
        while (s > root) {
            int64_t below = next[static_cast<size_t>(s)];
            next[static_cast<size_t>(s)] = root;
            s = below;
        }
        return root;
    };
    for (int64_t s = 0; s < std::min<int64_t>(kHeaderPackets, total); ++s) next[static_cast<size_t>(s)] = s - 1;
    // Characters sung after the song's end would only crowd its last packets.
    std::erase_if(wipes, [total](const Wipe& w) { return w.due >= total; });
    std::sort(wipes.begin(), wipes.end(), [](const Wipe& a, const Wipe& b) {
        return a.due != b.due ? a.due > b.due : a.tile < b.tile;
    });
    for (Wipe& w : wipes) {
        int64_t s = latestFree(w.due);
        w.slot = s >= 0 ? s : w.due;
        if (s >= 0) next[static_cast<size_t>(s)] = s - 1;
    }
    std::sort(wipes.begin(), wipes.end(), [](const Wipe& a, const Wipe& b) {
        return a.slot != b.slot ? a.slot < b.slot : a.tile < b.tile;
    });
}

// What the stream shows and when.
struct ShowPlan {
    std::vector<Drawing> drawings;
    std::vector<TileJob> jobs;
    std::vector<Wipe> wipes;
};

void planTitlePage(ShowPlan& plan, const CdgOptions& options, int64_t titleEnd, GlyphCache& cache) {
    std::string title = trimLyricText(options.titleGbk), artist = trimLyricText(options.artistGbk);
    std::vector<std::pair<std::string, int>> page;
    if (!title.empty() && !artist.empty()) page = {{title, kTitleTop}, {artist, kArtistTop}};
    else if (!title.empty() || !artist.empty()) page = {{title.empty() ? artist : title, kSingleTitleTop}};
    for (auto& [text, top] : page) {
        // A title too long for the screen loses its tail rather than its letters' size.
        std::vector<std::string_view> chars = splitChars(text);
        int h = 0;
        while (!chars.empty() &&
               (h = fitHeight(chars, options.pixelHeight, kCdgSafeWidth, kTitleBandHeight, cache)) == 0) {
            chars.pop_back();
        }
        if (chars.empty()) continue;
        Drawing d = layOut(chars, h, top, kTitleBandHeight, cache);
        d.from = 0;
        d.to = titleEnd;
        addBandJobs(plan.jobs, d.firstRow, d.lastRow, 0, titleEnd);
        addBandJobs(plan.jobs, d.firstRow, d.lastRow, titleEnd, titleEnd);
        plan.drawings.push_back(std::move(d));
    }
}

// A wipe for every tile a character's ink touches, merged where characters
// of one tile turn together.
void addWipes(std::vector<Wipe>& wipes, const Drawing& d) {
    std::vector<std::pair<int64_t, int>> due;
    for (int y = 0; y < d.height; ++y) {
        for (int x = 0; x < d.width; ++x) {
            size_t i = static_cast<size_t>(y * d.width + x);
            if (d.kind[i] != kInk) continue;
            int tile = (d.y + y) / kCdgTileHeight * kTileColumns + (d.x + x) / kCdgTileWidth;
            due.emplace_back(d.turnAt[static_cast<size_t>(d.charOf[i])], tile);
        }
    }
    std::sort(due.begin(), due.end());
    due.erase(std::unique(due.begin(), due.end()), due.end());
    for (auto [at, tile] : due) {
        if (at < d.to) wipes.push_back({at, at, tile});
    }
}

// The lines take the bands in turn; each is drawn once its band is free and
// stays until the next line of the band replaces it, the last ones until
// clearAt.
bool planLines(ShowPlan& plan, const std::vector<std::pair<int, const LyricLine*>>& lines, const CdgOptions& options,
               int64_t titleEnd, int64_t clearAt, GlyphCache& cache, std::string& error) {
    const int n = options.linesOnScreen;
    const int rowsPerBand = kSafeRowCount / n;
    const int firstBandRow = kSafeFirstRow + (kSafeRowCount - rowsPerBand * n) / 2;
    const int bandHeight = rowsPerBand * kCdgTileHeight;
    const size_t count = lines.size(), bands = static_cast<size_t>(n);
    std::vector<int64_t> release(count);
    for (size_t k = 0; k < count; ++k) {
        int64_t start = lines[k].second->startTime * kPacketsPerCs;
        int64_t bandFree = k < bands ? titleEnd : lines[k - bands].second->endTime() * kPacketsPerCs;
        release[k] = std::max(titleEnd, std::min(bandFree, start));
    }
    for (size_t k = 0; k < count; ++k) {
        const LyricLine& line = *lines[k].second;
        std::vector<std::string_view> chars = splitChars(line.text);
        int h = fitHeight(chars, options.pixelHeight, kCdgSafeWidth, bandHeight, cache);
        if (h == 0) {
            error = "line " + std::to_string(lines[k].first + 1) + " is too wide for the screen";
            return false;
        }
        int bandTopRow = firstBandRow + static_cast<int>(k % bands) * rowsPerBand;
        Drawing d = layOut(chars, h, bandTopRow * kCdgTileHeight, bandHeight, cache);
        d.from = release[k];
        d.to = std::max(d.from, k + bands < count ? release[k + bands] : clearAt);
        for (int t : turnTimes(line, chars)) d.turnAt.push_back((line.startTime + t) * kPacketsPerCs);
        addBandJobs(plan.jobs, bandTopRow, bandTopRow + rowsPerBand - 1, d.from, line.startTime * kPacketsPerCs);
        addWipes(plan.wipes, d);
        plan.drawings.push_back(std::move(d));
    }
    return true;
}

// Packet by packet: the wipes at their planned packets, redraws in the
// packets left, the most urgent first; empty packets where nothing is due.
std::vector<uint8_t> writeStream(ShowPlan plan, const CdgPalette& palette, int64_t total,
                                 const std::atomic<bool>* cancel, const std::function<void(int)>& progress,
                                 std::string& error) {
    // The most packets one tile's update takes (four colours in it).
    constexpr int64_t kLongestUpdate = 3;
    planWipes(plan.wipes, total);
    std::vector<TileJob>& jobs = plan.jobs;
    std::vector<Wipe>& wipes = plan.wipes;
    std::stable_sort(jobs.begin(), jobs.end(),
                     [](const TileJob& a, const TileJob& b) { return a.release < b.release; });
    auto later = [](const TileJob& a, const TileJob& b) {
        return a.deadline != b.deadline ? a.deadline > b.deadline : a.seq > b.seq;
    };
    std::priority_queue<TileJob, std::vector<TileJob>, decltype(later)> ready(later);

    Screen screen(palette, std::move(plan.drawings));
    std::vector<uint8_t> out(static_cast<size_t>(total) * kCdgPacketSize, 0);
    std::deque<Packet> queue;
    queue.push_back({kCdgLoadColoursLow, colourTableData(palette, 0)});
    queue.push_back({kCdgLoadColoursHigh, colourTableData(palette, 8)});
    queue.push_back({kCdgMemoryPreset, {static_cast<uint8_t>(palette.background), 0}});
    queue.push_back({kCdgBorderPreset, {static_cast<uint8_t>(palette.background)}});
    size_t nextJob = 0, nextWipe = 0;
    int shown = -1;
    for (int64_t s = 0; s < total; ++s) {
        if (s % kCdgPacketsPerSecond == 0) {
            if (cancel && cancel->load()) {
                error = "cancelled";
                return {};
            }
            int percent = static_cast<int>(s * 100 / total);
            if (progress && percent != shown) progress(percent);
            shown = percent;
        }
        while (nextJob < jobs.size() && jobs[nextJob].release <= s) ready.push(jobs[nextJob++]);
        while (queue.empty()) {
            if (nextWipe < wipes.size() && wipes[nextWipe].slot <= s) {
                const Wipe& w = wipes[nextWipe++];
                for (const Packet& p : screen.update(w.tile, std::max(s, w.due))) queue.push_back(p);
                continue;
            }
            if (ready.empty()) break;
            // A redraw waits when its packets could push a wipe past its
            // time, unless it is late itself.
            int64_t room = nextWipe < wipes.size() ? wipes[nextWipe].slot - s : total;
            TileJob job = ready.top();
            if (room < kLongestUpdate && s < job.deadline) break;
            ready.pop();
            for (const Packet& p : screen.update(job.tile, s)) queue.push_back(p);
        }
        if (queue.empty()) continue;
        auto bytes = cdgPacket(queue.front().instruction, queue.front().data);
        std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<std::ptrdiff_t>(s * kCdgPacketSize));
        queue.pop_front();
    }
    if (progress && shown != 100) progress(100);
    return out;
}

}  // namespace

std::vector<uint8_t> encodeCdg(const LyricSheet& sheet, const CdgOptions& options, CdgGlyphSource& glyphs,
                               std::string& error, const std::atomic<bool>* cancel,
                               const std::function<void(int percent)>& progress) {
    if (options.durationMs <= 0) {
        error = "the song has no length";
        return {};
    }
    if (options.linesOnScreen < 2 || options.linesOnScreen > 4) {
        error = "2 to 4 lines can be on screen";
        return {};
    }
    if (options.pixelHeight < kMinPixelHeight) {
        error = "the letters are too small for the screen";
        return {};
    }
    if (!validPalette(options.palette)) {
        error = "a colour index lies outside the 16 colours";
        return {};
    }
    std::vector<std::pair<int, const LyricLine*>> lines;
    for (int i = 0; i < sheet.lineCount(); ++i) {
        const LyricLine* l = sheet.lineAt(i);
        if (l && charCount(l->text) > 0) lines.emplace_back(i, l);
    }
    if (lines.empty()) {
        error = "the lyric has no lines";
        return {};
    }

    const int32_t firstStart = lines.front().second->startTime;
    int64_t lastEnd = 0;
    for (const auto& [i, l] : lines) lastEnd = std::max<int64_t>(lastEnd, l->endTime());
    const bool credits = !trimLyricText(options.titleGbk).empty() || !trimLyricText(options.artistGbk).empty();
    const int64_t titleEnd =
        credits && firstStart - kTitleLeadCs >= kMinTitleCs ? (firstStart - kTitleLeadCs) * kPacketsPerCs : 0;
    const int64_t clearAt = (lastEnd + kFinalHoldCs) * kPacketsPerCs;

    GlyphCache cache(glyphs);
    ShowPlan plan;
    if (titleEnd > 0) planTitlePage(plan, options, titleEnd, cache);
    if (cancel && cancel->load()) {
        error = "cancelled";
        return {};
    }
    if (!planLines(plan, lines, options, titleEnd, clearAt, cache, error)) return {};
    addBandJobs(plan.jobs, kSafeFirstRow, kSafeFirstRow + kSafeRowCount - 1, clearAt, clearAt);
    const int64_t total = (options.durationMs * kCdgPacketsPerSecond + 999) / 1000;
    return writeStream(std::move(plan), options.palette, total, cancel, progress, error);
}

}  // namespace melnix
