#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Twenty second starts at once, each with its own song, while the editor
runs: every song reaches the running copy's song list once, and every second
start's exit status says its files were taken.

  hand_over_burst.py MELNIX MELNIX_TOOL
"""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

STARTS = 20


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


def write_wav(path, seconds=1.0, rate=8000):
    frames = int(rate * seconds)
    data = bytes(frames * 2)
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVE")
        f.write(b"fmt " + struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16))
        f.write(b"data" + struct.pack("<I", len(data)) + data)


def listening(pid):
    """True when the process has a listening local socket (Qt binds it under a
    temporary name and renames it, so the name does not tell)."""
    inodes = set()
    try:
        for fd in os.listdir("/proc/%d/fd" % pid):
            target = os.readlink("/proc/%d/fd/%s" % (pid, fd))
            if target.startswith("socket:["):
                inodes.add(target[8:-1])
    except OSError:
        return False
    with open("/proc/net/unix") as f:
        for line in f.readlines()[1:]:
            fields = line.split()
            # Flags 00010000: listening.
            if len(fields) >= 8 and fields[6] in inodes and fields[3] == "00010000":
                return True
    return False


def main():
    melnix, tool = sys.argv[1], sys.argv[2]
    work = tempfile.mkdtemp(prefix="melnix-burst-")
    env = dict(os.environ, MELNIX_HOME=os.path.join(work, "home"), QT_QPA_PLATFORM="offscreen",
               MELNIX_AUDIO="null", MELNIX_LANG="en")
    env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    songs = []
    for i in range(STARTS + 1):
        path = os.path.join(work, "song%02d.wav" % i)
        write_wav(path)
        songs.append(path)
    running = subprocess.Popen([melnix, songs[0]], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    try:
        # The running copy is up once it listens on its local socket.
        deadline = time.monotonic() + 90
        while not listening(running.pid):
            if running.poll() is not None or time.monotonic() > deadline:
                fail("the editor did not start: " + running.stderr.read().decode(errors="replace")[-2000:])
            time.sleep(0.3)
        starts = [subprocess.Popen([melnix, song], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
                  for song in songs[1:]]
        statuses = [p.wait(60) for p in starts]
        bad = [(songs[i + 1], s, p.stderr.read().decode(errors="replace")) for i, (p, s) in
               enumerate(zip(starts, statuses)) if s != 0]
        if bad:
            fail("second starts that failed: %r" % bad)
        # Give the running copy a moment to open what it was handed, then end it
        # the way a desktop does; it saves its song list.
        time.sleep(3)
        running.terminate()
        running.wait(60)
    finally:
        if running.poll() is None:
            running.kill()
    listed = subprocess.run([tool, "songs", "list"], env=env, capture_output=True, timeout=60).stdout.decode()
    missing = [s for s in songs if listed.count(s) == 0]
    twice = [s for s in songs if listed.count(s) > 1]
    if missing or twice:
        fail("missing %r, listed twice %r; the list:\n%s" % (missing, twice, listed))
    print("all %d handed-over songs are in the song list once" % STARTS)
    shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
