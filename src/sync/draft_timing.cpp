// SPDX-License-Identifier: GPL-3.0-or-later
#include "sync/draft_timing.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "lyrics/lyric_text.h"
#include "sync/line_times.h"

namespace melnix {
namespace {

// The costs of laying syllables on onsets. A matched syllable earns a reward
// that grows with its onset's strength; a syllable without an onset of its
// own pays more than a spare onset left over, since songs have more onsets
// (instruments, consonants) than sung syllables.
constexpr double kMatchReward = 1.0;
constexpr double kMissCost = 0.8;
constexpr double kSkipCost = 0.2;
// Syllables of a line last about alike; twice or half as long costs 0.24.
constexpr double kDurationWeight = 0.5;
// The line's first syllable stays near where the line was said to start.
constexpr double kAnchorWeight = 1.0;
// Longer runs of missed syllables or spare onsets are not worth the search.
constexpr int kMaxMissRun = 3;
constexpr int kMaxSkipRun = 32;

// The last syllable ends where the voice stops this long, and is held at
// most this many average syllables.
constexpr int kTailQuietCs = 10;
constexpr int kMaxTailSyllables = 3;

// Lines with less of their time voiced have no voice under them.
constexpr double kNoVoiceShare = 0.1;
constexpr double kMatchedPart = 0.6;

// Sharing lines out over phrases: a phrase left unsung (an instrument taken
// for a voice) costs as much as a line far too long for its phrase, and a
// phrase sung as several lines a little, so that equal fits keep one line a phrase.
constexpr double kUnsungPhraseCost = 2.0;
constexpr double kFitWeight = 1.0;
constexpr double kSharedPhraseCost = 0.2;
constexpr int kMaxLinesPerPhrase = 16;
// The voice of a phrase may start a little before the phrase's voicing does.
constexpr int kPhraseMarginCs = 20;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

double sq(double x) { return x * x; }

// Characters sung as one: a sung character with the marks after it, or a
// Latin word with the spaces after it. The first `sung` characters share
// the syllable's time; the rest follow it 3 cs apart.
struct Unit {
    int firstChar = 0;
    int chars = 1;
    int sung = 1;
    int32_t need() const { return chars * kMinCharTime; }
};

struct LineUnits {
    int leading = 0;  // unsung characters before the first syllable
    std::vector<Unit> units;
};

bool isLatinLine(const std::string& text) {
    bool letter = false;
    for (unsigned char c : text) {
        if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z') letter = true;
        else if (c != ' ') return false;
    }
    return letter;
}

LineUnits unitsOf(const std::string& text) {
    LineUnits lu;
    const int n = charCount(text);
    if (isLatinLine(text)) {
        // A Latin line's characters are its bytes.
        for (int c = 0; c < n; ++c) {
            const bool space = text[static_cast<size_t>(c)] == ' ';
            if (!space && (c == 0 || text[static_cast<size_t>(c) - 1] == ' ')) {
                lu.units.push_back({c, 1, 1});
            } else if (lu.units.empty()) {
                ++lu.leading;
            } else {
                // A word's letters share its time; the spaces after it do not.
                ++lu.units.back().chars;
                if (!space) ++lu.units.back().sung;
            }
        }
        return lu;
    }
    for (int c = 0; c < n; ++c) {
        if (isTimedChar(text, c)) lu.units.push_back({c, 1, 1});
        else if (lu.units.empty()) ++lu.leading;
        else ++lu.units.back().chars;
    }
    return lu;
}

struct Placement {
    std::vector<int32_t> starts;
    std::vector<char> matched;  // the unit has an onset of its own

