#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from this build in a scratch folder and checks
# its control file and contents, its copyright file, changelog and manual
# pages, and what lintian says of it.
# Usage: check_deb.sh CPACK BUILD_DIR VERSION SANITIZED SOURCE_DIR
set -euo pipefail
cpack=$1 build=$2 version=$3 sanitized=$4 source=$5
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
config=$build/CPackConfig.cmake

# A sanitizer build refuses to make a package unless asked for a look.
if [ "$sanitized" = ON ]; then
  if "$cpack" --config "$config" -G DEB -B "$scratch/refused" >"$scratch/refused.log" 2>&1; then
    fail "cpack made a package from a sanitizer build"
  fi
  grep -q "Release build" "$scratch/refused.log" || fail "refusal does not say why"
fi

"$cpack" --config "$config" -G DEB -B "$scratch" -D CPACK_MELNIX_TEST_PACKAGE=ON >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; fail cpack; }
debs=("$scratch"/melnix_*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || fail "no single melnix_*.deb"
deb=${debs[0]}

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = melnix ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
depends=$(field Depends)
echo "Depends: $depends"
# The package names without versions; "a | b" alternatives count as both.
names=$(sed 's/ ([^)]*)//g' <<<"$depends" | tr ',|' '\n\n' | tr -d ' ')
has() { local n; for n in $names; do [[ $n == "$1"* ]] && return 0; done; return 1; }
# Data and plugins the programs load at run time, and the libraries they link.
for p in fluid-soundfont-gm fonts-noto-cjk libqt6svg6 qt6-image-formats-plugins qt6-translations-l10n \
         libqt6widgets6 libqt6network6 libavformat libavcodec libswresample libswscale libmpv libfluidsynth \
         libmpg123 libsdl2 librubberband libc6 libstdc++6; do
  has "$p" || fail "Depends lacks $p"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
doc=./usr/share/doc/melnix man1=./usr/share/man/man1
for f in ./usr/bin/melnix ./usr/bin/melnix-tool ./usr/share/applications/org.melnix.Melnix.desktop \
         ./usr/share/metainfo/org.melnix.Melnix.metainfo.xml ./usr/share/mime/packages/org.melnix.Melnix.xml \
         ./usr/share/icons/hicolor/scalable/apps/org.melnix.Melnix.svg \
         ./usr/share/icons/hicolor/48x48/apps/org.melnix.Melnix.png \
         $doc/copyright $doc/changelog.Debian.gz $man1/melnix.1.gz $man1/melnix-tool.1.gz; do
  grep -qxF "$f" <<<"$contents" || fail "package lacks $f"
done
root=$scratch/root
dpkg-deb -x "$deb" "$root"

# Compressed with gzip -9n: whole, and without a file name or time stamp in
# the header, so that the same text always gives the same package.
for f in $doc/changelog.Debian.gz $man1/melnix.1.gz $man1/melnix-tool.1.gz; do
  gzip -t "$root/$f" || fail "$f is no whole gzip file"
  header=$(od -An -tu1 -N8 "$root/$f" | tr -s ' ' ' ')
  read -r _ _ _ flags m0 m1 m2 m3 <<<"$header"
  (( (flags & 8) == 0 )) || fail "$f keeps a file name (not gzip -n)"
  [ "$m0$m1$m2$m3" = 0000 ] || fail "$f keeps a time stamp (not gzip -n)"
done

# The copyright file is machine-readable and says GPL-3.0-or-later.
copyright=$root/$doc/copyright
head -n1 "$copyright" | grep -qxF 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "copyright is not in the machine-readable format"
grep -qx 'Files: \*' "$copyright" || fail "copyright has no Files: * paragraph"
[ "$(grep -c '^License: GPL-3.0+$' "$copyright")" -eq 2 ] || fail "copyright: Files: * is not GPL-3.0+ with its text"
grep -qF '/usr/share/common-licenses/GPL-3' "$copyright" || fail "copyright does not point to common-licenses/GPL-3"
! grep -q '@[A-Z_]*@' "$copyright" || fail "copyright keeps an unconfigured @VARIABLE@"

# The changelog parses, and its newest entry is this package's version.
zcat "$root/$doc/changelog.Debian.gz" >"$scratch/changelog"
entry=$(dpkg-parsechangelog -l "$scratch/changelog" -S Version 2>"$scratch/parse.err") ||
  { cat "$scratch/parse.err" >&2; fail "changelog does not parse"; }
[ ! -s "$scratch/parse.err" ] || { cat "$scratch/parse.err" >&2; fail "changelog parse warnings"; }
[ "$entry" = "$version" ] || fail "newest changelog entry is $entry, the package is $version: add an entry to packaging/changelog"

# Each manual page renders without a warning, has a whatis line that names
# its program, and carries the version.
for page in melnix melnix-tool; do
  f=$root/$man1/$page.1.gz
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$f" >/dev/null 2>"$scratch/man.err" ||
    fail "man cannot render $page.1"
  [ ! -s "$scratch/man.err" ] || { cat "$scratch/man.err" >&2; fail "$page.1 renders with warnings"; }
  lexgrog "$f" | grep -qF "\"$page - " || fail "$page.1 has no whatis line for $page"
  # Plain ASCII text: man leaves out the bold and underline when not on a terminal.
  LC_ALL=C MANWIDTH=200 man -l "$f" >"$scratch/$page.txt" 2>/dev/null
  grep -q "^Melnix ${version%-*} " "$scratch/$page.txt" || fail "$page.1 does not carry version ${version%-*}"
done
# melnix-tool.1 names every command and option its usage text names.
usage_text=$(sed -n '/^int usage() {/,/^}/p' "$source/src/cli/tool_support.cpp")
commands=$(grep -o '"  melnix-tool [a-z][a-z ]*' <<<"$usage_text" | sed 's/^"  melnix-tool //; s/ *$//' | sort -u)
[ "$(wc -l <<<"$commands")" -ge 10 ] || fail "could not read the commands from usage() in tool_support.cpp"
while read -r c; do
  grep -qE "melnix-tool $c( |$)" "$scratch/melnix-tool.txt" || fail "melnix-tool.1 lacks the command '$c'"
done <<<"$commands"
options=$(grep -o -- '--[a-z][a-z-]*' <<<"$usage_text" | sort -u)
[ "$(wc -l <<<"$options")" -ge 15 ] || fail "could not read the options from usage() in tool_support.cpp"
for o in $options; do
  grep -qE -- "$o([^a-z-]|\$)" "$scratch/melnix-tool.txt" || fail "melnix-tool.1 lacks the option $o"
done
# Every MELNIX_ variable the programs read is told of in a manual page.
for v in $(grep -rhoE '"MELNIX_[A-Z_]+"' "$source/src" | tr -d '"' | sort -u); do
  cat "$scratch/melnix.txt" "$scratch/melnix-tool.txt" | grep -qw "$v" || fail "no manual page tells of $v"
done

# lintian: no error. Its warnings and notes are shown and allowed.
command -v lintian >/dev/null || fail "lintian is not installed: run scripts/deps.sh"
lintian_rc=0
lintian --fail-on error --tag-display-limit 0 "$deb" >"$scratch/lintian.out" 2>"$scratch/lintian.err" || lintian_rc=$?
grep -v 'running with root privileges is not recommended' "$scratch/lintian.err" >&2 || true
echo "lintian:"
cat "$scratch/lintian.out"
if grep -q '^E: ' "$scratch/lintian.out" || [ $lintian_rc -ne 0 ]; then
  fail "lintian reports errors (exit status $lintian_rc)"
fi
echo "package ok: $(basename "$deb")"
