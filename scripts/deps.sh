#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The one list of Debian packages Melnix needs to build, run and test.
# Installs only what is missing; works as root or through sudo.
set -euo pipefail

PACKAGES=(
  # build
  cmake ninja-build g++ pkg-config
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  espeak-ng  # the draft timing benchmark's voices
  # coverage-guided fuzzing (scripts/fuzz.sh): clang with its libFuzzer runtime
  clang libclang-rt-14-dev
  # MP3 decoding, audio devices, MIDI synthesis with a General MIDI soundfont
  libmpg123-dev libsdl2-dev
  # FLAC, Ogg, Opus, M4A and other songs of today
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev libfluidsynth-dev fluid-soundfont-gm
  librubberband-dev  # the quality time stretch and the singer's key
  libaubio-dev libfftw3-dev  # the draft timing's onsets, pitch and spectra
  libmpv-dev  # video, streaming-media and Flash songs
  # the video export: H.264 (libavcodec brings libx264 on Debian) and AAC into MP4
  libswscale-dev libx264-164
  # a real SMTP server for the mail tests
  python3 python3-aiosmtpd
  # renders exported karaoke subtitles and encodes test songs in the tests
  ffmpeg lame
  # user interface, its icons and cursors (SVG), Qt's own dialogs in Chinese, CJK fonts,
  # screenshots under a virtual display
  qt6-base-dev qt6-image-formats-plugins libqt6svg6 qt6-translations-l10n fonts-noto-cjk xvfb xauth
  # the desktop checks: real window managers, a compositor, keys sent and screenshots read
  openbox icewm xcompmgr xdotool imagemagick x11-utils
  # the desktop subtitle tells the window manager to keep it out of the taskbar
  libxcb1-dev
  # the English interface: lupdate and lrelease, and their CMake functions
  qt6-tools-dev qt6-l10n-tools
  # the installed icons, the Debian package and the checks of the launcher, metainfo and file types
  librsvg2-bin dpkg-dev desktop-file-utils appstream libxml2-utils shared-mime-info
  # cpack -G DEB runs file; the package check runs lintian and renders the manual pages with man
  file lintian man-db
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  SUDO=()
elif command -v sudo >/dev/null 2>&1; then
  SUDO=(sudo)
else
  echo "deps.sh: need root or sudo to install: ${missing[*]}" >&2
  exit 1
fi

echo "deps.sh: installing ${missing[*]}"
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
