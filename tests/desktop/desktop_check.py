#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Runs Melnix as a user does, on a virtual display under a real window
manager, and reads what reaches the screen.

  desktop_check.py MELNIX WM [--compositor]

The checks:
  1. the first start plays the demonstration show, and its lyric band shows
     the line in the subtitle's colours, its sung part wiped;
  2. Esc ends the program from the show and the state is saved;
  3. the second start opens the editor, not the show again;
  4. F1 opens the help and Esc closes it, leaving the keys to the editor;
  5. a terminate signal with the help open ends the program, saving the state.

The offscreen platform of the other tests cannot show what a window manager
does to stacking, focus and painting; this can.
"""

import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

WIDTH, HEIGHT = 1280, 720

# The subtitle's colours as the screen shows them (RGB): the rim, the unsung
# letters, and both inverted for the sung part.
RIM = (0xC6, 0x00, 0x44)
LETTER = (0xFF, 0xFF, 0x1B)
SUNG_RIM = tuple(255 - c for c in RIM)
SUNG_LETTER = tuple(255 - c for c in LETTER)


def fail(message):
    print("FAIL: " + message, file=sys.stderr)
    sys.exit(1)


class Display:
    def __init__(self, wm, compositor, work):
        self.work = work
        self.procs = []
        read_fd, write_fd = os.pipe()
        xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{WIDTH}x{HEIGHT}x24", "-nolisten", "tcp"],
            pass_fds=[write_fd], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_fd)
        self.procs.append(xvfb)
        number = b""
        with os.fdopen(read_fd, "rb") as f:
            while not number.endswith(b"\n"):
                chunk = f.read(1)
                if not chunk:
                    fail("Xvfb did not start")
                number += chunk
        self.env = dict(os.environ)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        for name in ("WAYLAND_DISPLAY", "QT_QPA_PLATFORM"):
            self.env.pop(name, None)
        self.env["HOME"] = work
        if wm == "openbox":
            self.spawn(["openbox", "--sm-disable"])
        elif wm == "icewm":
            self.spawn(["icewm"])
        else:
            fail("unknown window manager " + wm)
        if compositor:
            self.spawn(["xcompmgr"])
        time.sleep(1.5)

    def spawn(self, argv, env=None, **kw):
        p = subprocess.Popen(argv, env=env or self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, **kw)
        self.procs.append(p)
        return p

    def run(self, argv):
        return subprocess.run(argv, env=self.env, capture_output=True, text=True, timeout=30)

    def key(self, name):
        self.run(["xdotool", "key", name])

    def screenshot(self, name):
        path = os.path.join(self.work, name + ".ppm")
        r = self.run(["import", "-window", "root", "-depth", "8", "ppm:" + path])
        if r.returncode != 0:
            fail("import failed: " + r.stderr)
        return read_ppm(path)

    def close(self):
        for p in reversed(self.procs):
            if p.poll() is None:
                p.terminate()
                try:
                    p.wait(5)
                except subprocess.TimeoutExpired:
                    p.kill()


def read_ppm(path):
    with open(path, "rb") as f:
        data = f.read()
    fields = []
    pos = 0
    while len(fields) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    pos += 1
    if fields[0] != b"P6":
        fail("not a binary PPM")
    w, h = int(fields[1]), int(fields[2])
    return w, h, data[pos:pos + w * h * 3]


def count_colours(image, top, bottom, colours, tolerance=6):
    """Pixels of rows top..bottom close to each of the colours."""
    w, h, pixels = image
    counts = [0] * len(colours)
    for y in range(max(0, top), min(h, bottom)):
        row = pixels[y * w * 3:(y + 1) * w * 3]
        for x in range(0, w * 3, 3):
            r, g, b = row[x], row[x + 1], row[x + 2]
            for i, (cr, cg, cb) in enumerate(colours):
                if abs(r - cr) <= tolerance and abs(g - cg) <= tolerance and abs(b - cb) <= tolerance:
                    counts[i] += 1
    return counts


def band_rows():
    # The show's band: 2/21 of the width high from six sevenths down, lifted
    # on wide screens; look at the whole lower half so that a lift passes.
    return HEIGHT // 2, HEIGHT


def wait_for(predicate, seconds, step=0.5):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return None


def window_ids(display, pid):
    r = display.run(["xdotool", "search", "--onlyvisible", "--pid", str(pid)])
    return [line for line in r.stdout.split() if line]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("melnix")
    parser.add_argument("wm")
    parser.add_argument("--compositor", action="store_true")
    parser.add_argument("--keep", help="folder for the screenshots")
    args = parser.parse_args()

    for tool in ("Xvfb", args.wm, "xdotool", "import") + (("xcompmgr",) if args.compositor else ()):
        if not shutil.which(tool):
            fail(tool + " is not installed (scripts/deps.sh installs it)")

    work = tempfile.mkdtemp(prefix="melnix-desktop-")
    display = Display(args.wm, args.compositor, work)
    home = os.path.join(work, "home")
    env = dict(display.env)
    env.update({"MELNIX_HOME": home, "MELNIX_AUDIO": "null", "MELNIX_LANG": "zh"})
    env.setdefault("ASAN_OPTIONS", "detect_leaks=0")
    try:
        # 1. The first start: the demonstration show with its lyric.
        melnix = display.spawn([args.melnix], env=env)
        shots = []

        def lyric_shown():
            image = display.screenshot("show-%d" % len(shots))
            shots.append(image)
            rim, letter, sung_rim, sung_letter = count_colours(
                image, *band_rows(), [RIM, LETTER, SUNG_RIM, SUNG_LETTER])
            # Letters in both their unsung and their sung colours: a line that
            # is being wiped.
            if rim + letter > 400 and sung_rim + sung_letter > 100:
                return (rim, letter, sung_rim, sung_letter)
            return None

        seen = wait_for(lyric_shown, 45, step=1.0)
        if args.keep:
            os.makedirs(args.keep, exist_ok=True)
            shutil.copy(os.path.join(work, "show-%d.ppm" % (len(shots) - 1)),
                        os.path.join(args.keep, "show-%s%s.ppm" % (args.wm, "-comp" if args.compositor else "")))
        if not seen:
            fail("%s: no wiped lyric line in the show's band after 45 s" % args.wm)
        print("%s: the band shows the line (rim %d, letters %d, sung %d + %d pixels)" % ((args.wm,) + seen))

        # 1b. Minimised ("hide"), the show leaves its line on the desktop: a
        # window kept out of the taskbar, within the work area (above a
        # panel), still being wiped. Restored, the show comes back.
        stage = window_ids(display, melnix.pid)[0]
        display.run(["xdotool", "windowminimize", "--sync", stage])

        def desktop_line():
            ids = [w for w in window_ids(display, melnix.pid) if w != stage]
            return ids[0] if ids else None

        line = wait_for(desktop_line, 10)
        if not line:
            fail("%s: no lyric window on the desktop with the show minimised" % args.wm)
        states = display.run(["xprop", "-id", line, "_NET_WM_STATE"]).stdout
        if "_NET_WM_STATE_SKIP_TASKBAR" not in states:
            fail("%s: the desktop lyric would take a taskbar entry (%s)" % (args.wm, states.strip()))
        geometry = display.run(["xdotool", "getwindowgeometry", "--shell", line]).stdout
        g = dict(l.split("=", 1) for l in geometry.split() if "=" in l)
        area = display.run(["xprop", "-root", "_NET_WORKAREA"]).stdout
        numbers = [int(n) for n in area.split("=", 1)[1].replace(",", " ").split()] if "=" in area else []
        if len(numbers) >= 4 and int(g["Y"]) + int(g["HEIGHT"]) > numbers[1] + numbers[3]:
            fail("%s: the desktop lyric reaches below the work area (%s)" % (args.wm, geometry.split()))
        print("%s: minimised, the line stays on the desktop, out of the taskbar, in the work area" % args.wm)
        display.run(["xdotool", "windowactivate", "--sync", stage])
        if not wait_for(lambda: not desktop_line(), 10):
            fail("%s: restored, the show did not take its line back" % args.wm)

        # 2. Esc ends the program from the show, saving the state.
        display.key("Escape")
        try:
            melnix.wait(20)
        except subprocess.TimeoutExpired:
            fail("%s: Esc in the show did not end the program" % args.wm)
        state = os.path.join(home, "KTextParam.rec")
        if not os.path.exists(state):
            fail("%s: no state file after ending from the show" % args.wm)

        # 3. The second start opens the editor.
        melnix = display.spawn([args.melnix], env=env)
        if not wait_for(lambda: window_ids(display, melnix.pid), 30):
            fail("%s: the second start shows no window" % args.wm)
        time.sleep(3)
        image = display.screenshot("editor")
        w, h, _ = image
        # The editor is a window, not the full-screen stage: it leaves most of
        # the screen to the desktop.
        name = display.run(["xdotool", "getactivewindow", "getwindowname"]).stdout.strip()
        geometry = display.run(["xdotool", "getactivewindow", "getwindowgeometry", "--shell"]).stdout
        values = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        if int(values.get("WIDTH", w)) >= w and int(values.get("HEIGHT", h)) >= h:
            fail("%s: the second start played the show again (active window %r)" % (args.wm, name))
        print("%s: the second start opened the editor (%s, %sx%s)" % (args.wm, name, values.get("WIDTH"),
                                                                   values.get("HEIGHT")))

        # 4. The keys work after a dialog: F1 opens the help, Esc closes it,
        # Ctrl+Q then reaches the editor and ends the program.
        editor_window = display.run(["xdotool", "getactivewindow"]).stdout.strip()
        display.key("F1")
        if not wait_for(lambda: display.run(["xdotool", "getactivewindow"]).stdout.strip() not in ("", editor_window), 10):
            fail("%s: F1 opened no help window" % args.wm)
        display.key("Escape")
        if not wait_for(lambda: display.run(["xdotool", "getactivewindow"]).stdout.strip() == editor_window, 10):
            fail("%s: after the help the focus did not come back to the editor" % args.wm)
        # The save dialog, its file chooser ("save as") and back: each Esc
        # leaves the keys to the window below.
        def active():
            return display.run(["xdotool", "getactivewindow"]).stdout.strip()

        def active_name():
            return display.run(["xdotool", "getactivewindow", "getwindowname"]).stdout.strip()

        display.key("ctrl+s")
        if not wait_for(lambda: active() not in ("", editor_window), 10):
            fail("%s: Ctrl+S opened no save dialog" % args.wm)
        save_name = active_name()
        display.key("Tab")
        display.key("space")
        if not wait_for(lambda: active() not in ("", editor_window) and active_name() != save_name, 10):
            fail("%s: the save dialog's 'save as' opened no file chooser" % args.wm)
        display.key("Escape")
        if not wait_for(lambda: active_name() == save_name, 10):
            fail("%s: after the file chooser the focus did not come back to the save dialog" % args.wm)
        display.key("Escape")
        if not wait_for(lambda: active() == editor_window, 10):
            fail("%s: after the save dialog the focus did not come back to the editor" % args.wm)
        display.key("ctrl+q")
        try:
            melnix.wait(20)
        except subprocess.TimeoutExpired:
            fail("%s: Ctrl+Q after the help and the save dialog did not reach the editor" % args.wm)
        print("%s: the keys reach the editor after the help, the save dialog and its file chooser" % args.wm)

        # 5. A terminate signal (a logout) while a dialog is open ends the
        # program, and the state is saved.
        melnix = display.spawn([args.melnix], env=env)
        if not wait_for(lambda: window_ids(display, melnix.pid), 30):
            fail("%s: the third start shows no window" % args.wm)
        time.sleep(2)
        display.key("F1")
        time.sleep(2)
        saved = os.stat(state).st_mtime_ns
        melnix.terminate()
        try:
            melnix.wait(20)
        except subprocess.TimeoutExpired:
            fail("%s: a terminate signal with the help open did not end the program" % args.wm)
        if os.stat(state).st_mtime_ns == saved:
            fail("%s: the state was not saved on a terminate signal" % args.wm)
        print("%s: a terminate signal through an open dialog ends the program and keeps the state" % args.wm)
    finally:
        display.close()
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