    int matchedIn(size_t from, size_t to) const {
        return static_cast<int>(std::count(matched.begin() + static_cast<std::ptrdiff_t>(from),
                                           matched.begin() + static_cast<std::ptrdiff_t>(to), 1));
    }
};

// Lays units on the onsets in [lo, hi) by dynamic programming, expecting
// them spread evenly over [spanStart, spanEnd]. Each unit takes an onset of
// its own or, missed, a place between its neighbours.
Placement placeUnits(const std::vector<Unit>& units, int32_t spanStart, int32_t spanEnd, int32_t lo, int32_t hi,
                     const std::vector<VoiceOnset>& onsets) {
    const int count = static_cast<int>(units.size());
    Placement p;
    p.starts.assign(units.size(), 0);
    p.matched.assign(units.size(), 0);
    if (count == 0) return p;
    const double d = std::max<double>(static_cast<double>(spanEnd - spanStart) / count, kMinCharTime);
    const double anchorScale = std::max<double>(2 * d, spanStart - lo);

    std::vector<VoiceOnset> cand;
    for (const VoiceOnset& o : onsets)
        if (o.timeCs >= lo && o.timeCs < hi) cand.push_back(o);
    const int m = static_cast<int>(cand.size());

    std::vector<double> skipSum(static_cast<size_t>(m) + 1, 0);
    for (int j = 0; j < m; ++j)
        skipSum[static_cast<size_t>(j) + 1] =
            skipSum[static_cast<size_t>(j)] + kSkipCost * cand[static_cast<size_t>(j)].strength;
    auto skipped = [&](int from, int to) {
        return to > from ? skipSum[static_cast<size_t>(to)] - skipSum[static_cast<size_t>(from)] : 0.0;
    };
    std::vector<int32_t> needSum(units.size() + 1, 0);
    for (int u = 0; u < count; ++u)
        needSum[static_cast<size_t>(u) + 1] = needSum[static_cast<size_t>(u)] + units[static_cast<size_t>(u)].need();

    auto at = [m](int i, int j) { return static_cast<size_t>(i) * static_cast<size_t>(m) + static_cast<size_t>(j); };
    std::vector<double> best(static_cast<size_t>(count) * static_cast<size_t>(m), kInfinity);
    std::vector<int> from(best.size(), -1);
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < m; ++j) {
            const int32_t t = cand[static_cast<size_t>(j)].timeCs;
            if (t - lo < needSum[static_cast<size_t>(i)] || hi - t < needSum.back() - needSum[static_cast<size_t>(i)])
                continue;
            const double gain = -kMatchReward * (0.5 + 0.5 * cand[static_cast<size_t>(j)].strength);
            double c = i * kMissCost + skipped(0, j) + kAnchorWeight * sq((t - (spanStart + i * d)) / anchorScale);
            int f = -1;
            for (int pi = std::max(0, i - kMaxMissRun - 1); pi < i; ++pi) {
                for (int pj = std::max(0, j - kMaxSkipRun - 1); pj < j; ++pj) {
                    const double prev = best[at(pi, pj)];
                    if (prev == kInfinity) continue;
                    const int32_t gap = t - cand[static_cast<size_t>(pj)].timeCs;
                    if (gap < needSum[static_cast<size_t>(i)] - needSum[static_cast<size_t>(pi)]) continue;
                    const double v = prev + (i - pi - 1) * kMissCost + skipped(pj + 1, j) +
                                     kDurationWeight * sq(std::log(gap / ((i - pi) * d)));
                    if (v < c) {
                        c = v;
                        f = static_cast<int>(at(pi, pj));
                    }
                }
            }
            best[at(i, j)] = c + gain;
            from[at(i, j)] = f;
        }
    }

    double total = count * kMissCost + skipped(0, m);
    int last = -1;
    for (int i = 0; i < count; ++i) {
        for (int j = 0; j < m; ++j) {
            const double v = best[at(i, j)] + (count - 1 - i) * kMissCost + skipped(j + 1, m);
            if (v < total) {
                total = v;
                last = static_cast<int>(at(i, j));
            }
        }
    }

    std::vector<char>& matched = p.matched;
    for (int k = last; k >= 0; k = from[static_cast<size_t>(k)]) {
        const int i = k / m;
        matched[static_cast<size_t>(i)] = 1;
        p.starts[static_cast<size_t>(i)] = cand[static_cast<size_t>(k % m)].timeCs;
    }
    if (last < 0) {
        for (int i = 0; i < count; ++i)
            p.starts[static_cast<size_t>(i)] = static_cast<int32_t>(std::lround(spanStart + i * d));
        return p;
    }

