#!/usr/bin/env bash
# Makes the Debian package from this build in a scratch folder and checks
# its control file and contents.
# Usage: check_deb.sh CPACK BUILD_DIR VERSION SANITIZED
set -euo pipefail
cpack=$1 build=$2 version=$3 sanitized=$4
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
for f in ./usr/bin/melnix ./usr/bin/melnix-tool ./usr/share/applications/org.melnix.Melnix.desktop \
         ./usr/share/metainfo/org.melnix.Melnix.metainfo.xml ./usr/share/mime/packages/org.melnix.Melnix.xml \
         ./usr/share/icons/hicolor/scalable/apps/org.melnix.Melnix.svg \
         ./usr/share/icons/hicolor/48x48/apps/org.melnix.Melnix.png; do
  grep -qxF "$f" <<<"$contents" || fail "package lacks $f"
done
echo "package ok: $(basename "$deb")"
