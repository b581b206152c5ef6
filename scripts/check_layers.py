#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the source folders include each other only downward.

Each folder of src/ stands on a layer; a file may include its own folder and
the folders of lower layers, never a folder on its own layer or above. The
Qt-free folders, and the core/ half of every other folder, include no Qt
header and no file of a folder's Qt half. Prints every offending include and
exits 1 when there is one.

    scripts/check_layers.py [SOURCE_ROOT]
"""

import pathlib
import re
import sys

# Lowest first. Folders on one line are side by side and do not know each
# other.
LAYERS = [
    ["common"],
    ["lyrics", "mail", "platform"],
    ["midi", "audio"],
    ["sync", "songlist"],
    ["playback"],
    ["ui"],
    ["present"],
    ["dialogs", "export"],
    ["editor"],
    ["app", "cli"],
]
QT_FREE = {"common", "lyrics", "mail", "midi", "audio", "sync", "songlist"}
# The platform's windowed stand-ins (the media player, the window manager's
# hints) are a library of their own beside its Qt-free devices.
QT_ALLOWED_IN_PLATFORM = re.compile(r"^(desktop_hints|media_player(_mpv)?)\.(h|cpp)$")

INCLUDE = re.compile(r'^\s*#\s*include\s+([<"])([^>"]+)[>"]', re.M)


def level_of():
    levels = {}
    for i, layer in enumerate(LAYERS):
        for folder in layer:
            levels[folder] = i
    return levels


def qt_free(path: pathlib.Path, folder: str) -> bool:
    if folder in QT_FREE or "core" in path.parts:
        return True
    return folder == "platform" and not QT_ALLOWED_IN_PLATFORM.match(path.name)


def check(src: pathlib.Path):
    levels = level_of()
    problems = []
    for path in sorted(src.rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        rel = path.relative_to(src)
        folder = rel.parts[0]
        if folder not in levels:
            problems.append(f"{rel}: folder {folder}/ has no layer in scripts/check_layers.py")
            continue
        text = path.read_text(encoding="utf-8", errors="replace")
        free = qt_free(rel, folder)
        for m in INCLUDE.finditer(text):
            bracket, target = m.group(1), m.group(2)
            line = text.count("\n", 0, m.start()) + 1
            if bracket == "<":
                if free and re.match(r"Q[A-Za-z]", target):
                    problems.append(f"{rel}:{line}: Qt header <{target}> in a Qt-free file")
                continue
            parts = target.split("/")
            if len(parts) < 2 or parts[0] not in levels:
                continue
            other = parts[0]
            if other != folder and levels[other] >= levels[folder]:
                problems.append(f"{rel}:{line}: {folder}/ includes {target}, which is not below it")
            if free and other not in QT_FREE and "core" not in parts and not (
                other == "platform" and not QT_ALLOWED_IN_PLATFORM.match(parts[-1])
            ):
                problems.append(f"{rel}:{line}: a Qt-free file includes {target}")
    return problems


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    problems = check(root / "src")
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) against the layers", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
