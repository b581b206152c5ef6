#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""The English translation of the interface (res/translations/melnix_en.ts).

The Chinese texts in the sources are the source language; lupdate gathers
them, this script keeps the .ts complete and checks the sources.

  translations.py update  [--lupdate PATH]   gather the texts into the .ts
  translations.py todo    [FILE.json]        unfinished messages as JSON
  translations.py fill    FILE.json          put translations in, mark them finished
  translations.py check   [--lupdate PATH]   the .ts is complete and up to date
  translations.py scan                       no Chinese literal outside tr()

The JSON of todo/fill is a list of {"context", "source", "translation"}
(plus "comment" when the message has a disambiguation).
"""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TS_FILE = os.path.join(ROOT, "res", "translations", "melnix_en.ts")
DEFAULT_LUPDATE = "/usr/lib/qt6/bin/lupdate"

# Areas whose texts are not wrapped and translated yet; lupdate and the scan
# leave them out. Remove an entry once its texts go through tr().
PENDING = []

# Chinese literals that are data, not interface: they are stored or matched
# as they are, whatever the language. "file:text" (the text inside the quotes).
STORED = {
    # font names kept in the state file and mapped to installed fonts
    "src/ui/chinese_fonts.cpp:黑体",
    "src/ui/chinese_fonts.cpp:宋体",
    "src/cli/video_command.cpp:黑体",
    "src/present/subtitle_window.h:黑体",
    # the full-width character whose width sizes the subtitle
    "src/present/subtitle_art.cpp:中",
}

SOURCE_SUFFIXES = (".cpp", ".h")
MARKERS = ("tr", "translate", "QT_TRANSLATE_NOOP", "QT_TRANSLATE_NOOP3", "QT_TR_NOOP", "qtTrId")
CJK = re.compile("[\u3000-\u303f\u3400-\u4dbf\u4e00-\u9fff\uff00-\uffef\u2215\u201c\u201d]")


def rel(path):
    return os.path.relpath(path, ROOT).replace(os.sep, "/")


def pending(relpath):
    return any(relpath == p or (p.endswith("/") and relpath.startswith(p)) for p in PENDING)


def source_files():
    files = []
    for base, dirs, names in os.walk(os.path.join(ROOT, "src")):
        dirs.sort()
        for name in sorted(names):
            path = os.path.join(base, name)
            if name.endswith(SOURCE_SUFFIXES) and not pending(rel(path)):
                files.append(path)
    return files


def run_lupdate(lupdate, ts, extra=()):
    with tempfile.NamedTemporaryFile("w", suffix=".lst", delete=False) as lst:
        lst.write("\n".join(source_files()) + "\n")
    try:
        cmd = [lupdate, "-silent", "-locations", "none", "-source-language", "zh_CN",
               "-target-language", "en", "-I", os.path.join(ROOT, "src"), *extra, "@" + lst.name, "-ts", ts]
        done = subprocess.run(cmd, capture_output=True, text=True)
    finally:
        os.unlink(lst.name)
    if done.returncode != 0:
        sys.exit("lupdate failed:\n" + done.stdout + done.stderr)
    return done.stdout + done.stderr


def full_text(elem):
    """The text of an element; lupdate writes control characters as <byte>."""
    if elem is None:
        return None
    text = elem.text or ""
    for child in elem:
        if child.tag == "byte":
            value = child.get("value")
            text += chr(int(value[1:], 16) if value.startswith("x") else int(value))
        text += child.tail or ""
    return text


def messages(ts):
    root = ET.parse(ts).getroot()
    for context in root.iter("context"):
        name = context.findtext("name")
        for message in context.iter("message"):
            yield name, message


def describe(context, message):
    comment = full_text(message.find("comment"))
    text = "%s: %r" % (context, full_text(message.find("source")))
    return text + (" (%s)" % comment if comment else "")


def problems(ts):
    found = []
    for context, message in messages(ts):
        translation = message.find("translation")
        kind = translation.get("type") if translation is not None else "missing"
        if kind:
            found.append("%s message %s" % (kind, describe(context, message)))
        elif message.get("numerus") == "yes":
            forms = translation.findall("numerusform")
            if not forms or not all(full_text(f).strip() for f in forms):
                found.append("empty translation of %s" % describe(context, message))
        elif not full_text(translation).strip():
            found.append("empty translation of %s" % describe(context, message))
    return found


def cmd_update(args):
    output = run_lupdate(args.lupdate, TS_FILE, ["-no-obsolete"])
    sys.stdout.write(output)
    todo = [m for m in problems(TS_FILE)]
    print("%d message(s) to translate: translations.py todo" % len(todo) if todo else "all translated")


def cmd_todo(args):
    items = []
    for context, message in messages(TS_FILE):
        translation = message.find("translation")
        if translation is not None and not translation.get("type") and full_text(translation).strip():
            continue
        item = {"context": context, "source": full_text(message.find("source")), "translation": ""}
        if full_text(message.find("comment")):
            item["comment"] = full_text(message.find("comment"))
        items.append(item)
    text = json.dumps(items, ensure_ascii=False, indent=1) + "\n"
    if args.file:
        with open(args.file, "w", encoding="utf-8") as f:
            f.write(text)
    else:
        sys.stdout.write(text)


def cmd_fill(args):
    with open(args.file, encoding="utf-8") as f:
        items = json.load(f)
    wanted = {(i["context"], i["source"], i.get("comment")): i["translation"] for i in items}
    # Edit the text of the file in place: ElementTree would rewrite the
    # layout lupdate keeps, and every later update would show as a change.
    with open(TS_FILE, encoding="utf-8") as f:
        text = f.read()
    out, pos, filled = [], 0, 0
    context_re = re.compile(r"<context>\s*<name>(.*?)</name>(.*?)</context>", re.S)
    message_re = re.compile(r"<message( [^>]*)?>(.*?)</message>", re.S)
    for c in context_re.finditer(text):
        context = unescape(c.group(1))
        body_start = c.start(2)
        body = c.group(2)
        new_body, last = [], 0
        for m in message_re.finditer(body):
            inner = m.group(2)
            source = unescape(re.search(r"<source>(.*?)</source>", inner, re.S).group(1))
            comment = re.search(r"<comment>(.*?)</comment>", inner, re.S)
            key = (context, source, unescape(comment.group(1)) if comment else None)
            if key not in wanted or not wanted[key].strip():
                continue
            replaced = re.sub(r"<translation[^>]*?(/>|>.*?</translation>)",
                              lambda _: "<translation>%s</translation>" % escape(wanted[key]), inner, count=1, flags=re.S)
            new_body.append(body[last:m.start(2)] + replaced)
            last = m.end(2)
            filled += 1
        new_body.append(body[last:])
        out.append(text[pos:body_start] + "".join(new_body))
        pos = c.end(2)
    out.append(text[pos:])
    with open(TS_FILE, "w", encoding="utf-8") as f:
        f.write("".join(out))
    ET.parse(TS_FILE)  # still well-formed
    print("filled %d message(s)" % filled)
    left = problems(TS_FILE)
    if left:
        print("\n".join(left))
        return 1
    return 0


def escape(s):
    s = (s.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
         .replace('"', "&quot;").replace("'", "&apos;"))
    return re.sub(r"[\x00-\x08\x0b-\x1f]", lambda m: '<byte value="x%x"/>' % ord(m.group(0)), s)


def unescape(s):
    s = re.sub(r'<byte value="x([0-9a-fA-F]+)"/>', lambda m: chr(int(m.group(1), 16)), s)
    s = re.sub(r"&#x([0-9a-fA-F]+);", lambda m: chr(int(m.group(1), 16)), s)
    s = re.sub(r"&#([0-9]+);", lambda m: chr(int(m.group(1))), s)
    return (s.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", '"')
            .replace("&apos;", "'").replace("&amp;", "&"))


def cmd_check(args):
    failures = ["%s: %s" % (rel(TS_FILE), p) for p in problems(TS_FILE)]
    # Gathering the sources again must find exactly the messages the .ts has:
    # a new text comes in unfinished, a removed one turns vanished.
    with tempfile.TemporaryDirectory() as tmp:
        fresh = os.path.join(tmp, "melnix_en.ts")
        shutil.copy(TS_FILE, fresh)
        run_lupdate(args.lupdate, fresh)
        for context, message in messages(fresh):
            kind = message.find("translation").get("type")
            if kind == "unfinished":
                failures.append("not in the .ts (run translations.py update): " + describe(context, message))
            elif kind in ("vanished", "obsolete"):
                failures.append("no longer in the sources (run translations.py update): " + describe(context, message))
    for f in failures:
        print(f)
    return 1 if failures else 0


def literals(code):
    """(offset, text) of every string or character literal, comments skipped."""
    i, n = 0, len(code)
    while i < n:
        c = code[i]
        if code.startswith("//", i):
            i = code.find("\n", i)
            i = n if i < 0 else i
        elif code.startswith("/*", i):
            i = code.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif c == '"' and code[max(0, i - 1)] == "R" and (i < 2 or not (code[i - 2].isalnum() or code[i - 2] == "_")):
            end_delim = code.index("(", i)
            delim = ")" + code[i + 1:end_delim] + '"'
            close = code.index(delim, end_delim)
            yield i, code[end_delim + 1:close]
            i = close + len(delim)
        elif c in "\"'":
            j = i + 1
            while j < n and code[j] != c:
                j += 2 if code[j] == "\\" else 1
            yield i, code[i + 1:j]
            i = j + 1
        else:
            i += 1


def wrapped(code, offset):
    """Whether the literal at offset is an argument of a translation marker."""
    depth, i = 0, offset - 1
    while i >= 0:
        c = code[i]
        if c == ")":
            depth += 1
        elif c == "(":
            if depth == 0:
                name = re.search(r"([A-Za-z_][A-Za-z0-9_]*)\s*$", code[:i])
                if name and name.group(1) in MARKERS:
                    return True
                if not name:
                    return False
            else:
                depth -= 1
        elif c in ";{}" and depth == 0:
            return False
        i -= 1
    return False


def cmd_scan(args):
    failures = []
    for path in source_files():
        with open(path, encoding="utf-8") as f:
            code = f.read()
        for offset, text in literals(code):
            if not CJK.search(text) or wrapped(code, offset):
                continue
            if "%s:%s" % (rel(path), text) in STORED:
                continue
            line = code.count("\n", 0, offset) + 1
            failures.append("%s:%d: Chinese text outside tr(): \"%s\"" % (rel(path), line, text[:40]))
    for f in failures:
        print(f)
    return 1 if failures else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)
    for name, func in (("update", cmd_update), ("check", cmd_check)):
        p = sub.add_parser(name)
        p.add_argument("--lupdate", default=os.environ.get("LUPDATE", DEFAULT_LUPDATE))
        p.set_defaults(func=func)
    p = sub.add_parser("todo")
    p.add_argument("file", nargs="?")
    p.set_defaults(func=cmd_todo)
    p = sub.add_parser("fill")
    p.add_argument("file")
    p.set_defaults(func=cmd_fill)
    sub.add_parser("scan").set_defaults(func=cmd_scan)
    args = parser.parse_args()
    return args.func(args) or 0


if __name__ == "__main__":
    sys.exit(main())