    // Missed units: evenly between matched neighbours, at the usual pace
    // before the first and after the last as far as the window allows.
    int first = 0;
    while (!matched[static_cast<size_t>(first)]) ++first;
    int lastMatched = count - 1;
    while (!matched[static_cast<size_t>(lastMatched)]) --lastMatched;
    const int32_t firstAt = p.starts[static_cast<size_t>(first)];
    const double before = first > 0 ? std::min(d, static_cast<double>(firstAt - lo) / first) : d;
    for (int i = 0; i < first; ++i)
        p.starts[static_cast<size_t>(i)] = firstAt - static_cast<int32_t>(std::lround((first - i) * before));
    const int32_t lastAt = p.starts[static_cast<size_t>(lastMatched)];
    const int after = count - lastMatched;
    const double pace = std::min(d, static_cast<double>(hi - lastAt) / after);
    for (int i = lastMatched + 1; i < count; ++i)
        p.starts[static_cast<size_t>(i)] = lastAt + static_cast<int32_t>(std::lround((i - lastMatched) * pace));
    for (int a = first, b = first + 1; b <= lastMatched; ++b) {
        if (!matched[static_cast<size_t>(b)]) continue;
        const int32_t ta = p.starts[static_cast<size_t>(a)];
        const int32_t tb = p.starts[static_cast<size_t>(b)];
        for (int i = a + 1; i < b; ++i)
            p.starts[static_cast<size_t>(i)] = ta + (tb - ta) * (i - a) / (b - a);
        a = b;
    }
    return p;
}

// Where the voice stops after `from`, looking no further than limit; from
// itself when nothing is voiced there.
int32_t voiceEnd(const VoiceAnalysis& v, int32_t from, int32_t limit) {
    int32_t end = from;
    int quiet = 0;
    for (int32_t t = from; t < limit; ++t) {
        if (v.voicingAt(t) >= kVoicedLevel) {
            end = t + 1;
            quiet = 0;
        } else if (++quiet >= kTailQuietCs) {
            break;
        }
    }
    return end;
}

double voicedShare(const VoiceAnalysis& v, int32_t from, int32_t to) {
    if (to <= from) return 0;
    int voiced = 0;
    for (int32_t t = from; t < to; ++t)
        if (v.voicingAt(t) >= kVoicedLevel) ++voiced;
    return static_cast<double>(voiced) / (to - from);
}

// A line on its way through the draft.
struct Work {
    LineUnits lu;
    int n = 0;
    bool keep = false;    // keeps its own times
    bool follow = false;  // goes right after the line before, at the least length
    std::vector<int32_t> unitStarts;
    int matched = 0;
    double pace = kMinCharTime;  // the expected syllable length
    int32_t end = 0;
    float confidence = 0;
};

int32_t firstCharStart(const Work& w) { return w.unitStarts.front() - w.lu.leading * kMinCharTime; }

int32_t lastUnitEnd(const Work& w) { return w.unitStarts.back() + w.lu.units.back().need(); }

// The end of the line's voice, before any later line has been placed.
int32_t tailEnd(const Work& w, const VoiceAnalysis& voice) {
    const int32_t last = w.unitStarts.back();
    const int32_t longest = static_cast<int32_t>(std::lround(kMaxTailSyllables * w.pace));
    int32_t end = voiceEnd(voice, last, last + longest);
    if (end == last) end = last + static_cast<int32_t>(std::lround(w.pace));
    return std::max(end, lastUnitEnd(w));
}

void rateLine(Work& w, const VoiceAnalysis& voice) {
    const double share = voicedShare(voice, firstCharStart(w), w.end);
    const int units = static_cast<int>(w.lu.units.size());
    w.confidence = share < kNoVoiceShare
                       ? 0.0f
                       : static_cast<float>(kMatchedPart * w.matched / units + (1 - kMatchedPart) * share);
}

