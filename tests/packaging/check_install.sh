#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the build into a scratch prefix and checks what a desktop reads
# from it: the launcher, the metainfo, the file types and the icons; and the
# manual pages, the copyright file and the licence.
# Usage: check_install.sh CMAKE BUILD_DIR SOURCE_DIR
set -euo pipefail
cmake=$1 build=$2 source=$3
id=org.melnix.Melnix
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
prefix=$scratch/usr
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cmake" --install "$build" --prefix "$prefix" >/dev/null
share=$prefix/share
desktop=$share/applications/$id.desktop
metainfo=$share/metainfo/$id.metainfo.xml
mimexml=$share/mime/packages/$id.xml
for f in "$desktop" "$metainfo" "$mimexml" "$share/icons/hicolor/scalable/apps/$id.svg"; do
  [ -f "$f" ] || fail "not installed: ${f#$scratch}"
done
for p in melnix melnix-tool; do
  [ -x "$prefix/bin/$p" ] || fail "no program $p"
  [ -f "$share/man/man1/$p.1.gz" ] || fail "no manual page $p.1.gz"
done
# melnix-tool finds its video exporter where it is installed (no arguments:
# the exporter's own usage, exit 2).
[ -x "$prefix/libexec/melnix/melnix-tool-video" ] || fail "no libexec/melnix/melnix-tool-video"
set +e
"$prefix/bin/melnix-tool" video >/dev/null 2>&1
status=$?
set -e
[ "$status" = 2 ] || fail "melnix-tool video does not reach the installed exporter (exit $status)"
for f in copyright changelog.Debian.gz; do [ -f "$share/doc/melnix/$f" ] || fail "no share/doc/melnix/$f"; done

# One licence everywhere: GPL-3.0-or-later in the metainfo, the copyright
# file and LICENSE (the GPL's own text).
grep -qx '  <project_license>GPL-3.0-or-later</project_license>' "$metainfo" || fail "metainfo project_license"
grep -qx 'License: GPL-3.0+' "$share/doc/melnix/copyright" || fail "copyright License"
head -n2 "$source/LICENSE" | tr -s ' ' | grep -qx ' Version 3, 29 June 2007' || fail "LICENSE is not the GPL version 3"
grep -qF 'either version 3 of the License, or' "$share/doc/melnix/copyright" || fail "copyright: not version 3 or later"

# Each fixed-size icon is a PNG of its folder's size.
for size in 16 22 24 32 48 64 128 256; do
  png=$share/icons/hicolor/${size}x${size}/apps/$id.png
  [ -f "$png" ] || fail "no ${size}x${size} icon"
  [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is no PNG"
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4 "x" $7*256+$8}')
  [ "$dims" = "${size}x${size}" ] || fail "$png is $dims"
done

desktop-file-validate "$desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli validate"
xmllint --noout "$mimexml" || fail "xmllint $mimexml"

# The launcher, the metainfo and the icon name one another.
key() { sed -n "s/^$1=//p" "$desktop" | head -n1; }
[ "$(key Icon)" = "$id" ] || fail "Icon= is not $id"
exec_line=$(key Exec)
[ -x "$prefix/bin/${exec_line%% *}" ] || fail "Exec= names no installed program: $exec_line"
[[ " $exec_line " == *" %F "* ]] || fail "Exec= does not take the files: $exec_line"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "metainfo launchable"
grep -q "<id>$id</id>" "$metainfo" || fail "metainfo id"
for k in Name Comment GenericName; do
  [ -n "$(key "$k\\[zh_CN\\]")" ] && [ -n "$(key "$k")" ] || fail "$k without its English or Chinese text"
done

# The types merged with the system's own database: our globs are there, and
# every type the launcher lists is known.
mkdir -p "$scratch/mime/packages"
cp /usr/share/mime/packages/freedesktop.org.xml "$mimexml" "$scratch/mime/packages/"
XDG_DATA_DIRS=$scratch update-mime-database "$scratch/mime" 2>"$scratch/mime.err" >/dev/null
[ ! -s "$scratch/mime.err" ] || { cat "$scratch/mime.err" >&2; fail "update-mime-database"; }
globs=$scratch/mime/globs2
for g in '60:application/x-melnix-lyrics:\*\.mlx' ':text/x-lrc:\*\.lrc' ':text/x-ksc:\*\.ksc' ':audio/midi:\*\.rmi'; do
  grep -q "$g\$" "$globs" || fail "no glob $g"
done
launcher_types=$(key MimeType | tr ';' '\n' | sed '/^$/d')
known=$(cat "$scratch/mime/types"; cut -d' ' -f1 "$scratch/mime/aliases")
for t in $launcher_types; do
  grep -qxF "$t" <<<"$known" || fail "MimeType lists unknown type $t"
done

# Every song and lyric extension the program opens resolves to a type the
# launcher lists. (.CDA names a track of an audio CD, not a file to open.)
exts=$(sed -n '/kAudioKinds = {{/,/}};/p; /kVideo = {/,/};/p' "$source/src/songlist/media_kind.cpp" |
       grep -o '"\.[A-Z0-9]*"' | tr -d '".' | tr 'A-Z' 'a-z')
[ "$(wc -w <<<"$exts")" -gt 30 ] || fail "could not read the song kinds from media_kind.cpp"
for e in $exts mlx lrc ksc; do
  [ "$e" = cda ] && continue
  types=$(awk -F: -v g="*.$e" '$3 == g {print $2}' "$globs")
  hit=no
  for t in $types; do grep -qxF "$t" <<<"$launcher_types" && hit=yes; done
  [ $hit = yes ] || fail ".$e ($types) is not among the launcher's MimeType"
done
echo "installed and valid: ${prefix#$scratch}"
