#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Songs with known timing for draft_timing_bench.

Each syllable (a Chinese character, an English word) is spoken by espeak-ng
on its own, trimmed of silence and put at a known time over an accompaniment
made with sox. Writes, into OUTDIR, one WAV per song and vocal-to-music level,
a .truth file per song (each syllable's true start in cs, by line) and
songs.tsv listing them (with the voice alone, as level 99). Needs espeak-ng and sox.

    bench/make_sung_songs.py [OUTDIR]   (default build/bench/sung_songs)
"""

import array
import math
import os
import random
import subprocess
import sys
import wave

RATE = 44100
LEVELS_DB = [0, -6, -12]

# Voice, speaking speed (words a minute), pitch (0..99) and tempo vary so
# that no one setting carries the figures.
SONGS = [
    dict(name="cmn1", lang="cmn", voice="cmn", speed=150, pitch=45, bpm=96, key=0),
    dict(name="cmn2", lang="cmn", voice="cmn+f3", speed=175, pitch=70, bpm=108, key=3),
    dict(name="cmn3", lang="cmn", voice="cmn+m3", speed=130, pitch=35, bpm=84, key=-2),
    dict(name="en1", lang="en", voice="en+m3", speed=160, pitch=45, bpm=100, key=5),
    dict(name="en2", lang="en", voice="en+f2", speed=185, pitch=65, bpm=116, key=2),
    dict(name="en3", lang="en", voice="en-us+f4", speed=140, pitch=55, bpm=90, key=-4),
]

HANZI = ("我你他的是不了在有人这中大来上个到说时要就出会可也对生能子那得下自年过后里"
         "道心天分还好小些样看手前开只想日意力长十明知三高间问很最重见水走花春风雪月"
         "山海云雨星光路家爱梦歌唱夜红飞远声情笑泪等愿")
WORDS = ("sun day love my go I we see to be one light home blue sky rain fly you me on "
         "night run free heart way time stay come fall down all by now far star dream here "
         "hold hand feel fire song cold gold rise shine true know glow sea moon wind road "
         "stone land old new say sing").split()
MAX_LINE_BYTES = 30  # the program's longest lyric line


def run(cmd):
    if cmd[0] == "sox":
        cmd = ["sox", "-R"] + cmd[1:]  # the same noise and dither on every run
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)


def read_mono(path):
    with wave.open(path, "rb") as w:
        assert w.getnchannels() == 1 and w.getsampwidth() == 2 and w.getframerate() == RATE, path
        a = array.array("h")
        a.frombytes(w.readframes(w.getnframes()))
        return a


def write_wav(path, samples, channels):
    with wave.open(path, "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(samples.tobytes())


def syllable(song, text, cache):
    """The syllable as espeak-ng says it, trimmed so that it begins at sample 0."""
    key = f"{song['voice']}_{song['speed']}_{song['pitch']}_{text.encode().hex()}"
    path = os.path.join(cache, key + ".wav")
    if not os.path.exists(path):
        raw = os.path.join(cache, key + ".raw.wav")
        run(["espeak-ng", "-v", song["voice"], "-s", str(song["speed"]), "-p", str(song["pitch"]), "-w", raw, text])
        # Threshold 1 % of full scale, at 5 ms; all syllables then peak alike.
        run(["sox", raw, "-r", str(RATE), "-c", "1", "-b", "16", path, "rate", "-v", str(RATE),
             "silence", "1", "0.005", "1%", "reverse", "silence", "1", "0.005", "1%", "reverse", "gain", "-n", "-6"])
        os.remove(raw)
    return read_mono(path)


def line_text(song, rng):
    n = rng.randint(5, 10)
    if song["lang"] == "cmn":
        return [rng.choice(HANZI) for _ in range(n)]
    while True:
        words = [rng.choice(WORDS) for _ in range(n)]
        if len(" ".join(words)) <= MAX_LINE_BYTES:
            return words
        n = max(5, n - 1)


def accompaniment(song, length_s, work):
    """Chords, a pad, a bass line and drums, panned left and right, as a stereo WAV."""
    beat = 60.0 / song["bpm"]
    bar = 4 * beat
    root = 220.0 * 2 ** (song["key"] / 12)
    bars = []
    # I V vi IV
    for c, steps in enumerate([(0, 4, 7), (7, 11, 14), (9, 12, 16), (5, 9, 12)]):
        f = [root * 2 ** (s / 12) for s in steps]
        bass = root / 4 * 2 ** (steps[0] / 12)
        src = ["sox", "-R", "-r", str(RATE), "-c", "2", "-n", "-p"]
        parts = [
            # triangle chord, left
            src + ["synth", f"{bar}", "triangle", f"{f[0]}", "synth", f"{bar}", "triangle", "mix", f"{f[1]}",
                   "synth", f"{bar}", "triangle", "mix", f"{f[2]}", "vol", "0.2",
                   "fade", "0.02", f"{bar}", "0.2", "remix", "1v0.9", "2v0.3"],
            # sine pad an octave up, right
            src + ["synth", f"{bar}", "sine", f"{2 * f[0]}", "synth", f"{bar}", "sine", "mix", f"{2 * f[1]}",
                   "synth", f"{bar}", "sine", "mix", f"{2 * f[2]}", "vol", "0.12", "tremolo", "5", "40",
                   "fade", "0.3", f"{bar}", "0.3", "remix", "1v0.3", "2v0.9"],
            # bass on every beat, a little left
            src + ["synth", f"{beat}", "triangle", f"{bass}", "fade", "0.005", f"{beat}", f"{beat / 2}",
                   "vol", "0.6", "repeat", "3", "remix", "1v0.8", "2v0.55"],
            # kick on beats 1 and 3
            src + ["synth", "0.15", "brownnoise", "lowpass", "150", "gain", "-n", "-4", "fade", "0", "0.15", "0.14",
                   "pad", "0", f"{2 * beat - 0.15}", "repeat", "1", "remix", "1v0.6", "2v0.8"],
            # snare on beats 2 and 4
            src + ["synth", "0.12", "whitenoise", "bandpass", "2000", "1500h", "gain", "-n", "-10",
                   "fade", "0", "0.12", "0.11", "pad", f"{beat}", f"{beat - 0.12}", "repeat", "1",
                   "remix", "1v0.8", "2v0.5"],
            # hi-hat on every eighth, right
            src + ["synth", "0.04", "whitenoise", "highpass", "7000", "gain", "-n", "-16", "fade", "0", "0.04", "0.035",
                   "pad", "0", f"{beat / 2 - 0.04}", "repeat", "7", "remix", "1v0.3", "2v0.9"],
        ]
        path = os.path.join(work, f"{song['name']}_bar{c}.wav")
        cmd = ["sox", "-m"]
        for p in parts:
            cmd += ["-v", "1", "|" + subprocess.list2cmdline(p)]
        run(cmd + ["-b", "16", path, "trim", "0", f"{bar}"])
        bars.append(path)
    count = int(math.ceil(length_s / bar))
    acc = os.path.join(work, f"{song['name']}_acc.wav")
    run(["sox"] + [bars[i % 4] for i in range(count)] + [acc, "trim", "0", f"{length_s}", "gain", "-n", "-6"])
    with wave.open(acc, "rb") as w:
        a = array.array("h")
        a.frombytes(w.readframes(w.getnframes()))
    return acc, a


def make_song(song, outdir, cache, rng):
    eighth = 30.0 / song["bpm"]
    length_s = round(rng.uniform(65, 85), 2)
    n_samples = int(length_s * RATE)
    voice = array.array("h", bytes(2 * n_samples))
    sounding = []  # sample ranges where the voice sounds
    lines = []
    t = round(rng.uniform(3.5, 5.5), 2)
    while t < length_s - 9:
        words = line_text(song, rng)
        starts_cs = []
        pos = t
        for i in range(len(words)):
            starts_cs.append(int(round(pos * 100)))
            pos += eighth * (rng.choice([1, 1, 1, 2]) if i + 1 < len(words) else rng.choice([2, 3, 4]))
        end_cs = 0
        for i, w in enumerate(words):
            s = syllable(song, w, cache)
            begin = starts_cs[i] * RATE // 100
            # A syllable stops 10 ms before the next begins, the last one after 1.5 s.
            limit = (starts_cs[i + 1] * RATE // 100 - RATE // 100) if i + 1 < len(words) else begin + 3 * RATE // 2
            n = min(len(s), limit - begin)
            fade = min(n, RATE // 100)
            for k in range(n):
                g = (n - k) / fade if k >= n - fade and n < len(s) else 1.0
                voice[begin + k] = int(s[k] * g)
            sounding.append((begin, begin + n))
            end_cs = max(end_cs, (begin + n) * 100 // RATE)
        lines.append((words, starts_cs, end_cs))
        t = round(pos + rng.uniform(1.2, 3.0), 2)

    work = os.path.join(outdir, "work")
    os.makedirs(work, exist_ok=True)
    acc_path, acc = accompaniment(song, length_s, work)
    frames = min(len(acc) // 2, n_samples)
    # Levels as the centre (L+R)/2 hears them: the voice while it sounds
    # against the accompaniment over the whole song.
    acc_ms = sum(((acc[2 * i] + acc[2 * i + 1]) / 2) ** 2 for i in range(frames)) / frames
    v_sq = sum(voice[k] ** 2 for b, e in sounding for k in range(b, e))
    v_ms = v_sq / sum(e - b for b, e in sounding)
    stereo_voice = array.array("h", bytes(4 * frames))
    stereo_voice[0::2] = voice[:frames]
    stereo_voice[1::2] = voice[:frames]
    voice_path = os.path.join(work, f"{song['name']}_voice.wav")
    write_wav(voice_path, stereo_voice, 2)

    truth = f"{song['name']}.truth"
    with open(os.path.join(outdir, truth), "w", encoding="utf-8") as f:
        f.write(f"# {song['name']} lang={song['lang']} voice={song['voice']} speed={song['speed']} "
                f"pitch={song['pitch']} bpm={song['bpm']} length={length_s}s\n")
        f.write("# text (UTF-8)\tend of the last syllable (cs)\tsyllable starts (cs)\n")
        sep = "" if song["lang"] == "cmn" else " "
        for words, starts, end in lines:
            f.write(sep.join(words) + "\t" + str(end) + "\t" + " ".join(map(str, starts)) + "\n")
    rows = []
    for db in LEVELS_DB:
        gain = 10 ** (db / 20) * math.sqrt(acc_ms / v_ms)
        wav = f"{song['name']}_{'m' if db < 0 else ''}{abs(db)}db.wav"
        run(["sox", "-m", "-v", f"{gain:.6f}", voice_path, "-v", "1", acc_path, "-b", "16",
             os.path.join(outdir, wav), "gain", "-n", "-1"])
        rows.append(f"{song['name']}\t{song['lang']}\t{db}\t{wav}\t{truth}\n")
    # The voice alone, 99 in the level column: what the music costs.
    rows.append(f"{song['name']}\t{song['lang']}\t99\twork/{song['name']}_voice.wav\t{truth}\n")
    print(f"{song['name']}: {length_s} s, {len(lines)} lines, {sum(len(l[0]) for l in lines)} syllables")
    return rows


def main():
    outdir = sys.argv[1] if len(sys.argv) > 1 else "build/bench/sung_songs"
    cache = os.path.join(outdir, "syllables")
    os.makedirs(cache, exist_ok=True)
    rng = random.Random(20261211)
    rows = []
    for song in SONGS:
        rows += make_song(song, outdir, cache, rng)
    with open(os.path.join(outdir, "songs.tsv"), "w", encoding="utf-8") as f:
        f.write("# name\tlang\tvocal-to-music dB (99: the voice alone)\twav\ttruth\n")
        f.writelines(rows)


if __name__ == "__main__":
    main()