// Absolute character starts, and the line's end as the last entry.
std::vector<int32_t> charStartsOf(const Work& w) {
    std::vector<int32_t> a(static_cast<size_t>(w.n) + 1, 0);
    const int32_t first = firstCharStart(w);
    for (int k = 0; k < w.lu.leading; ++k) a[static_cast<size_t>(k)] = first + k * kMinCharTime;
    const size_t count = w.lu.units.size();
    for (size_t u = 0; u < count; ++u) {
        const Unit& unit = w.lu.units[u];
        const int32_t s = w.unitStarts[u];
        const int32_t e = u + 1 < count ? w.unitStarts[u + 1] : w.end;
        const int32_t tail = (unit.chars - unit.sung) * kMinCharTime;
        const int32_t sungSpan = std::max(e - s - tail, unit.sung * kMinCharTime);
        for (int q = 0; q < unit.chars; ++q) {
            const int32_t t =
                q < unit.sung ? s + sungSpan * q / unit.sung : s + sungSpan + (q - unit.sung) * kMinCharTime;
            a[static_cast<size_t>(unit.firstChar + q)] = t;
        }
    }
    a.back() = w.end;
    return a;
}

std::vector<int32_t> ownStartsOf(const LyricLine& l, int n) {
    std::vector<int32_t> a(static_cast<size_t>(n) + 1);
    const bool valid = l.charTimes.size() == a.size();
    std::vector<uint16_t> even = valid ? l.charTimes : evenCharTimes(n, std::max<int>(l.duration, n * kMinCharTime));
    for (size_t k = 0; k < a.size(); ++k) a[k] = l.startTime + even[k];
    return a;
}

// Keeps the time rules: characters 3 cs apart, the line no longer than the
// model allows and clear of the line before it.
DraftLine fitLine(std::vector<int32_t> a, int32_t earliest) {
    for (size_t k = 1; k < a.size(); ++k) a[k] = std::max(a[k], a[k - 1] + kMinCharTime);
    const int32_t shift = std::max(0, earliest - a.front());
    const int n = static_cast<int>(a.size()) - 1;
    DraftLine d;
    d.startTime = a.front() + shift;
    if (a.back() - a.front() > kMaxLineDuration) {
        d.charTimes = evenCharTimes(n, kMaxLineDuration);
    } else {
        for (int32_t t : a) d.charTimes.push_back(static_cast<uint16_t>(t - a.front()));
    }
    return d;
}

// Known line times: each line looks for its voice around its own times,
// after where the line before it was put.
void placeByLineTimes(const LyricSheet& lyric, const VoiceAnalysis& voice, const DraftOptions& o,
                      std::vector<Work>& work) {
    int32_t earliest = 0;
    for (int i = 0; i < lyric.lineCount(); ++i) {
        const LyricLine& l = *lyric.lineAt(i);
        Work& w = work[static_cast<size_t>(i)];
        const int32_t spanStart = l.startTime + w.lu.leading * kMinCharTime;
        const int32_t spanEnd = std::max<int32_t>(l.startTime + l.duration, spanStart + w.n * kMinCharTime);
        if (!w.keep) {
            const int32_t lo = std::max(spanStart - o.marginCs, earliest + w.lu.leading * kMinCharTime);
            const int32_t hi = spanEnd + o.marginCs;
            Placement p = placeUnits(w.lu.units, spanStart, spanEnd, lo, hi, voice.onsets);
            w.unitStarts = std::move(p.starts);
            w.matched = p.matchedIn(0, p.matched.size());
            w.pace = std::max<double>(
                static_cast<double>(spanEnd - spanStart) / static_cast<double>(w.lu.units.size()), kMinCharTime);
            w.end = tailEnd(w, voice);
            rateLine(w, voice);
            w.keep = w.confidence < o.weakBelow;
        }
        earliest = (w.keep ? std::max(earliest, l.endTime()) : lastUnitEnd(w)) + kLineSeparation;
    }
}

