#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes res/BHL.MID, the demonstration karaoke song that Melnix carries.

"小河弯弯" (The Little River Winds) is Melnix's own: melody, accompaniment and
words were written for the program. The song is a format 1 Standard MIDI
File at 480 ticks per quarter note, 88 beats a minute with a slower last bar,
about one minute long:

  track 0  conductor: title, copyright, time and key signature, tempo map
  track 1  "Melody": the sung line on a flute, with one GBK lyric event per
           syllable right after its note-on ("/" before the first syllable
           of each new line, "@" header texts at the start)
  track 2  "Piano": broken chords
  track 3  "Bass": roots and fifths
  track 4  "Drums": a soft kit on channel 10

Run it from anywhere with python3 (standard library only); the output is
the same byte for byte on every run.
"""

import os
import struct
import sys

DIVISION = 480
BAR = 4 * DIVISION
EIGHTH = DIVISION // 2
TEMPO = 681818          # 88 beats a minute
SLOW_TEMPO = 750000     # 80 beats a minute for the last bar

INTRO_BARS = 4
LINE_BARS = 2
OUTRO_BARS = 2

TITLE = "小河弯弯"

# (words, rhythm in eighths, pitches); every line lasts two bars.
RHYTHM_A = [3, 1, 2, 2, 2, 2, 4]
RHYTHM_B = [2, 2, 2, 2, 3, 1, 4]
C4, D4, E4, G4, A4, C5, D5, E5 = 60, 62, 64, 67, 69, 72, 74, 76
LINES = [
    ("小河弯弯向东流", RHYTHM_A, [E4, G4, A4, G4, E4, D4, E4]),
    ("晚风轻轻吹岸柳", RHYTHM_B, [G4, A4, C5, A4, G4, E4, D4]),
    ("月亮悄悄爬上来", RHYTHM_A, [E4, G4, A4, C5, D5, C5, A4]),
    ("照着渔船慢慢走", RHYTHM_B, [G4, E4, D4, E4, G4, D4, C4]),
    ("我把歌儿唱给你", RHYTHM_A, [A4, C5, D5, C5, A4, G4, E4]),
    ("星星听了点点头", RHYTHM_B, [G4, A4, G4, E4, D4, E4, D4]),
    ("明天太阳升起时", RHYTHM_A, [C5, D5, E5, D5, C5, A4, G4]),
    ("我们一起再聚首", RHYTHM_B, [A4, G4, E4, D4, E4, D4, C4]),
]
# The last note is held through the first bar of the ending.
FINAL_HOLD_EIGHTHS = 8

# One chord a bar: root (in the octave below middle C), third, fifth.
CHORDS = {
    "C": (48, 52, 55), "Am": (45, 48, 52), "F": (41, 45, 48), "G": (43, 47, 50),
}
PROGRESSION = (
    ["C", "Am", "F", "G"]                      # intro
    + ["C", "Am", "F", "G", "C", "F", "G", "C",
       "F", "C", "Am", "G", "Am", "C", "F", "C"]  # the eight sung lines
    + ["F", "C"]                               # ending
)
SONG_BARS = INTRO_BARS + LINE_BARS * len(LINES) + OUTRO_BARS
assert len(PROGRESSION) == SONG_BARS


def varlen(value):
    out = [value & 0x7F]
    value >>= 7
    while value:
        out.append(0x80 | (value & 0x7F))
        value >>= 7
    return bytes(reversed(out))


class Track:
    def __init__(self, name):
        self.events = []  # (tick, order, bytes)
        self.meta(0, 0x03, name.encode("gbk"))

    def add(self, tick, data, order=1):
        self.events.append((tick, order, bytes(data)))

    def meta(self, tick, kind, data, order=1):
        self.add(tick, bytes([0xFF, kind]) + varlen(len(data)) + data, order)

    def note(self, tick, length, channel, key, velocity):
        # Note-ons first at a tick, then the words, then the note-offs of the
        # next tick come before its note-ons (order 0).
        self.add(tick, [0x90 | channel, key, velocity], 1)
        self.add(tick + length, [0x90 | channel, key, 0], 0)

    def chunk(self):
        self.events.sort(key=lambda e: (e[0], e[1]))
        body = bytearray()
        tick = 0
        running = None
        for at, _, data in self.events:
            body += varlen(at - tick)
            tick = at
            status = data[0]
            # Running status, as sequencers write it, for repeated channel messages.
            if status < 0xF0 and status == running:
                body += data[1:]
            else:
                body += data
                # Meta and system events cancel running status.
                running = status if status < 0xF0 else None
        body += varlen(0) + b"\xFF\x2F\x00"
        return b"MTrk" + struct.pack(">I", len(body)) + bytes(body)


def conductor():
    t = Track(TITLE)
    t.meta(0, 0x02, "Melnix demonstration song, written for Melnix".encode("ascii"))
    t.meta(0, 0x58, bytes([4, 2, 24, 8]))
    t.meta(0, 0x59, bytes([0, 0]))
    t.meta(0, 0x51, struct.pack(">I", TEMPO)[1:])
    t.meta((SONG_BARS - 1) * BAR, 0x51, struct.pack(">I", SLOW_TEMPO)[1:])
    t.meta(SONG_BARS * BAR, 0x01, b"")  # marks the end of the last bar
    return t


def melody():
    t = Track("Melody")
    t.add(0, [0xC0, 73])        # flute
    t.add(0, [0xB0, 7, 100])
    t.meta(0, 0x01, ("@T" + TITLE).encode("gbk"))
    t.meta(0, 0x01, "@IMelnix 演示歌曲".encode("gbk"))
    tick = INTRO_BARS * BAR
    for index, (words, rhythm, pitches) in enumerate(LINES):
        assert len(words) == len(rhythm) == len(pitches) and sum(rhythm) == 16
        for k, (char, eighths, key) in enumerate(zip(words, rhythm, pitches)):
            length = eighths * EIGHTH
            if index == len(LINES) - 1 and k == len(words) - 1:
                length += FINAL_HOLD_EIGHTHS * EIGHTH
            syllable = ("/" if k == 0 and index > 0 else "") + char
            t.note(tick, length - 24, 0, key, 96 if k == 0 else 84)
            t.meta(tick, 0x05, syllable.encode("gbk"), order=2)
            tick += eighths * EIGHTH
    return t


def piano():
    t = Track("Piano")
    t.add(0, [0xC1, 0])         # acoustic grand
    t.add(0, [0xB1, 7, 80])
    for bar, name in enumerate(PROGRESSION):
        root, third, fifth = CHORDS[name]
        start = bar * BAR
        if bar == SONG_BARS - 1:
            for key in (root, fifth, root + 12, third + 12, fifth + 12):
                t.note(start, BAR - 60, 1, key, 70)
            continue
        shape = [root, fifth, root + 12, third + 12, root + 12, fifth, third + 12, fifth + 12]
        for k, key in enumerate(shape):
            t.note(start + k * EIGHTH, EIGHTH - 20, 1, key, 64 if k % 2 == 0 else 54)
    return t


def bass():
    t = Track("Bass")
    t.add(0, [0xC2, 32])        # acoustic bass
    t.add(0, [0xB2, 7, 96])
    for bar, name in enumerate(PROGRESSION):
        root, _, fifth = CHORDS[name]
        start = bar * BAR
        if bar == SONG_BARS - 1:
            t.note(start, BAR - 60, 2, root - 12, 90)
            continue
        t.note(start, 2 * DIVISION - 40, 2, root - 12, 90)
        t.note(start + 2 * DIVISION, 2 * DIVISION - 40, 2, fifth - 12, 80)
    return t


def drums():
    kick, stick, hat, crash = 36, 37, 42, 49
    t = Track("Drums")
    t.add(0, [0xB9, 7, 72])
    for bar in range(SONG_BARS):
        start = bar * BAR
        if bar == SONG_BARS - 1:
            t.note(start, DIVISION, 9, crash, 70)
            t.note(start, DIVISION, 9, kick, 80)
            continue
        for k in range(8):
            at = start + k * EIGHTH
            t.note(at, 60, 9, hat, 50 if k % 2 == 0 else 36)
            if k in (0, 4):
                t.note(at, 60, 9, kick, 80)
            if k in (2, 6):
                t.note(at, 60, 9, stick, 60)
    return t


def song():
    tracks = [conductor(), melody(), piano(), bass(), drums()]
    header = b"MThd" + struct.pack(">IHHH", 6, 1, len(tracks), DIVISION)
    return header + b"".join(t.chunk() for t in tracks)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "res", "BHL.MID")
    with open(out, "wb") as f:
        f.write(song())


if __name__ == "__main__":
    main()