// For each line the phrase it is sung in, lines and phrases both in order.
std::vector<int> phraseOfLines(const std::vector<int>& weights, const std::vector<VoicedPhrase>& phrases,
                               double pace) {
    const int lines = static_cast<int>(weights.size());
    const int count = static_cast<int>(phrases.size());
    const int most = std::max(kMaxLinesPerPhrase, (lines + count - 1) / count + 1);
    const size_t width = static_cast<size_t>(lines) + 1;
    std::vector<double> cost((static_cast<size_t>(count) + 1) * width, kInfinity);
    std::vector<int> took(cost.size(), 0);  // lines the phrase took to get here
    cost[0] = 0;
    for (int k = 0; k < count; ++k) {
        const double length = phrases[static_cast<size_t>(k)].endCs - phrases[static_cast<size_t>(k)].startCs;
        for (int l = 0; l <= lines; ++l) {
            const double c = cost[static_cast<size_t>(k) * width + static_cast<size_t>(l)];
            if (c == kInfinity) continue;
            size_t next = (static_cast<size_t>(k) + 1) * width + static_cast<size_t>(l);
            if (c + kUnsungPhraseCost < cost[next]) {
                cost[next] = c + kUnsungPhraseCost;
                took[next] = 0;
            }
            double units = 0;
            for (int l2 = l + 1; l2 <= std::min(lines, l + most); ++l2) {
                units += weights[static_cast<size_t>(l2) - 1];
                const double v = c + kFitWeight * sq(std::log(length / (pace * std::max(units, 0.5)))) +
                                 kSharedPhraseCost * (l2 - l - 1);
                next = (static_cast<size_t>(k) + 1) * width + static_cast<size_t>(l2);
                if (v < cost[next]) {
                    cost[next] = v;
                    took[next] = l2 - l;
                }
            }
        }
    }
    std::vector<int> of(static_cast<size_t>(lines), -1);
    if (cost[static_cast<size_t>(count) * width + static_cast<size_t>(lines)] == kInfinity) return of;
    for (int k = count, l = lines; k > 0; --k) {
        const int t = took[static_cast<size_t>(k) * width + static_cast<size_t>(l)];
        for (int j = l - t; j < l; ++j) of[static_cast<size_t>(j)] = k - 1;
        l -= t;
    }
    return of;
}

// Unknown line times: the lines are shared out over the voiced phrases by
// their length, then each phrase's lines are laid on its onsets together.
void placeByPhrases(const VoiceAnalysis& voice, std::vector<Work>& work) {
    const std::vector<VoicedPhrase>& phrases = voice.phrases;
    std::vector<int> weights;
    double units = 0;
    for (const Work& w : work) {
        weights.push_back(static_cast<int>(w.lu.units.size()));
        units += static_cast<double>(w.lu.units.size());
    }
    if (phrases.empty() || units == 0) {
        for (Work& w : work) w.keep = true;
        return;
    }
    double voiced = 0;
    for (const VoicedPhrase& p : phrases) voiced += p.endCs - p.startCs;
    std::vector<int> of = phraseOfLines(weights, phrases, voiced / units);
    // Once more at the pace of the phrases that were sung.
    double sungLength = 0;
    for (size_t k = 0; k < phrases.size(); ++k)
        if (std::find(of.begin(), of.end(), static_cast<int>(k)) != of.end())
            sungLength += phrases[k].endCs - phrases[k].startCs;
    if (sungLength > 0) of = phraseOfLines(weights, phrases, sungLength / units);

    int32_t earliest = 0;
    for (size_t l = 0; l < work.size();) {
        const int k = of[l];
        size_t l2 = l + 1;
        while (l2 < work.size() && of[l2] == k) ++l2;
        std::vector<Unit> group;
        for (size_t j = l; j < l2; ++j) group.insert(group.end(), work[j].lu.units.begin(), work[j].lu.units.end());
        if (k < 0 || group.empty()) {
            for (size_t j = l; j < l2; ++j) work[j].follow = true;
            l = l2;
            continue;
        }
        const VoicedPhrase& p = phrases[static_cast<size_t>(k)];
        const int32_t leading = work[l].lu.leading * kMinCharTime;
        const int32_t lo = std::max(p.startCs - kPhraseMarginCs, earliest + leading);
        const int32_t hi = std::max(p.endCs + kPhraseMarginCs, lo + 1);
        Placement placed = placeUnits(group, p.startCs, p.endCs, lo, hi, voice.onsets);
        const double pace = std::max<double>(
            static_cast<double>(p.endCs - p.startCs) / static_cast<double>(group.size()), kMinCharTime);
        size_t u = 0;
        for (size_t j = l; j < l2; ++j) {
            Work& w = work[j];
            const size_t c = w.lu.units.size();
            if (c == 0) {
                w.follow = true;
                continue;
            }
            w.unitStarts.assign(placed.starts.begin() + static_cast<std::ptrdiff_t>(u),
                                placed.starts.begin() + static_cast<std::ptrdiff_t>(u + c));
            w.matched = placed.matchedIn(u, u + c);
            w.pace = pace;
            w.end = tailEnd(w, voice);
            rateLine(w, voice);
            u += c;
        }
        size_t lastPlaced = l2 - 1;
        while (work[lastPlaced].unitStarts.empty()) --lastPlaced;
        earliest = lastUnitEnd(work[lastPlaced]) + kLineSeparation;
        l = l2;
    }
}

}  // namespace

int DraftResult::weakCount() const {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const DraftLine& l) { return l.weak; }));
}

DraftResult alignLyric(const LyricSheet& lyric, const VoiceAnalysis& voice, const DraftOptions& options) {
    std::vector<Work> work(static_cast<size_t>(lyric.lineCount()));
    for (int i = 0; i < lyric.lineCount(); ++i) {
        Work& w = work[static_cast<size_t>(i)];
        const std::string& text = lyric.lineAt(i)->text;
        w.n = charCount(text);
        w.lu = unitsOf(text);
        w.keep = w.lu.units.empty();
    }
    if (options.lineTimesKnown) placeByLineTimes(lyric, voice, options, work);
    else placeByPhrases(voice, work);

    // A line's voice may run on into the next line's first syllable.
    for (size_t i = 0; i + 1 < work.size(); ++i) {
        Work& w = work[i];
        if (w.keep || w.follow) continue;
        size_t j = i + 1;
        while (j < work.size() && work[j].n == 0) ++j;
        if (j == work.size() || work[j].follow) continue;
        const int32_t next = work[j].keep ? lyric.lineAt(static_cast<int>(j))->startTime : firstCharStart(work[j]);
        w.end = std::max(std::min(w.end, next - kLineSeparation), lastUnitEnd(w));
    }

    DraftResult r;
    int32_t earliest = 0;
    for (size_t i = 0; i < work.size(); ++i) {
        const Work& w = work[i];
        const LyricLine& l = *lyric.lineAt(static_cast<int>(i));
        DraftLine d;
        if (w.n == 0) {
            d.startTime = std::max(l.startTime, earliest);
            d.charTimes = {0};
        } else if (w.follow) {
            std::vector<int32_t> a;
            for (uint16_t t : evenCharTimes(w.n, w.n * kMinCharTime)) a.push_back(earliest + t);
            d = fitLine(std::move(a), earliest);
        } else {
            d = fitLine(w.keep ? ownStartsOf(l, w.n) : charStartsOf(w), earliest);
        }
        d.confidence = w.confidence;
        d.weak = w.confidence < options.weakBelow;
        earliest = d.endTime() + kLineSeparation;
        r.lines.push_back(std::move(d));
    }
    return r;
}

void applyDraft(LyricSheet& lyric, const DraftResult& draft, int firstLine) {
    const int count = std::min(lyric.lineCount(), static_cast<int>(draft.lines.size()));
    for (int i = std::max(0, firstLine); i < count; ++i) {
        LyricLine& l = *lyric.lineAt(i);
        const DraftLine& d = draft.lines[static_cast<size_t>(i)];
        l.startTime = d.startTime;
        l.charTimes = d.charTimes;
        l.duration = d.charTimes.back();
    }
    if (firstLine > 0) lyric.separateLines(firstLine - 1);
}

bool lyricLooksUntimed(const LyricSheet& lyric) {
    int32_t expected = kFirstLineStart;
    for (int i = 0; i < lyric.lineCount(); ++i) {
        const LyricLine& l = *lyric.lineAt(i);
        if (l.startTime != expected) return false;
        for (size_t k = 0; k < l.charTimes.size(); ++k)
            if (l.charTimes[k] != static_cast<int>(k) * kDefaultCharTime) return false;
        expected = l.endTime() + kAppendGap;
    }
    return true;
}

}  // namespace melnix
